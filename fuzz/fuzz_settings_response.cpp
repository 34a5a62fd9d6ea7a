// Any load response: the parser reads a prefix of the 24 fields, and a record it accepts is
// rebuilt into a record that reads back to the same fields.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "util/settings_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace xuan5;
    if (size == 0) return 0;
    // The first byte says how many of the following bytes form the success marker.
    const std::size_t markerLength = std::min<std::size_t>(data[0] % 8, size - 1);
    const std::string marker(reinterpret_cast<const char*>(data + 1), markerLength);
    const std::string_view response(reinterpret_cast<const char*>(data + 1 + markerLength),
                                    size - 1 - markerLength);

    const SettingsLoadResult loaded = ParseSettingsResponse(response, marker);
    if (loaded.fields.size() > kSettingsFieldCount) std::abort();
    if (loaded.message.title != kTitleSettings) std::abort();
    if (loaded.message.text == kMsgSettingsLoadFailed && !loaded.fields.empty()) std::abort();
    if (loaded.message.text != kMsgSettingsLoaded) return 0;
    if (loaded.fields.size() != kSettingsFieldCount) std::abort();

    SettingsFields fields;
    for (int i = 0; i < kSettingsFieldCount; ++i) fields[i] = loaded.fields[i];
    const SettingsRecordResult built = BuildSettingsRecord(fields);
    if (!built.SettingsRecord) std::abort();  // read fields never hold "/" or "*"
    const std::string again = "ok" + *built.SettingsRecord;
    if (ParseSettingsResponse(again, "ok").fields != loaded.fields) std::abort();
    return 0;
}
