// The multi-line text box the panels share, and the seam between a box's "\n" line breaks and
// the engine's CR LF.
#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <string>

#include "ui/widgets/lines_box.h"

namespace xuan5::ui {

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

inline MultiLineBox* MakeBox(QWidget* parent, const QString& name, const QString& text = {}) {
    auto* box = new MultiLineBox(parent);
    box->setObjectName(name);
    box->setPlainText(text);
    return box;
}

// A box for a base of one bet per line, which is replaced whole by every plan.
inline LinesBox* MakeLinesBox(QWidget* parent, const QString& name) {
    auto* box = new LinesBox(parent);
    box->setObjectName(name);
    return box;
}

// A text with every line break as CR LF, as texts leave the program.
QString WithCrLf(const QString& text);

// The seam between a box's "\n" line breaks and the engine's CR LF, both ways.
std::string BoxText(const QPlainTextEdit* box);
void SetBoxText(QPlainTextEdit* box, const std::string& text);
std::string BoxText(const LinesBox* box);
void SetBoxText(LinesBox* box, const std::string& text);

// For boxes that hold bets only (digits, commas, spaces): their text is drawn without shaping,
// which changes nothing on screen for such text and saves most of the time a box takes to
// show a plan of a few hundred bets.
void UseUnshapedFont(QWidget* box);

// Scrolls a box to its end by selecting its last character, as the plan log does.
void SelectLastCharacter(QPlainTextEdit* box);
inline void SelectLastCharacter(LinesBox* box) {
    box->SelectLastCharacter();
}

}  // namespace xuan5::ui
