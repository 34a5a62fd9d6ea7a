#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <QWidget>
#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace xuan5::ui {

// A multi-line text box that reports double clicks, because several boxes empty themselves on a
// double click (the backup bases, the filter lines) and QPlainTextEdit has no such signal.
// Note for handlers: QPlainTextEdit stores line breaks as "\n"; texts that leave the program
// (clipboard, files, record logs) are converted to CR LF by the code that reads the box.
class MultiLineBox : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit MultiLineBox(QWidget* parent = nullptr);

  signals:
    void doubleClicked();

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

inline MultiLineBox* MakeBox(QWidget* parent, const QString& name, const QString& text = {}) {
    auto* box = new MultiLineBox(parent);
    box->setObjectName(name);
    box->setPlainText(text);
    return box;
}

// The progress display: one line of large text at a fixed spot, repainted from the stored text so
// that it survives exposes while a long plan run processes events.
class ProgressPicture : public QWidget {
    Q_OBJECT
  public:
    // Where the text's top-left corner sits and how large it is; the spot corresponds to
    // 1000 x 500 twips of the classic form layout.
    static constexpr double kTextLeft = 1000.0 / 15.0;
    static constexpr double kTextTop = 500.0 / 15.0;
    static constexpr int kPointSize = 20;

    explicit ProgressPicture(QWidget* parent = nullptr);

    void SetText(const QString& text);
    const QString& Text() const { return text_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString text_;
};

class AppContext;
struct PanelLinks;

// The strip along the bottom of the main window: four backup bases, their intersection and
// participation in plans, the intermediate plan base of plan mode one and the progress display.
class BackupStrip : public QWidget {
    Q_OBJECT
  public:
    // The height the strip asks for: four or five lines of bets per box, which leaves the panels
    // above it their room on a 768-pixel-high screen.
    static constexpr int kPreferredHeight = 160;

    // `ctx` and `links` outlive the strip.
    BackupStrip(AppContext& ctx, const PanelLinks& links, QWidget* parent = nullptr);

    QSize sizeHint() const override;

    // The progress display Pic_jd: shown ("op") or hidden (anything else).
    void ShowProgressPanel(bool show);
    void PrintProgressText(const QString& text);

  private:
    AppContext& ctx_;
    const PanelLinks& links_;

    std::array<MultiLineBox*, 4> boxes_{};     // T_dd_beiyong(0..3)
    std::array<QLineEdit*, 4> counts_{};       // T_dd_beiyong_zhushu(0..3)
    std::array<QPushButton*, 3> showCurve_{};  // C_fuzhu_k(0..2)
    std::array<QPushButton*, 3> paste_{};      // C_fuzhu_tie(0..2)
    std::array<QPushButton*, 4> copy_{};       // C_fuzhu_copy(0..3)
    QLineEdit* tolerance_;                     // T_beiyong_rc
    QPushButton* intersect_;                   // C_dd_beiyong_jj
    QCheckBox* join_;                          // Check_beiyong_canyu
    MultiLineBox* planBackup_;                 // T_jihua_jj_dadi_by
    QLineEdit* planBackupCount_;               // T_jihua_jj_dadi_zhushu_by
    ProgressPicture* progress_;                // Pic_jd
};

}  // namespace xuan5::ui
