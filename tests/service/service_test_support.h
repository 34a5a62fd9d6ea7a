#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <string_view>

#include "protocol/endpoints.h"
#include "protocol/settings_record.h"
#include "server.h"

namespace xuan5::service::testing {

// A fresh folder under the system's temporary directory, removed with everything in it.
class TempDir {
  public:
    TempDir() {
        std::random_device entropy;
        path_ = std::filesystem::temp_directory_path() /
                ("xuan5-service-test-" + std::to_string(entropy()) + std::to_string(entropy()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string File(std::string_view name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

// A clock the test moves by hand; the service reads it through ServiceOptions::now.
class ManualClock {
  public:
    explicit ManualClock(TimePoint start) : now_(std::make_shared<std::atomic<TimePoint>>(start)) {}
    std::function<TimePoint()> Source() const {
        return [now = now_] { return now->load(); };
    }
    void Advance(std::chrono::seconds by) { now_->store(now_->load() + by); }
    TimePoint Now() const { return now_->load(); }

  private:
    std::shared_ptr<std::atomic<TimePoint>> now_;
};

// A moment given in China time, the clock the schedules are written in.
inline TimePoint ChinaTime(int year, unsigned month, unsigned day, int hour, int minute,
                           int second = 0) {
    const std::chrono::sys_days date = std::chrono::year_month_day{
        std::chrono::year(year), std::chrono::month(month), std::chrono::day(day)};
    return TimePoint(date) - std::chrono::hours(8) + std::chrono::hours(hour) +
           std::chrono::minutes(minute) + std::chrono::seconds(second);
}

// The program's own encoding of a settings record, so the service is tested with what it gets.
using xuan5::PercentEncode;

inline std::vector<std::string> Split(std::string_view text, std::string_view separator) {
    std::vector<std::string> parts;
    for (;;) {
        const auto at = text.find(separator);
        parts.emplace_back(text.substr(0, at));
        if (at == std::string_view::npos) return parts;
        text.remove_prefix(at + separator.size());
    }
}

// The real server on an ephemeral loopback port, and a client that speaks to it as the program
// does: POST, empty body, form content type, a bearer token.
class ServiceUnderTest {
  public:
    explicit ServiceUnderTest(ServiceOptions options)
        : service_(std::make_unique<Service>(std::move(options))) {
        port_ = service_->Listen("127.0.0.1", 0);
    }
    Service& service() { return *service_; }
    int port() const { return port_; }

    httplib::Result Post(const std::string& target, const std::string& token) const {
        httplib::Client client("127.0.0.1", port_);
        client.set_url_encode(false);
        httplib::Headers headers;
        if (!token.empty()) headers.emplace("Authorization", "Bearer " + token);
        return client.Post(target, headers, "", "application/x-www-form-urlencoded");
    }
    std::string Feed(int region, const std::string& token) const {
        auto res = Post(
            "/11xuan5/huaxian/login.asp?lx=2&zt=2&cz=" + std::to_string(region) + "&a=7.055475",
            token);
        return res && res->status == 200 ? res->body : "<status " + Status(res) + ">";
    }
    httplib::Result Save(const std::string& record, const std::string& token) const {
        return Post("/11xuan5/huaxian/save.asp?lx=2&zt=1&uesr_shizhi=" + PercentEncode(record),
                    token);
    }
    httplib::Result Load(const std::string& token) const {
        return Post("/11xuan5/huaxian/save.asp?lx=2&zt=2&", token);
    }
    static std::string Status(const httplib::Result& res) {
        return res ? std::to_string(res->status) : "no response";
    }

  private:
    std::unique_ptr<Service> service_;
    int port_ = 0;
};

inline constexpr std::string_view kDefaultRecord =
    "*sz*230/230/230/230/230/230/230/230/230/230/230/230/230/230/230*5/05*01.02.03.04.05/"
    "01.02.03.04/06.07.08.09.10/01.02.03.04/11.12.13.14.15/01.02.03.04/03*sz*";

}  // namespace xuan5::service::testing
