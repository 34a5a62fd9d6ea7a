// What the windows and panels of the program share: the session's tables, the random generator,
// the data folder, the message boxes, the HTTP client and the service settings.
//
// Lifetime: Fmain creates the one context before any panel or secondary window and destroys it
// after all of them, so every panel and window may keep a reference to it for its whole life.
// Tests create a context of their own to build a panel alone.
#pragma once

#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>

#include "ui/shell/config.h"
#include "ui/shell/http_request.h"
#include "ui/shell/session.h"
#include "ui/widgets/message_box.h"

class QWidget;

namespace xuan5 {
struct Message;
}

namespace xuan5::ui {

class AppContext {
  public:
    AppContext(std::filesystem::path dataDir = {}, ServiceSettings service = {},
               int requestTimeoutMs = kHttpTimeoutMs);
    ~AppContext();
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    Session session;
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

    // The guard of every command that needs draws: false, after "没有开奖数据", until the first
    // table has been applied.
    bool RequireDraws(QWidget* parent) const;

    // Writes what changed in a region's book. A failure is shown once, until a save succeeds
    // again; what it did not write goes with the next save.
    void SaveBook(QWidget* parent, int region);

    // How the program ends (after "Yes" to the close question, or a broken curve store); by
    // default the event loop quits with the code.
    std::function<void(int)> endApplication;

    // Reads the curve store afresh into session.CurveStoreLines (blank lines when it cannot be
    // read, so a failed read leaves no records behind); false when it cannot be read.
    bool ReloadCurveStore();

    // The curve store cannot be read: its two messages, then the program ends.
    void StoreBroken(QWidget* parent);
    void ShowStoreBrokenMessages(QWidget* parent) const;

  private:
    std::unique_ptr<HttpClient> http_;
    bool saveFailureShown_ = false;
};

// "山东", "重庆", "广东" for regions 1..3, the number otherwise.
QString RegionName(int region);

}  // namespace xuan5::ui
