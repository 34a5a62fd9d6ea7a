// The user manual "使用手册", read inside the program from the HTML installed with it, without a
// network or a web browser.
#pragma once

#include <QDialog>

class QTextBrowser;

namespace xuan5::ui {

class Fbangzhu : public QDialog {
    Q_OBJECT
  public:
    // `index` is the manual's first page (an existing file).
    explicit Fbangzhu(const QString& index, QWidget* parent = nullptr);

  private:
    QTextBrowser* browser_;
};

}  // namespace xuan5::ui
