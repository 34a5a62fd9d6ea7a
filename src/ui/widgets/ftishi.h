// The copy notice: a small modal window that closes itself 600 ms after it opens.
#pragma once

#include <QDialog>

class QTimer;

namespace xuan5::ui {

inline constexpr int kCopyNoticeMs = 600;

class Ftishi : public QDialog {
    Q_OBJECT
  public:
    explicit Ftishi(QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QTimer* timer_;
};

// Opens a notice over `parent` (modal to it) and returns at once; the notice deletes itself
// when its timer closes it.
Ftishi* ShowCopyNotice(QWidget* parent);

}  // namespace xuan5::ui
