// The one-line status box: a long text (a failure with its reason and its fix) is shown with its
// middle left out ("…") rather than cut at the end, and whole in its tooltip. text() is always
// the whole text.
#pragma once

#include <QLineEdit>

namespace xuan5::ui {

class StatusLine : public QLineEdit {
    Q_OBJECT
  public:
    explicit StatusLine(const QString& text, QWidget* parent = nullptr);

    // A line the tooltip adds under the whole text, whatever the box shows: where its news come
    // from.
    void SetSource(const QString& source);

    // What the box shows now: the text, or its middle-elided form when it does not fit. While
    // the box has the keyboard focus it shows the whole text, to be scrolled and selected.
    QString ShownText() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QRect TextArea() const;
    void FollowText();
    QString source_;
};

}  // namespace xuan5::ui
