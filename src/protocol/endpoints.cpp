#include "protocol/endpoints.h"

#include <cstdio>

namespace xuan5 {
namespace {

// "?k=v" for the first pair, "&k=v" after it.
void AddQuery(std::string& url, std::string_view key, std::string_view value) {
    url += url.find('?') == std::string::npos ? '?' : '&';
    url += key;
    url += '=';
    url += value;
}

}  // namespace

std::string_view WithoutTrailingSlashes(std::string_view base) {
    while (!base.empty() && base.back() == '/') base.remove_suffix(1);
    return base;
}

std::string JoinUrl(std::string_view base, std::string_view path) {
    std::string url(WithoutTrailingSlashes(base));
    if (!path.starts_with('/')) url += '/';
    url += path;
    return url;
}

std::string FormatSingle(float value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.7g", static_cast<double>(value));
    return buffer;
}

std::string PercentEncode(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 3);
    for (char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
            (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
            byte == '~') {
            out.push_back(ch);
        } else {
            out.push_back('%');
            out.push_back(kHex[byte >> 4]);
            out.push_back(kHex[byte & 15]);
        }
    }
    return out;
}

std::string BuildDrawRequestUrl(std::string_view baseUrl, std::int32_t regionCode, float a) {
    std::string url = JoinUrl(baseUrl, kFeedPath);
    AddQuery(url, kKeyKind, kKindValue);
    AddQuery(url, kKeyState, kFeedState);
    AddQuery(url, kKeyRegion, std::to_string(regionCode));
    AddQuery(url, kKeyCacheBreaker, FormatSingle(a));
    return url;
}

std::string HistoryRequestUrl(std::string_view baseUrl, int regionCode, int count) {
    std::string url = JoinUrl(baseUrl, kHistoryPath);
    AddQuery(url, kKeyRegion, std::to_string(regionCode));
    AddQuery(url, kKeyCount, std::to_string(count));
    return url;
}

std::string SettingsSaveUrl(std::string_view baseUrl, std::string_view record) {
    std::string url = JoinUrl(baseUrl, kSettingsPath);
    AddQuery(url, kKeyKind, kKindValue);
    AddQuery(url, kKeyState, kSaveState);
    AddQuery(url, kKeyRecord, PercentEncode(record));
    return url;
}

std::string SettingsLoadUrl(std::string_view baseUrl) {
    std::string url = JoinUrl(baseUrl, kSettingsPath);
    AddQuery(url, kKeyKind, kKindValue);
    AddQuery(url, kKeyState, kLoadState);
    // The load request has always ended in "&"; the service reads no further key.
    url += '&';
    return url;
}

}  // namespace xuan5
