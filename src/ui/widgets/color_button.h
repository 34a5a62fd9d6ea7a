// A push button filled with a colour of its own, flat with a thin border, as the panel buttons
// of the main window are. It paints itself: a style sheet per button would cost the window's
// start a style-sheet engine.
#pragma once

#include <QColor>
#include <QPushButton>

namespace xuan5::ui {

class ColorButton : public QPushButton {
    Q_OBJECT
  public:
    ColorButton(const QString& text, QWidget* parent = nullptr);

    void SetColor(const QColor& color);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor color_ = Qt::lightGray;
};

}  // namespace xuan5::ui
