// What the windows and panels of the program use: the services (the random generator, the HTTP
// client, the data folder and the service settings, the message boxes) and the session's tables,
// and the few steps that need both. A panel takes only what it uses, read-only where it only
// reads.
//
// Lifetime: Fmain creates the one context before any panel or secondary window and destroys it
// after all of them, so every panel and window may keep references into it for its whole life.
// Tests create a context of their own to build a panel alone.
#pragma once

#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>

#include "ui/common/config.h"
#include "ui/common/http_request.h"
#include "ui/common/message_box.h"
#include "ui/common/session.h"

class QWidget;

namespace xuan5 {
struct Message;
}

namespace xuan5::ui {

// The program's ways to the world outside a panel.
class Services {
  public:
    Services(std::filesystem::path dataDir = {}, ServiceSettings service = {},
             int requestTimeoutMs = kHttpTimeoutMs);
    ~Services();
    Services(const Services&) = delete;
    Services& operator=(const Services&) = delete;

    // One generator per run, seeded once from a non-deterministic source.
    std::mt19937_64 rng;
    const std::filesystem::path dataDir;
    const ServiceSettings service;

    HttpClient& Http() { return *http_; }

    // data/data.mdb of the data folder.
    std::filesystem::path StoreFile() const;

    // The message boxes of the program: one door, which tests replace with a recorder.
    MessageAnswer Show(QWidget* parent, const QString& text, const QString& title,
                       MessageButtons buttons = MessageButtons::Ok,
                       MessageKind kind = MessageKind::Notice) const;
    MessageAnswer Show(QWidget* parent, const xuan5::Message& message) const;

    // How the program ends (after "Yes" to the close question, or a broken curve store); by
    // default the event loop quits with the code.
    std::function<void(int)> endApplication;

    // The curve store cannot be read: its two messages, then the program ends.
    void StoreBroken(QWidget* parent);
    void ShowStoreBrokenMessages(QWidget* parent) const;

  private:
    friend void SaveBook(Services& services, Session& session, QWidget* parent, int region);
    std::unique_ptr<HttpClient> http_;
    bool saveFailureShown_ = false;
};

// Both, as the main window owns them.
struct AppContext {
    AppContext(std::filesystem::path dataDir = {}, ServiceSettings service = {},
               int requestTimeoutMs = kHttpTimeoutMs)
        : services(std::move(dataDir), std::move(service), requestTimeoutMs) {}
    Services services;
    Session session;
};

// The guard of every command that needs draws: false, after "没有开奖数据", until the shown
// region has draws.
bool RequireDraws(const Services& services, const Session& session, QWidget* parent);

// Reads the curve store afresh into session.CurveStoreLines (blank lines when it cannot be read,
// so a failed read leaves no records behind); false when it cannot be read.
bool ReloadCurveStore(const Services& services, Session& session);

// Writes what changed in a region's book. A failure is shown once, until a save succeeds again;
// what it did not write goes with the next save.
void SaveBook(Services& services, Session& session, QWidget* parent, int region);

// "山东", "重庆", "广东" for regions 1..3, the number otherwise.
QString RegionName(int region);

}  // namespace xuan5::ui
