// Panel 0 "画线": the chart with trend-line drawing, the base search and the fifteen stored
// lines with their bet counts.
#pragma once

#include <QGroupBox>
#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>

#include "core/app_state.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace xuan5::ui {

class ChartWidget;

// ReadCurveStore that also turns an unexpected failure of the file layer (a folder in place of
// the file, an I/O error) into the ordinary "unreadable store" answer.
std::optional<std::string> ReadCurveStoreGuarded(AppState& state, const std::filesystem::path& file,
                                                 int index);

class DrawPanel : public QGroupBox {
    Q_OBJECT
  public:
    // `storeBroken` runs when the curve store cannot be read (the program then ends).
    DrawPanel(AppState& state, std::mt19937_64& rng, std::filesystem::path storeFile,
              std::function<void()> storeBroken, QWidget* parent = nullptr);

    ChartWidget* Chart() const { return pic_; }

    // Click handlers; other panels press these buttons to reuse them.
    void PrepareCanvas();                     // C_huaxian_ks
    void SearchBase();                        // C_dadi_look
    void ShowBaseCurve();                     // C_dadi_k
    void CopyBase();                          // C_copy
    void SaveLine(int index);                 // C_gengxin(index)
    void LoadLine(int index);                 // C_duqu(index)
    void CheckLineBetCount(int index);        // T_quxian_zhushu(index) change
    void ChartMouseDown();                    // Pic mouse-down
    void ChartMouseMove(double x, double y);  // Pic mouse-move

  private:
    bool RequireDraws();

    AppState& state_;
    std::mt19937_64& rng_;
    std::filesystem::path storeFile_;
    std::function<void()> storeBroken_;

    ChartWidget* pic_;
    QPushButton* startDrawing_;
    QPushButton* search_;
    QPushButton* showCurve_;
    QPushButton* copy_;
    QPlainTextEdit* base_;
    QLineEdit* wanted_;
    QLineEdit* actual_;
    std::array<QLineEdit*, kLineCount> lineCounts_{};
};

}  // namespace xuan5::ui
