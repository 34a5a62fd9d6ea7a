// A text box for texts of a few hundred short lines, such as a plan base with one bet per line.
// It keeps the lines as strings and draws only those in view, so that a new text of hundreds of
// lines is in place in microseconds, where a document-based box spends milliseconds building and
// laying out a paragraph per line. It is used as a text box is: a caret, selection with mouse
// and keys, copy, cut, paste, typing, and a context menu; texts come and go with "\n" between
// lines.
#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QString>
#include <QStringList>

class QMenu;

namespace xuan5::ui {

class LinesBox : public QAbstractScrollArea {
    Q_OBJECT
  public:
    explicit LinesBox(QWidget* parent = nullptr);

    QString Text() const;
    // Replaces the whole text; the caret goes to the start, the view to the top.
    void SetText(const QString& text);
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }

    // A place in the text: a line and a character in it.
    struct Place {
        int line = 0;
        int column = 0;
        friend bool operator==(const Place&, const Place&) = default;
    };
    Place Caret() const { return caret_; }
    QString SelectedText() const;
    // Selects from `anchor` to `caret` (the caret's end) and scrolls the caret into view.
    void Select(Place anchor, Place caret);
    void SelectAll();
    // Selects the text's last character, which scrolls the view to the end.
    void SelectLastCharacter();

    // The clipboard actions of a text box.
    void Copy() const;
    void Cut();
    void Paste();

    // A context menu as a text box has it, in the window's language.
    QMenu* CreateContextMenu();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    bool HasSelection() const { return anchor_ != caret_; }
    // The selection's two ends in text order.
    std::pair<Place, Place> Ordered() const;
    void MoveCaret(Place to, bool keepAnchor);
    // The place one character before (-1) or after (1), across line ends.
    Place Step(Place place, int direction) const;
    void Insert(const QString& text);  // replaces the selection
    void RemoveSelection();
    Place Clamp(Place place) const;
    Place PlaceAt(const QPoint& viewportPoint) const;
    int LineHeight() const;
    int VisibleLines() const;
    void UpdateScrollBars();
    void EnsureCaretVisible();
    void RestartBlink();
    int ColumnX(int line, int column) const;  // in the text's own coordinates
    void Changed();

    QStringList lines_{QString()};
    Place caret_;
    Place anchor_;
    int widest_ = 0;  // pixels of the line with the most characters, for the horizontal range
    bool readOnly_ = false;
    bool caretShown_ = true;
    QBasicTimer blink_;
};

}  // namespace xuan5::ui
