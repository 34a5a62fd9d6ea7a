#include "ui/shell/app_context.h"

#include <QCoreApplication>

#include "core/result.h"
#include "protocol/endpoints.h"
#include "store/curve_store.h"

namespace xuan5::ui {

AppContext::AppContext(std::filesystem::path dataDir, ServiceSettings service, int requestTimeoutMs)
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

AppContext::~AppContext() = default;

QString RegionName(int region) {
    const std::string_view name = RegionNameOf(region);
    return name.empty() ? QString::number(region)
                        : QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

bool AppContext::ReloadCurveStore() {
    Result<LineTexts> store = ReadCurveStoreFile(StoreFile());
    session.CurveStoreLines = store ? std::move(*store) : LineTexts{};
    return static_cast<bool>(store);
}

std::filesystem::path AppContext::StoreFile() const {
    return CurveStorePath(dataDir);
}

MessageAnswer AppContext::Show(QWidget* parent, const QString& text, const QString& title,
                               MessageButtons buttons, MessageKind kind) const {
    return ShowMessage(parent, text, title, buttons, kind);
}

MessageAnswer AppContext::Show(QWidget* parent, const xuan5::Message& message) const {
    return ShowMessage(parent, message);
}

bool AppContext::RequireDraws(QWidget* parent) const {
    if (session.HasDraws()) return true;
    ShowFailure(parent, QString::fromUtf8(kMsgNoDrawData), QString::fromUtf8(kTitleErrorNotice));
    return false;
}

void AppContext::SaveBook(QWidget* parent, int region) {
    for (const Message& failure : session.TakeLoadFailures()) Show(parent, failure);
    const Status saved = session.Save(region);
    if (saved) {
        saveFailureShown_ = false;
        return;
    }
    if (saveFailureShown_) return;
    saveFailureShown_ = true;
    Show(parent, saved.messages().front());
}

void AppContext::ShowStoreBrokenMessages(QWidget* parent) const {
    ShowFailure(parent, QString::fromUtf8(kMsgStoreBroken), QString::fromUtf8(kTitleNotice));
    ShowFailure(parent, QString::fromUtf8(kMsgAppWillClose), QString::fromUtf8(kTitleNotice));
}

void AppContext::StoreBroken(QWidget* parent) {
    ShowStoreBrokenMessages(parent);
    endApplication(1);
}

}  // namespace xuan5::ui
