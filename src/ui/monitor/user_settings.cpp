#include "ui/monitor/user_settings.h"

#include <QPointer>
#include <QPushButton>

#include "core/text.h"
#include "protocol/endpoints.h"
#include "ui/common/app_context.h"
#include "ui/common/failure_text.h"
#include "ui/common/panel_links.h"
namespace xuan5::ui {

UserSettings::UserSettings(Services& services, const PanelLinks& links, QPushButton* save,
                           QPushButton* load, QWidget* parent)
    : QObject(parent),
      services_(services),
      links_(links),
      window_(parent),
      save_(save),
      load_(load) {
    setObjectName(QStringLiteral("UserSettings"));
}

void UserSettings::Begin() {
    inFlight_ = true;
    save_->setEnabled(false);
    load_->setEnabled(false);
}

void UserSettings::Finish() {
    inFlight_ = false;
    save_->setEnabled(true);
    load_->setEnabled(true);
}

void UserSettings::SaveUserSettings() {
    if (inFlight_) return;
    SettingsFields fields;
    const std::vector<std::string> texts = links_.settingsFields();
    for (std::size_t i = 0; i < fields.size() && i < texts.size(); ++i) fields[i] = texts[i];
    const Result<std::string> record = BuildSettingsRecord(fields);
    if (!record) {
        services_.Show(window_, record.messages().front());
        return;
    }
    Begin();
    const std::string url = SettingsSaveUrl(services_.service.url.toStdString(), *record);
    // The window may be gone when the answer comes: the client drops answers when it is
    // destroyed itself, and the guard covers this object going first.
    services_.Http().HttpRequest(QStringLiteral("POST"), QString::fromStdString(url), QByteArray(),
                                 [self = QPointer<UserSettings>(this)](const HttpReply& reply) {
                                     if (self) self->HandleSaveAnswer(reply);
                                 });
}

// The buttons come back only after the outcome message, as when the request ran inside the
// click: nothing can be pressed again while the message box is open.
void UserSettings::HandleSaveAnswer(const HttpReply& reply) {
    const Result<Message> saved = SettingsSaveOutcome(reply.Body());
    const Message& outcome = saved ? *saved : saved.messages().front();
    // A reply that says "saved" came whole, so it has no failure reason to add.
    services_.Show(window_, WithFailureReason(QString::fromStdString(outcome.text), reply),
                   QString::fromStdString(outcome.title), MessageButtons::Ok,
                   saved ? MessageKind::Notice : MessageKind::Failure);
    Finish();
}

void UserSettings::LoadUserSettings() {
    if (inFlight_) return;
    Begin();
    const std::string url = SettingsLoadUrl(services_.service.url.toStdString());
    services_.Http().HttpRequest(QStringLiteral("POST"), QString::fromStdString(url), QByteArray(),
                                 [self = QPointer<UserSettings>(this)](const HttpReply& reply) {
                                     if (self) self->HandleLoadAnswer(reply);
                                 });
}

void UserSettings::HandleLoadAnswer(const HttpReply& reply) {
    const std::string response = reply.Body();
    const SettingsLoadResult loaded = ParseSettingsResponse(response);
    // Each box takes its text as if typed: its change handler checks the value, and a record cut
    // short leaves the boxes written before the gap with their new texts.
    for (std::size_t i = 0; i < loaded.value.size() && i < kSettingsFieldCount; ++i)
        links_.setSettingsField(static_cast<int>(i), loaded.value[i]);
    const Message& said = loaded.notices.front();
    QString text = QString::fromStdString(said.text);
    if (said.kind == Message::Kind::Io) {
        // The service answers a user who never saved without its marker, in words of its own.
        text = Contains(response, kNoSettingsSaved)
                   ? text + QStringLiteral("：服务上还没有保存过这个用户的设置")
                   : WithFailureReason(kMsgSettingsLoadFailed, reply);
    }
    services_.Show(window_, text, QString::fromStdString(said.title), MessageButtons::Ok,
                   said.kind == Message::Kind::Notice ? MessageKind::Notice : MessageKind::Failure);
    Finish();
}

}  // namespace xuan5::ui
