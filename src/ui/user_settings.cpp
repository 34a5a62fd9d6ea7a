#include "ui/user_settings.h"

#include "ui/app_context.h"
#include "ui/draw_panel.h"
#include "ui/panel_links.h"
#include "ui/plan_panel.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace xuan5::ui {

UserSettings::UserSettings(AppContext& ctx, const PanelLinks& links, QPushButton* save,
                           QPushButton* load, QWidget* parent)
    : QObject(parent), ctx_(ctx), links_(links), window_(parent), save_(save), load_(load) {
    setObjectName(QStringLiteral("UserSettings"));
}

std::array<QLineEdit*, kSettingsFieldCount> UserSettings::FieldBoxes() const {
    std::array<QLineEdit*, kSettingsFieldCount> boxes{};
    for (int i = 0; i < kSettingsLineFields; ++i) boxes[i] = links_.draw->LineCountBox(i);
    const std::array<QLineEdit*, kSettingsRepeatFields + kSettingsGroupFields> plan =
        links_.plan->SettingsBoxes();
    for (std::size_t i = 0; i < plan.size(); ++i) boxes[kSettingsLineFields + i] = plan[i];
    return boxes;
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
    const std::array<QLineEdit*, kSettingsFieldCount> boxes = FieldBoxes();
    for (int i = 0; i < kSettingsFieldCount; ++i) fields[i] = boxes[i]->text().toStdString();
    const SettingsRecordResult record = BuildSettingsRecord(fields);
    if (!record.SettingsRecord) {
        ctx_.Show(window_, *record.message);
        return;
    }
    Begin();
    const std::string url = SettingsSaveUrl(ctx_.service.url.toStdString(), *record.SettingsRecord);
    // The window may be gone when the answer comes: the client drops answers when it is
    // destroyed itself, and the guard covers this object going first.
    ctx_.Http().HttpRequest(QStringLiteral("POST"), QString::fromStdString(url), QByteArray(),
                            [self = QPointer<UserSettings>(this)](std::string response) {
                                if (self) self->HandleSaveAnswer(response);
                            });
}

// The buttons come back only after the outcome message, as when the request ran inside the
// click: nothing can be pressed again while the message box is open.
void UserSettings::HandleSaveAnswer(const std::string& response) {
    ctx_.Show(window_, SettingsSaveOutcome(response, kSettingsSuccessMarker));
    Finish();
}

void UserSettings::LoadUserSettings() {
    if (inFlight_) return;
    Begin();
    const std::string url = SettingsLoadUrl(ctx_.service.url.toStdString());
    ctx_.Http().HttpRequest(QStringLiteral("POST"), QString::fromStdString(url), QByteArray(),
                            [self = QPointer<UserSettings>(this)](std::string response) {
                                if (self) self->HandleLoadAnswer(response);
                            });
}

void UserSettings::HandleLoadAnswer(const std::string& response) {
    const SettingsLoadResult loaded = ParseSettingsResponse(response, kSettingsSuccessMarker);
    // Each box takes its text as if typed: its change handler checks the value, and a record cut
    // short leaves the boxes written before the gap with their new texts.
    const std::array<QLineEdit*, kSettingsFieldCount> boxes = FieldBoxes();
    for (std::size_t i = 0; i < loaded.fields.size() && i < boxes.size(); ++i)
        boxes[i]->setText(QString::fromStdString(loaded.fields[i]));
    ctx_.Show(window_, loaded.message);
    Finish();
}

}  // namespace xuan5::ui
