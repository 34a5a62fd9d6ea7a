// Panel 3 "断组": the banker-number sort list with its window length and decomposition mode,
// and the group filter with its input lines, result base and count.
#pragma once

#include <QGroupBox>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace xuan5::ui {

class AppContext;
class MultiLineBox;
struct PanelLinks;

class SortPanel : public QGroupBox {
    Q_OBJECT
  public:
    // `ctx` and `links` outlive the panel.
    SortPanel(AppContext& ctx, const PanelLinks& links, QWidget* parent = nullptr);

    // Start-up step: the verification length only displays its fixed value.
    void DisableVerificationBox();

  private:
    AppContext& ctx_;
    const PanelLinks& links_;

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
};

}  // namespace xuan5::ui
