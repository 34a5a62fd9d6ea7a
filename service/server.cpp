#include "server.h"

#include "protocol/draw_csv.h"
#include "token.h"

#include <httplib.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <iostream>
#include <stdexcept>
#include <vector>

namespace xuan5::service {
namespace {

constexpr const char* kTextType = "text/plain; charset=utf-8";

void Refuse(httplib::Response& res, int status, const std::string& why) {
    res.status = status;
    res.set_content(why + "\r\n", kTextType);
}

void RefuseToken(httplib::Response& res) {
    res.status = 401;
    res.set_header("WWW-Authenticate", "Bearer");
}

std::unique_ptr<httplib::Server> MakeServer(const ServiceOptions& options) {
    if (options.tls_cert.empty() && options.tls_key.empty()) {
        return std::make_unique<httplib::Server>();
    }
    if (options.tls_cert.empty() || options.tls_key.empty()) {
        throw std::invalid_argument("HTTPS needs both a certificate and a private key");
    }
    auto server =
        std::make_unique<httplib::SSLServer>(options.tls_cert.c_str(), options.tls_key.c_str());
    if (!server->is_valid()) {
        throw std::runtime_error("cannot use the certificate " + options.tls_cert +
                                 " with the private key " + options.tls_key +
                                 " (unreadable, not PEM, or not a pair)");
    }
    return server;
}

std::string Param(const httplib::Request& req, std::string_view key) {
    return req.get_param_value(std::string(key).c_str());
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(text[i]) != lower(prefix[i])) return false;
    }
    return true;
}

// Both requests carry everything in the query; a body is read only to keep the connection in
// step and to refuse an oversized one. A POST that declares no length has no body (RFC 9112
// 6.3); the library would otherwise wait for the peer to close and then answer 400.
httplib::Server::HandlerWithContentReader BodyDiscarded(std::size_t max_body,
                                                        httplib::Server::Handler handler) {
    return [max_body, handler = std::move(handler)](const httplib::Request& req,
                                                    httplib::Response& res,
                                                    const httplib::ContentReader& read_body) {
        if (req.has_header("Content-Length") || req.has_header("Transfer-Encoding")) {
            // The library refuses a declared length over the limit by itself (413) but not a
            // chunked body, which is counted here.
            std::size_t received = 0;
            const bool read = read_body([&](const char*, std::size_t n) {
                received += n;
                return received <= max_body;
            });
            if (received > max_body || res.status == 413) {
                Refuse(res, 413, "request body too large");
                return;
            }
            if (!read) {
                Refuse(res, 400, "unreadable request body");
                return;
            }
        }
        handler(req, res);
    };
}

}  // namespace

Service::Service(ServiceOptions options)
    : options_(std::move(options)), db_(options_.db_path), server_(MakeServer(options_)) {
    if (options_.period_seconds < 0) throw std::invalid_argument("period seconds below zero");
    data_version_ = db_.DataVersion();
    for (auto& [digest, user] : db_.Users()) known_users_.emplace(std::move(digest), user);
    if (options_.simulate) {
        const TimePoint now = options_.now();
        for (int region = 1; region <= kRegionCount; ++region) {
            Simulation& sim = simulations_[region];
            sim.started = now;
            sim.anchor = CurrentSlot(region, now);
            // A compressed run continues after what an earlier one stored rather than waiting
            // for the real clock to catch up with it.
            const auto newest = db_.RecentDraws(region, 1);
            if (options_.period_seconds > 0 && !newest.empty()) {
                if (const auto slot = SlotOf(region, newest[0])) {
                    sim.anchor = std::max(sim.anchor, *slot);
                }
            }
            StoreSimulated(region, FirstSlotOfDay(region, sim.anchor - (kFeedLength - 1)),
                           sim.anchor);
            sim.last_stored = sim.anchor;
        }
    }
    Route();
}

Service::~Service() {
    Stop();
}

void Service::Route() {
    const std::size_t threads = options_.worker_threads;
    server_->new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
    server_->set_payload_max_length(options_.max_body_bytes);
    server_->set_keep_alive_max_count(1000);
    server_->set_keep_alive_timeout(3);
    server_->set_tcp_nodelay(true);
    // The library's default adds SO_REUSEPORT, which lets a second service bind the same port
    // and silently take half of the requests to another database. Plain SO_REUSEADDR still
    // allows a quick restart.
    server_->set_socket_options([](socket_t sock) {
        int yes = 1;
        ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });

    // Runs before the body is read: oversized and unauthenticated requests cost no more. The
    // settings handler looks the token up again for its user; a lookup is one hash.
    server_->set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
        if (req.target.size() > options_.max_target_bytes) {
            Refuse(res, 414, "request target too long");
            return httplib::Server::HandlerResponse::Handled;
        }
        if (!Authenticate(req)) {
            RefuseToken(res);
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    server_->Post(std::string(kFeedPath),
                  BodyDiscarded(options_.max_body_bytes,
                                [this](const httplib::Request& req, httplib::Response& res) {
                                    HandleFeed(req, res);
                                }));
    server_->Post(std::string(kSettingsPath),
                  BodyDiscarded(options_.max_body_bytes,
                                [this](const httplib::Request& req, httplib::Response& res) {
                                    HandleSettings(req, res);
                                }));
    server_->Get(
        std::string(kHistoryPath),
        [this](const httplib::Request& req, httplib::Response& res) { HandleHistory(req, res); });
    // The one place where a request's exceptions become an answer: whatever a handler (or the
    // token check before it) throws is logged and answered 500, so no exception leaves the
    // server and a client never sees a connection dropped without an answer.
    server_->set_exception_handler(
        [](const httplib::Request&, httplib::Response& res, std::exception_ptr ep) {
            std::string what = "unknown error";
            try {
                std::rethrow_exception(ep);
            } catch (const std::exception& e) {
                what = e.what();
            } catch (...) {
            }
            std::cerr << "xuan5-service: request failed: " << what << "\n";
            Refuse(res, 500, "internal error");
        });
}

int Service::Listen(const std::string& host, int port) {
    const int bound = port == 0 ? server_->bind_to_any_port(host)
                                : (server_->bind_to_port(host, port) ? port : -1);
    if (bound < 0) {
        throw std::runtime_error("cannot listen on " + host + ":" + std::to_string(port));
    }
    auto finished = std::make_shared<std::atomic<bool>>(false);
    listener_ = std::thread([this, finished] {
        server_->listen_after_bind();
        *finished = true;
    });
    // stop() before the listener runs would be lost and leave join() waiting forever.
    while (!server_->is_running()) {
        if (*finished) {
            listener_.join();
            throw std::runtime_error("cannot listen on " + host + ":" + std::to_string(bound));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (options_.tick_interval.count() > 0) ticker_ = std::thread([this] { TickLoop(); });
    return bound;
}

void Service::Stop() {
    {
        std::lock_guard lock(stop_mutex_);
        stopping_ = true;
    }
    stop_signal_.notify_all();
    if (ticker_.joinable()) ticker_.join();
    if (listener_.joinable()) {
        server_->stop();
        listener_.join();
    }
}

void Service::TickLoop() {
    std::unique_lock lock(stop_mutex_);
    while (!stop_signal_.wait_for(lock, options_.tick_interval, [this] { return stopping_; })) {
        lock.unlock();
        try {
            Tick();
        } catch (const std::exception& e) {
            // A busy or briefly locked database is retried on the next tick.
            std::cerr << "xuan5-service: " << e.what() << "\n";
        }
        lock.lock();
    }
}

void Service::Tick() {
    std::lock_guard lock(tick_mutex_);
    if (options_.simulate) {
        const TimePoint now = options_.now();
        for (int region = 1; region <= kRegionCount; ++region) {
            Simulation& sim = simulations_[region];
            const Slot due = SimulatedSlotAt(region, now);
            if (due <= sim.last_stored) continue;
            // After a long pause only the span the feed can show is worth storing.
            const Slot from =
                std::max(sim.last_stored + 1, FirstSlotOfDay(region, due - (kFeedLength - 1)));
            StoreSimulated(region, from, due);
            sim.last_stored = due;
            InvalidateFeed(region);
        }
    }
    const std::int64_t version = db_.DataVersion();
    if (version != data_version_) {
        data_version_ = version;
        for (int region = 1; region <= kRegionCount; ++region) InvalidateFeed(region);
    }
}

Slot Service::SimulatedSlotAt(int region, TimePoint now) const {
    const Simulation& sim = simulations_[region];
    if (options_.period_seconds == 0) return CurrentSlot(region, now);
    if (now <= sim.started) return sim.anchor;
    const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(now - sim.started);
    return sim.anchor + elapsed.count() / options_.period_seconds;
}

void Service::StoreSimulated(int region, Slot from, Slot to) {
    std::vector<Draw> draws;
    draws.reserve(static_cast<std::size_t>(std::max<Slot>(0, to - from + 1)));
    for (Slot slot = from; slot <= to; ++slot) draws.push_back(SimulatedDraw(region, slot));
    // Imported real results take precedence over simulated ones for the same period.
    db_.StoreDraws(region, draws, Database::OnConflict::kKeep);
}

std::optional<std::int64_t> Service::Authenticate(const httplib::Request& req) {
    constexpr std::string_view kScheme = "Bearer ";
    const std::string header = req.get_header_value("Authorization");
    if (!StartsWithNoCase(header, kScheme)) return std::nullopt;
    std::string_view token = std::string_view(header).substr(kScheme.size());
    while (!token.empty() && token.front() == ' ') token.remove_prefix(1);
    while (!token.empty() && token.back() == ' ') token.remove_suffix(1);
    if (token.empty()) return std::nullopt;

    const std::string digest = Sha256Hex(token);
    {
        std::shared_lock lock(users_mutex_);
        const auto known = known_users_.find(digest);
        if (known != known_users_.end()) return known->second;
    }
    // Users are added by another process and never removed, so a found user stays valid.
    const auto user = db_.FindUser(digest);
    if (user) {
        std::unique_lock lock(users_mutex_);
        known_users_.emplace(digest, *user);
    }
    return user;
}

void Service::HandleFeed(const httplib::Request& req, httplib::Response& res) {
    const Result<int> region = RegionFromText(Param(req, kKeyRegion));
    if (Param(req, kKeyKind) != kKindValue || Param(req, kKeyState) != kFeedState || !region) {
        Refuse(res, 400, "unknown lx, zt or cz (expected lx=2, zt=2, cz=1..3)");
        return;
    }
    const auto feed = Feed(*region);
    res.set_content(*feed, kTextType);
}

void Service::HandleSettings(const httplib::Request& req, httplib::Response& res) {
    const auto user = Authenticate(req);
    if (!user) {
        RefuseToken(res);
        return;
    }
    const std::string zt = Param(req, kKeyState);
    if (Param(req, kKeyKind) != kKindValue || (zt != kSaveState && zt != kLoadState)) {
        Refuse(res, 400, "unknown lx or zt (expected lx=2, zt=1 to save, zt=2 to load)");
        return;
    }
    const std::string success = std::string(kSuccessMarker) + "\r\n";
    if (zt == kSaveState) {
        const std::string key(kKeyRecord);
        if (!req.has_param(key.c_str())) {
            Refuse(res, 400, "missing " + key);
            return;
        }
        const std::string record = req.get_param_value(key.c_str());
        if (record.find(kSuccessMarker) != std::string::npos) {
            Refuse(res, 400, "the record may not contain the success marker");
            return;
        }
        db_.SaveSettings(*user, record);
        res.set_content(success, kTextType);
        return;
    }
    const auto record = db_.LoadSettings(*user);
    if (!record) {
        res.set_content(std::string(kNoSettingsSaved) + "\r\n", kTextType);
        return;
    }
    res.set_content(success + *record + "\r\n", kTextType);
}

void Service::HandleHistory(const httplib::Request& req, httplib::Response& res) {
    const Result<int> cz = RegionFromText(Param(req, kKeyRegion));
    const std::string n = Param(req, kKeyCount);
    const bool digits =
        !n.empty() && n.size() <= 9 && n.find_first_not_of("0123456789") == std::string::npos;
    const int count = digits ? std::stoi(n) : 0;
    if (!cz || count < 1 || count > kMaxHistoryDraws) {
        Refuse(res, 400,
               "unknown cz or n (expected cz=1..3, n=1.." + std::to_string(kMaxHistoryDraws) + ")");
        return;
    }
    // The import layout, oldest first, so that a back-test reads it front to back. A simulating
    // service stores only what its feed shows but answers from its generator as far back as
    // asked, with imported results in their periods.
    const int region = *cz;
    std::vector<Draw> newest_first = db_.RecentDraws(region, count);
    if (options_.simulate) {
        Slot newest = 0;
        {
            std::lock_guard lock(tick_mutex_);
            newest = simulations_[region].last_stored;
        }
        newest_first = SimulatedHistory(region, newest, count, newest_first);
    }
    std::vector<DatedDraw> oldest_first;
    oldest_first.reserve(newest_first.size());
    for (auto it = newest_first.rbegin(); it != newest_first.rend(); ++it) {
        oldest_first.push_back(ToDatedDraw(*it));
    }
    res.set_content(HistoryAnswerText(oldest_first), "text/csv; charset=utf-8");
}

std::size_t Service::DigestHash::operator()(const std::string& digest) const {
    // A digest is already uniformly spread; its hash is that of a known, public value.
    return std::hash<std::string>()(digest);
}

bool Service::DigestEqual::operator()(const std::string& a, const std::string& b) const {
    return SameDigest(a, b);
}

std::shared_ptr<const std::string> Service::Feed(int region) {
    std::lock_guard lock(feed_mutex_);
    auto& feed = feeds_[region];
    if (!feed) {
        feed = std::make_shared<const std::string>(
            RenderFeed(region, db_.RecentDraws(region, kFeedLength)));
    }
    return feed;
}

void Service::InvalidateFeed(int region) {
    std::lock_guard lock(feed_mutex_);
    feeds_[region].reset();
}

}  // namespace xuan5::service
