#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <QWidget>
#include <array>
#include <string>

#include "plans/tolerance.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace xuan5::ui {

class AppContext;
struct PanelLinks;

// A multi-line text box that reports double clicks, because several boxes empty themselves on a
// double click (the backup bases, the filter lines) and QPlainTextEdit has no such signal.
// Note for handlers: QPlainTextEdit stores line breaks as "\n"; texts that leave the program
// (clipboard, files, record logs) are converted to CR LF by the code that reads the box.
class MultiLineBox : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit MultiLineBox(QWidget* parent = nullptr);

    // True while a key typed into the box is changing its text. A box that rewrites itself on
    // every change waits for the typing to end, or a typed separator would vanish at once.
    bool Typing() const { return typing_; }

  signals:
    void doubleClicked();
    // The box lost the keyboard focus.
    void editingFinished();

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    bool typing_ = false;
};

// The seam between a box's "\n" line breaks and the engine's CR LF, both ways.
std::string BoxText(const QPlainTextEdit* box);
void SetBoxText(QPlainTextEdit* box, const std::string& text);

// Scrolls a box to its end by selecting its last character, as the plan log does.
void SelectLastCharacter(QPlainTextEdit* box);

// The copy buttons: clears the clipboard, puts `text` on it as plain text (line breaks as CR LF)
// and opens the copy notice over `parent`; when the clipboard does not hold the text afterwards,
// shows the copy error instead.
void CopyToClipboard(const AppContext& ctx, QWidget* parent, const QString& text);

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
    ~BackupStrip() override;

    QSize sizeHint() const override;

    // The progress display Pic_jd: shown ("op") or hidden (anything else).
    void ShowProgressPanel(bool show);
    void PrintProgressText(const QString& text);

    // What the plans read here.
    bool JoinTicked() const;               // Check_beiyong_canyu
    BackupBasesInput BackupInput() const;  // T_dd_beiyong(0..2), T_beiyong_rc

    // The backup copy of the last plan-mode result, T_jihua_jj_dadi_by and its count.
    QString PlanBackupText() const;
    QString PlanBackupCount() const;
    void SetPlanBackup(const QString& text, const QString& count);

    // Writes a backup intersection into T_dd_beiyong(3), whose change handler normalises it,
    // then its count when the intersection gives one.
    void ShowBackupResult(const BackupBasesOutput& result);

    // Handlers.
    void ShowBoxCurve(int index);  // C_fuzhu_k(index)
    void PasteIntoBox(int index);  // C_fuzhu_tie(index)
    void CopyBox(int index);       // C_fuzhu_copy(index)
    void StartIntersection();      // C_dd_beiyong_jj
    void ClearBox(int index);      // T_dd_beiyong(index) double click
    void NormalizeBox(int index);  // T_dd_beiyong(index) change

  private:
    bool rewriting_ = false;  // a normalised text is being written back into its box

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
