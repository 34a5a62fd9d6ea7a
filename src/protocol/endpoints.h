// The service's addresses as the program and the service both spell them: paths, query keys and
// values, markers, limits, the default address, and the request URLs built from them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/draw_history.h"
#include "protocol/regions.h"

namespace xuan5 {

inline constexpr std::string_view kFeedPath = "/11xuan5/huaxian/login.asp";
inline constexpr std::string_view kSettingsPath = "/11xuan5/huaxian/save.asp";
inline constexpr std::string_view kHistoryPath = "/11xuan5/huaxian/history.asp";

// Query keys and the values the requests carry.
inline constexpr std::string_view kKeyKind = "lx";             // always kKindValue
inline constexpr std::string_view kKeyState = "zt";            // feed: kFeedState; settings below
inline constexpr std::string_view kKeyRegion = "cz";           // 1 山东, 2 重庆, 3 广东
inline constexpr std::string_view kKeyCacheBreaker = "a";      // a random value, never read
inline constexpr std::string_view kKeyCount = "n";             // draws asked of the history
inline constexpr std::string_view kKeyRecord = "uesr_shizhi";  // the settings record to save
inline constexpr std::string_view kKindValue = "2";
inline constexpr std::string_view kFeedState = "2";
inline constexpr std::string_view kSaveState = "1";
inline constexpr std::string_view kLoadState = "2";

// A feed answer holds this marker when it carries draws.
inline constexpr std::string_view kOkMarker = "**ok**";
// Found in every settings answer the service accepts, save and load alike; no other answer of
// the service holds it.
inline constexpr std::string_view kSuccessMarker = "**success**";
// What a load answers, without the marker, for a user who never saved.
inline constexpr std::string_view kNoSettingsSaved = "no settings saved for this user";

// Draws in a feed answer; the program refuses a shorter one.
inline constexpr int kFeedLength = 120;
static_assert(kFeedLength == kHistoryRows, "a feed answer fills the history table row for row");
// The most draws one history request may ask for.
inline constexpr int kMaxHistoryDraws = 5000;

inline constexpr const char* kDefaultHost = "127.0.0.1";
inline constexpr int kDefaultPort = 8611;
inline constexpr const char* kDefaultServiceUrl = "http://127.0.0.1:8611";

// The address without the slashes at its end, so that a path can follow it.
std::string_view WithoutTrailingSlashes(std::string_view base);

// The address followed by a path (and query), with exactly one slash between them.
std::string JoinUrl(std::string_view base, std::string_view path);

// A single-precision value in its default text form: up to seven significant digits, no
// trailing zeros ("7.055475", "0.5", "3").
std::string FormatSingle(float value);

// Percent-encodes every byte outside the unreserved A-Z a-z 0-9 - . _ ~ (UTF-8 bytes as %XX).
std::string PercentEncode(std::string_view text);

// The draw request: the feed path with lx, zt, cz and a in that order; `a` in its single form.
std::string BuildDrawRequestUrl(std::string_view baseUrl, std::int32_t regionCode, float a);

// The newest `count` draws of a region in the CSV layout.
std::string HistoryRequestUrl(std::string_view baseUrl, int regionCode, int count);

// "<base>/11xuan5/huaxian/save.asp?lx=2&zt=1&uesr_shizhi=<encoded record>".
std::string SettingsSaveUrl(std::string_view baseUrl, std::string_view record);

// "<base>/11xuan5/huaxian/save.asp?lx=2&zt=2&".
std::string SettingsLoadUrl(std::string_view baseUrl);

}  // namespace xuan5
