// The progress display Pic_jd: one line of large text at a fixed spot.
#pragma once

#include <QString>
#include <QWidget>

namespace xuan5::ui {

// Repainted from the stored text, so that it survives exposes while a long plan run processes
// events.
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

}  // namespace xuan5::ui
