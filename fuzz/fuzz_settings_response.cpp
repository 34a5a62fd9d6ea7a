// Any load response: the parser reads a prefix of the 24 fields, and a record it accepts is
// rebuilt into a record that reads back to the same fields.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "protocol/endpoints.h"
#include "protocol/settings_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace xuan5;
    if (size == 0) return 0;
    // An odd first byte puts the success marker in front of the rest, as the service answers.
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string response =
        (data[0] & 1 ? std::string(kSuccessMarker) : "") + std::string(rest);

    const SettingsLoadResult loaded = ParseSettingsResponse(response);
    if (loaded.value.size() > kSettingsFieldCount) std::abort();
    if (loaded.notices.size() != 1) std::abort();
    const Message& said = loaded.notices.front();
    if (said.title != kTitleNotice) std::abort();
    if (said.kind == Message::Kind::Io && !loaded.value.empty()) std::abort();
    if (said.kind != Message::Kind::Notice) return 0;
    if (loaded.value.size() != kSettingsFieldCount) std::abort();

    SettingsFields fields;
    for (int i = 0; i < kSettingsFieldCount; ++i) fields[i] = loaded.value[i];
    const Result<std::string> built = BuildSettingsRecord(fields);
    if (!built) std::abort();  // read fields never hold "/" or "*"
    const std::string again = std::string(kSuccessMarker) + *built;
    if (ParseSettingsResponse(again).value != loaded.value) std::abort();
    return 0;
}
