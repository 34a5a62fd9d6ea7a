// "保存用户设置" and "读取用户设置": the 24 setting texts of the drawing and plan panels kept on
// the settings service, one record per user.
#pragma once

#include <QObject>
#include <array>
#include <string>

#include "protocol/settings_record.h"
#include "ui/common/http_request.h"

class QPushButton;
class QWidget;

namespace xuan5::ui {

class Services;
struct PanelLinks;

// The requests run asynchronously. While one is out both buttons stay disabled: a load that
// overtook a save still on its way would bring back the record the save is replacing.
class UserSettings : public QObject {
    Q_OBJECT
  public:
    // `services`, `session` and `links` outlive this object; the setting texts are read and written
    // through `links` when a request runs, so the panels may be built after it. Messages open over
    // `parent`, which also owns this object and the two buttons.
    UserSettings(Services& services, const PanelLinks& links, QPushButton* save, QPushButton* load,
                 QWidget* parent);

    // Handlers.
    void SaveUserSettings();  // C_user_save
    void LoadUserSettings();  // C_user_load

  private:
    void Begin();
    void Finish();
    void HandleSaveAnswer(const HttpReply& reply);
    void HandleLoadAnswer(const HttpReply& reply);

    Services& services_;
    const PanelLinks& links_;
    QWidget* window_;
    QPushButton* save_;
    QPushButton* load_;
    bool inFlight_ = false;
};

}  // namespace xuan5::ui
