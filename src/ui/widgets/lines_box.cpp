#include "ui/widgets/lines_box.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <algorithm>

namespace xuan5::ui {

namespace {

constexpr int kMargin = 4;  // between the frame and the text, as a document box leaves

bool IsWordCharacter(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

}  // namespace

LinesBox::LinesBox(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setCursor(Qt::IBeamCursor);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

QString LinesBox::Text() const {
    return lines_.join(QLatin1Char('\n'));
}

void LinesBox::SetText(const QString& text) {
    lines_ = text.split(QLatin1Char('\n'));
    for (QString& line : lines_) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    }
    caret_ = anchor_ = {};
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    Changed();
}

std::pair<LinesBox::Place, LinesBox::Place> LinesBox::Ordered() const {
    const bool caretFirst = caret_.line < anchor_.line ||
                            (caret_.line == anchor_.line && caret_.column < anchor_.column);
    return caretFirst ? std::pair{caret_, anchor_} : std::pair{anchor_, caret_};
}

QString LinesBox::SelectedText() const {
    const auto [from, to] = Ordered();
    if (from.line == to.line) return lines_[from.line].mid(from.column, to.column - from.column);
    QStringList parts{lines_[from.line].mid(from.column)};
    for (int l = from.line + 1; l < to.line; ++l) parts << lines_[l];
    parts << lines_[to.line].left(to.column);
    return parts.join(QLatin1Char('\n'));
}

void LinesBox::Select(Place anchor, Place caret) {
    anchor_ = Clamp(anchor);
    caret_ = Clamp(caret);
    EnsureCaretVisible();
    RestartBlink();
    viewport()->update();
}

void LinesBox::SelectAll() {
    Select({}, {static_cast<int>(lines_.size()) - 1, static_cast<int>(lines_.back().size())});
}

void LinesBox::SelectLastCharacter() {
    const Place end{static_cast<int>(lines_.size()) - 1, static_cast<int>(lines_.back().size())};
    Place last = Step(end, -1);
    // A character past the BMP is a pair of units and is selected whole.
    if (last.line == end.line && last.column > 0 && lines_[last.line][last.column].isLowSurrogate())
        --last.column;
    Select(last, end);
}

void LinesBox::Copy() const {
    if (HasSelection()) QApplication::clipboard()->setText(SelectedText());
}

void LinesBox::Cut() {
    if (readOnly_ || !HasSelection()) return;
    Copy();
    RemoveSelection();
    Changed();
}

void LinesBox::Paste() {
    if (readOnly_) return;
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (data && data->hasText()) Insert(data->text());
}

QMenu* LinesBox::CreateContextMenu() {
    auto* menu = new QMenu(this);
    QAction* cut = menu->addAction(QStringLiteral("剪切"), this, &LinesBox::Cut);
    cut->setShortcut(QKeySequence::Cut);
    cut->setEnabled(!readOnly_ && HasSelection());
    QAction* copy = menu->addAction(QStringLiteral("复制"), this, &LinesBox::Copy);
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(HasSelection());
    QAction* paste = menu->addAction(QStringLiteral("粘贴"), this, &LinesBox::Paste);
    paste->setShortcut(QKeySequence::Paste);
    const QMimeData* data = QApplication::clipboard()->mimeData();
    paste->setEnabled(!readOnly_ && data && data->hasText());
    QAction* remove = menu->addAction(QStringLiteral("删除"), this, [this] {
        RemoveSelection();
        Changed();
    });
    remove->setEnabled(!readOnly_ && HasSelection());
    menu->addSeparator();
    menu->addAction(QStringLiteral("全选"), this, &LinesBox::SelectAll)
        ->setShortcut(QKeySequence::SelectAll);
    return menu;
}

LinesBox::Place LinesBox::Clamp(Place place) const {
    place.line = std::clamp(place.line, 0, static_cast<int>(lines_.size()) - 1);
    place.column = std::clamp(place.column, 0, static_cast<int>(lines_[place.line].size()));
    return place;
}

void LinesBox::MoveCaret(Place to, bool keepAnchor) {
    caret_ = Clamp(to);
    if (!keepAnchor) anchor_ = caret_;
    EnsureCaretVisible();
    RestartBlink();
    viewport()->update();
}

LinesBox::Place LinesBox::Step(Place place, int direction) const {
    if (direction < 0) {
        if (place.column > 0) return {place.line, place.column - 1};
        if (place.line > 0)
            return {place.line - 1, static_cast<int>(lines_[place.line - 1].size())};
    } else {
        if (place.column < lines_[place.line].size()) return {place.line, place.column + 1};
        if (place.line + 1 < lines_.size()) return {place.line + 1, 0};
    }
    return place;
}

void LinesBox::RemoveSelection() {
    if (!HasSelection()) return;
    const auto [from, to] = Ordered();
    lines_[from.line] = lines_[from.line].left(from.column) + lines_[to.line].mid(to.column);
    lines_.erase(lines_.begin() + from.line + 1, lines_.begin() + to.line + 1);
    caret_ = anchor_ = from;
}

void LinesBox::Insert(const QString& text) {
    if (readOnly_) return;
    RemoveSelection();
    QStringList pieces = text.split(QLatin1Char('\n'));
    for (QString& piece : pieces) piece.remove(QLatin1Char('\r'));
    const QString tail = lines_[caret_.line].mid(caret_.column);
    lines_[caret_.line].truncate(caret_.column);
    lines_[caret_.line] += pieces.front();
    for (int k = 1; k < pieces.size(); ++k) lines_.insert(caret_.line + k, pieces[k]);
    caret_.line += static_cast<int>(pieces.size()) - 1;
    caret_.column = static_cast<int>(lines_[caret_.line].size());
    lines_[caret_.line] += tail;
    anchor_ = caret_;
    Changed();
}

void LinesBox::Changed() {
    // The line with the most characters stands for the widest: one measurement, not hundreds.
    const auto longest =
        std::max_element(lines_.cbegin(), lines_.cend(),
                         [](const QString& a, const QString& b) { return a.size() < b.size(); });
    widest_ = fontMetrics().horizontalAdvance(*longest) + fontMetrics().averageCharWidth();
    UpdateScrollBars();
    EnsureCaretVisible();
    RestartBlink();
    viewport()->update();
}

int LinesBox::LineHeight() const {
    return fontMetrics().lineSpacing();
}

int LinesBox::VisibleLines() const {
    return std::max(1, (viewport()->height() - kMargin) / LineHeight());
}

void LinesBox::UpdateScrollBars() {
    verticalScrollBar()->setRange(0, std::max(0, static_cast<int>(lines_.size()) - VisibleLines()));
    verticalScrollBar()->setPageStep(VisibleLines());
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setRange(0, std::max(0, widest_ + 2 * kMargin - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(fontMetrics().averageCharWidth());
}

int LinesBox::ColumnX(int line, int column) const {
    return fontMetrics().horizontalAdvance(lines_[line].left(column));
}

void LinesBox::EnsureCaretVisible() {
    QScrollBar* v = verticalScrollBar();
    if (caret_.line < v->value()) v->setValue(caret_.line);
    if (caret_.line >= v->value() + VisibleLines()) v->setValue(caret_.line - VisibleLines() + 1);
    QScrollBar* h = horizontalScrollBar();
    const int x = ColumnX(caret_.line, caret_.column);
    const int room = viewport()->width() - 2 * kMargin;
    if (x < h->value()) h->setValue(x);
    if (x > h->value() + room) h->setValue(x - room);
}

LinesBox::Place LinesBox::PlaceAt(const QPoint& point) const {
    Place place;
    place.line = verticalScrollBar()->value() + std::max(0, point.y() - kMargin / 2) / LineHeight();
    place = Clamp(place);
    const QString& line = lines_[place.line];
    const int x = point.x() - kMargin + horizontalScrollBar()->value();
    // The column whose edge is nearest: the widths of the line's beginnings only grow.
    int lo = 0, hi = static_cast<int>(line.size());
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        const int left = ColumnX(place.line, mid), right = ColumnX(place.line, mid + 1);
        if (x < (left + right) / 2) {
            hi = mid;
        } else {
            lo = mid + 1;
        }
    }
    place.column = lo;
    return place;
}

void LinesBox::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QFontMetrics fm = fontMetrics();
    const int height = LineHeight();
    const int first = verticalScrollBar()->value();
    const int last = std::min(static_cast<int>(lines_.size()) - 1, first + VisibleLines());
    const int x0 = kMargin - horizontalScrollBar()->value();
    const auto [from, to] = Ordered();
    const QPalette& colors = palette();
    for (int l = first; l <= last; ++l) {
        const int top = kMargin / 2 + (l - first) * height;
        if (HasSelection() && l >= from.line && l <= to.line) {
            const int start = l == from.line ? ColumnX(l, from.column) : 0;
            // A selected line break shows as a little room after the line's end.
            const int end = l == to.line ? ColumnX(l, to.column)
                                         : ColumnX(l, static_cast<int>(lines_[l].size())) +
                                               fm.averageCharWidth() / 2;
            painter.fillRect(x0 + start, top, end - start, height, colors.highlight());
        }
        painter.setPen(colors.color(QPalette::Text));
        painter.drawText(x0, top + fm.ascent(), lines_[l]);
        if (HasSelection() && l >= from.line && l <= to.line) {
            // The selected part again, in the highlighted text colour.
            const int start = l == from.line ? from.column : 0;
            const int end = l == to.line ? to.column : static_cast<int>(lines_[l].size());
            painter.setPen(colors.color(QPalette::HighlightedText));
            painter.drawText(x0 + ColumnX(l, start), top + fm.ascent(),
                             lines_[l].mid(start, end - start));
        }
    }
    if (hasFocus() && caretShown_ && caret_.line >= first && caret_.line <= last) {
        const int x = x0 + ColumnX(caret_.line, caret_.column);
        const int top = kMargin / 2 + (caret_.line - first) * height;
        painter.fillRect(x, top, 1, height, colors.color(QPalette::Text));
    }
}

void LinesBox::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void LinesBox::scrollContentsBy(int, int) {
    viewport()->update();
}

void LinesBox::keyPressEvent(QKeyEvent* event) {
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    const int lastLine = static_cast<int>(lines_.size()) - 1;
    if (event->matches(QKeySequence::SelectAll)) {
        SelectAll();
    } else if (event->matches(QKeySequence::Copy)) {
        Copy();
    } else if (event->matches(QKeySequence::Cut)) {
        Cut();
    } else if (event->matches(QKeySequence::Paste)) {
        Paste();
    } else {
        Place to = caret_;
        switch (event->key()) {
            case Qt::Key_Left:
                MoveCaret(HasSelection() && !shift ? Ordered().first : Step(to, -1), shift);
                break;
            case Qt::Key_Right:
                MoveCaret(HasSelection() && !shift ? Ordered().second : Step(to, 1), shift);
                break;
            case Qt::Key_Up:
                MoveCaret({to.line - 1, to.column}, shift);
                break;
            case Qt::Key_Down:
                MoveCaret({to.line + 1, to.column}, shift);
                break;
            case Qt::Key_PageUp:
                MoveCaret({to.line - VisibleLines(), to.column}, shift);
                break;
            case Qt::Key_PageDown:
                MoveCaret({to.line + VisibleLines(), to.column}, shift);
                break;
            case Qt::Key_Home:
                MoveCaret(control ? Place{} : Place{to.line, 0}, shift);
                break;
            case Qt::Key_End:
                MoveCaret(control ? Place{lastLine, static_cast<int>(lines_.back().size())}
                                  : Place{to.line, static_cast<int>(lines_[to.line].size())},
                          shift);
                break;
            case Qt::Key_Backspace:
            case Qt::Key_Delete:
                if (readOnly_) break;
                // Without a selection, the character before (or after) the caret goes, a line
                // break included.
                if (!HasSelection())
                    anchor_ = Step(caret_, event->key() == Qt::Key_Delete ? 1 : -1);
                if (HasSelection()) {
                    RemoveSelection();
                    Changed();
                }
                break;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                Insert(QStringLiteral("\n"));
                break;
            default:
                if (!readOnly_ && !event->text().isEmpty() && !control &&
                    event->text().at(0).isPrint()) {
                    Insert(event->text());
                } else {
                    QAbstractScrollArea::keyPressEvent(event);
                    return;
                }
        }
    }
    event->accept();
}

void LinesBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    MoveCaret(PlaceAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
}

void LinesBox::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return;
    // Dragging past an edge scrolls as it selects.
    MoveCaret(PlaceAt(event->position().toPoint()), true);
}

void LinesBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const Place at = PlaceAt(event->position().toPoint());
        const QString& line = lines_[at.line];
        int start = at.column, end = at.column;
        while (start > 0 && IsWordCharacter(line[start - 1])) --start;
        while (end < line.size() && IsWordCharacter(line[end])) ++end;
        Select({at.line, start}, {at.line, end});
    }
}

void LinesBox::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = CreateContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void LinesBox::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    RestartBlink();
    viewport()->update();
}

void LinesBox::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    blink_.stop();
    viewport()->update();
}

void LinesBox::RestartBlink() {
    caretShown_ = true;
    const int flash = QApplication::styleHints()->cursorFlashTime();
    if (hasFocus() && flash > 0) {
        blink_.start(flash / 2, this);
    } else {
        blink_.stop();
    }
}

void LinesBox::timerEvent(QTimerEvent* event) {
    if (event->timerId() != blink_.timerId()) return QAbstractScrollArea::timerEvent(event);
    caretShown_ = !caretShown_;
    viewport()->update();
}

}  // namespace xuan5::ui
