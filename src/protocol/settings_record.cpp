#include "protocol/settings_record.h"

#include "core/text.h"
#include "protocol/endpoints.h"

namespace xuan5 {
namespace {

constexpr std::string_view kMarker = "*sz*";
constexpr std::array<int, 3> kSectionSizes = {kSettingsLineFields, kSettingsRepeatFields,
                                              kSettingsGroupFields};

}  // namespace

const std::array<std::string_view, kSettingsFieldCount> kSettingsFieldControls = {
    "T_quxian_zhushu_0",     "T_quxian_zhushu_1",  "T_quxian_zhushu_2",     "T_quxian_zhushu_3",
    "T_quxian_zhushu_4",     "T_quxian_zhushu_5",  "T_quxian_zhushu_6",     "T_quxian_zhushu_7",
    "T_quxian_zhushu_8",     "T_quxian_zhushu_9",  "T_quxian_zhushu_10",    "T_quxian_zhushu_11",
    "T_quxian_zhushu_12",    "T_quxian_zhushu_13", "T_quxian_zhushu_14",    "T_jh_dadi_chongfu_cs",
    "T_jh_dadi_chongfu_rc",  "T_jh_dadi_fenzu_01", "T_jh_dadi_fenzu_01_rc", "T_jh_dadi_fenzu_02",
    "T_jh_dadi_fenzu_02_rc", "T_jh_dadi_fenzu_03", "T_jh_dadi_fenzu_03_rc", "T_jh_dadi_fenzu_rc"};

SettingsFields DefaultSettingsFields() {
    SettingsFields f;
    for (int i = 0; i < kSettingsLineFields; ++i) f[i] = "230";
    f[15] = "5";
    f[16] = "05";
    f[17] = "01.02.03.04.05";
    f[18] = "01.02.03.04";
    f[19] = "06.07.08.09.10";
    f[20] = "01.02.03.04";
    f[21] = "11.12.13.14.15";
    f[22] = "01.02.03.04";
    f[23] = "03";
    return f;
}

Result<std::string> BuildSettingsRecord(const SettingsFields& fields) {
    for (const std::string& field : fields) {
        if (field.find_first_of("/*") != std::string::npos) {
            return Fail({kMsgSettingsIllegal, kTitleNotice, Message::Kind::Refused});
        }
    }
    std::string record(kMarker);
    int index = 0;
    for (std::size_t section = 0; section < kSectionSizes.size(); ++section) {
        if (section > 0) record.push_back('*');
        for (int i = 0; i < kSectionSizes[section]; ++i, ++index) {
            if (i > 0) record.push_back('/');
            record.append(fields[index]);
        }
    }
    record.append(kMarker);
    return record;
}

Result<Message> SettingsSaveOutcome(std::string_view response) {
    if (!Contains(response, kSuccessMarker)) {
        return Fail({kMsgSettingsSaveFailed, kTitleNotice, Message::Kind::Io});
    }
    return Message{kMsgSettingsSaved, kTitleNotice, Message::Kind::Notice};
}

SettingsLoadResult ParseSettingsResponse(std::string_view response) {
    SettingsLoadResult result;
    if (!Contains(response, kSuccessMarker)) {
        result.notices.push_back({kMsgSettingsLoadFailed, kTitleNotice, Message::Kind::Io});
        return result;
    }
    // Said unless the whole record is read.
    result.notices.push_back({kMsgSettingsLoadMalformed, kTitleNotice, Message::Kind::Damaged});
    // Both markers must be there: a response cut off after the first one is not a record.
    const std::size_t open = response.find(kMarker);
    if (open == std::string_view::npos) return result;
    const std::size_t start = open + kMarker.size();
    const std::size_t close = response.find(kMarker, start);
    if (close == std::string_view::npos) return result;
    const std::vector<std::string_view> sections =
        SplitText(response.substr(start, close - start), "*");
    for (std::size_t section = 0; section < kSectionSizes.size(); ++section) {
        if (section >= sections.size()) return result;
        const std::vector<std::string_view> values = SplitText(sections[section], "/");
        for (int i = 0; i < kSectionSizes[section]; ++i) {
            if (static_cast<std::size_t>(i) >= values.size()) return result;
            result.value.emplace_back(values[i]);
        }
    }
    result.notices = {{kMsgSettingsLoaded, kTitleNotice, Message::Kind::Notice}};
    return result;
}

}  // namespace xuan5
