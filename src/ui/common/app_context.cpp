#include "ui/common/app_context.h"

#include <QCoreApplication>

#include "core/result.h"
#include "protocol/endpoints.h"
#include "store/curve_store.h"

namespace xuan5::ui {

Services::Services(std::filesystem::path dataDir, ServiceSettings service, int requestTimeoutMs)
    : dataDir(std::move(dataDir)),
      service(std::move(service)),
      endApplication([](int code) { QCoreApplication::exit(code); }),
      http_(std::make_unique<HttpClient>()) {
    std::random_device device;
    std::seed_seq seed{device(), device(), device(), device()};
    rng.seed(seed);
    http_->SetToken(this->service.token);
    http_->SetCaFile(this->service.ca);
    http_->SetTimeoutMs(requestTimeoutMs);
}

Services::~Services() = default;

QString RegionName(int region) {
    const std::string_view name = RegionNameOf(region);
    return name.empty() ? QString::number(region)
                        : QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

bool ReloadCurveStore(const Services& services, Session& session) {
    Result<LineTexts> store = ReadCurveStoreFile(services.StoreFile());
    session.CurveStoreLines = store ? std::move(*store) : LineTexts{};
    return static_cast<bool>(store);
}

std::filesystem::path Services::StoreFile() const {
    return CurveStorePath(dataDir);
}

MessageAnswer Services::Show(QWidget* parent, const QString& text, const QString& title,
                             MessageButtons buttons, MessageKind kind) const {
    return ShowMessage(parent, text, title, buttons, kind);
}

MessageAnswer Services::Show(QWidget* parent, const xuan5::Message& message) const {
    return ShowMessage(parent, message);
}

bool RequireDraws(const Services& services, const Session& session, QWidget* parent) {
    if (session.HasDraws()) return true;
    services.Show(parent, Message{kMsgNoDrawData, kTitleErrorNotice});
    return false;
}

void SaveBook(Services& services, Session& session, QWidget* parent, int region) {
    for (const Message& failure : session.TakeLoadFailures()) services.Show(parent, failure);
    const Status saved = session.Save(region);
    if (saved) {
        services.saveFailureShown_ = false;
        return;
    }
    if (services.saveFailureShown_) return;
    services.saveFailureShown_ = true;
    services.Show(parent, saved.messages().front());
}

void Services::ShowStoreBrokenMessages(QWidget* parent) const {
    ShowFailure(parent, QString::fromUtf8(kMsgStoreBroken), QString::fromUtf8(kTitleNotice));
    ShowFailure(parent, QString::fromUtf8(kMsgAppWillClose), QString::fromUtf8(kTitleNotice));
}

void Services::StoreBroken(QWidget* parent) {
    ShowStoreBrokenMessages(parent);
    endApplication(1);
}

}  // namespace xuan5::ui
