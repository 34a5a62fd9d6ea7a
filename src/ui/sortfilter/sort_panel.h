// Panel 3 "断组": the banker-number sort list with its window length and decomposition mode,
// and the group filter with its input lines, result base and count.
#pragma once

#include <QGroupBox>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSettings;

namespace xuan5::ui {

class Services;
class Session;
class MultiLineBox;

class SortPanel : public QGroupBox {
    Q_OBJECT
  public:
    // `services`, `session` outlives the panel.
    explicit SortPanel(Services& services, const Session& session, QWidget* parent = nullptr);

    // Restores this panel's setting boxes and ticks from `settings` and keeps them there
    // (KeepControls); `settings` outlives the panel.
    void KeepSettings(QSettings& settings);
    // Start-up step: the verification length only displays its fixed value.
    void DisableVerificationBox();

    // Handlers; the after-draw pipeline presses "刷新排序" through RefreshSort().
    void RefreshSort();       // C_paixu_shuaxin
    void ShortenWindow();     // C_paixu_qishu_jian
    void LengthenWindow();    // C_paixu_qishu_jia
    void TakeLineGrouping();  // List01 click
    void AddCandidate();      // C_paixu_add
    void RunFilter();         // C_paixu_go
    void CopyResult();        // C_paixu_copy
    void ClearInput();        // T_paixu_input double-click

  private:
    void StepWindow(int step);

    Services& services_;
    const Session& session_;

    QListWidget* list_;           // List01
    QLineEdit* window_;           // T_paixu_qishu
    QLineEdit* verified_;         // T_paixu_yanzheng
    QPushButton* shorter_;        // C_paixu_qishu_jian
    QPushButton* longer_;         // C_paixu_qishu_jia
    QPushButton* refresh_;        // C_paixu_shuaxin
    QLineEdit* mode_;             // T_paixu_fenjiemoshi
    QLineEdit* candidate_;        // T_paixu_fenjie_houbei
    QLineEdit* candidateCounts_;  // T_paixu_fenjie_houbei_cs
    QPushButton* add_;            // C_paixu_add
    MultiLineBox* input_;         // T_paixu_input
    QLineEdit* inputCounts_;      // T_paixu_input_rc
    QPushButton* run_;            // C_paixu_go
    MultiLineBox* result_;        // T_paixu_dadi
    QLabel* resultCount_;         // Label_paixu_zhushu
    QPushButton* copy_;           // C_paixu_copy
    // Set while List01 is refilled, so that its moving selection is not taken for a click.
    bool refilling_ = false;
};

}  // namespace xuan5::ui
