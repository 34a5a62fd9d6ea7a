// The result and settings service over HTTP.
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "database.h"
#include "draws.h"
#include "protocol/endpoints.h"

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace xuan5::service {

struct ServiceOptions {
    std::string db_path;
    // Both set: HTTPS with this certificate (chain) and private key, PEM files.
    std::string tls_cert;
    std::string tls_key;
    bool simulate = false;
    // 0 runs the real daily schedules; N > 0 draws the following period every N seconds.
    int period_seconds = 0;
    std::function<TimePoint()> now = [] { return std::chrono::system_clock::now(); };
    // How often new simulated draws and other processes' imports are looked for; zero leaves
    // it to whoever calls Tick().
    std::chrono::milliseconds tick_interval{500};
    std::size_t worker_threads = 16;
    // Longer request targets get 414, longer bodies 413. Both real requests are far below.
    std::size_t max_target_bytes = 4096;
    std::size_t max_body_bytes = 4096;
};

// The result and settings service. Construction opens the database and, when simulating,
// fills every region's recent history; Listen() starts answering on a background thread.
class Service {
  public:
    explicit Service(ServiceOptions options);
    ~Service();
    Service(const Service&) = delete;
    Service& operator=(const Service&) = delete;

    // Port 0 picks a free port. Returns the bound port; throws std::runtime_error when the
    // address cannot be bound. HTTPS when the options name a certificate and key.
    int Listen(const std::string& host, int port);
    // Idempotent; waits for requests in flight and the tick thread.
    void Stop();

    // Stores the simulated draws that have come due and notices writes by other processes.
    void Tick();

    Database& database() { return db_; }

  private:
    struct Simulation {
        TimePoint started;
        Slot anchor = 0;
        Slot last_stored = 0;
    };

    void Route();
    std::optional<std::int64_t> Authenticate(const httplib::Request& req);
    void HandleFeed(const httplib::Request& req, httplib::Response& res);
    void HandleSettings(const httplib::Request& req, httplib::Response& res);
    void HandleHistory(const httplib::Request& req, httplib::Response& res);
    std::shared_ptr<const std::string> Feed(int region);
    void InvalidateFeed(int region);
    Slot SimulatedSlotAt(int region, TimePoint now) const;
    void StoreSimulated(int region, Slot from, Slot to);
    void TickLoop();

    ServiceOptions options_;
    Database db_;
    std::unique_ptr<httplib::Server> server_;
    std::thread listener_;
    std::thread ticker_;

    std::mutex tick_mutex_;
    std::array<Simulation, kRegionCount + 1> simulations_{};
    std::int64_t data_version_ = 0;

    std::mutex stop_mutex_;
    std::condition_variable stop_signal_;
    bool stopping_ = false;

    std::mutex feed_mutex_;
    std::array<std::shared_ptr<const std::string>, kRegionCount + 1> feeds_{};

    // Known users by token digest: one lookup per request, whatever their number. Looking a
    // digest up tells nothing about the token behind it; the final comparison of the digests
    // is constant in time (DigestEqual).
    struct DigestHash {
        std::size_t operator()(const std::string& digest) const;
    };
    struct DigestEqual {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    std::shared_mutex users_mutex_;
    std::unordered_map<std::string, std::int64_t, DigestHash, DigestEqual> known_users_;
};

}  // namespace xuan5::service
