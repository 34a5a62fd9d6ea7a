// The user-settings record exchanged with the settings service: 24 control texts between
// "*sz*" markers, sections separated by "*" and fields by "/".
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"

namespace xuan5 {

inline constexpr int kSettingsLineFields = 15;   // T_quxian_zhushu(0..14)
inline constexpr int kSettingsRepeatFields = 2;  // plan mode one
inline constexpr int kSettingsGroupFields = 7;   // plan mode two
inline constexpr int kSettingsFieldCount =
    kSettingsLineFields + kSettingsRepeatFields + kSettingsGroupFields;

// The field texts in record order: T_quxian_zhushu(0..14), T_jh_dadi_chongfu_cs,
// T_jh_dadi_chongfu_rc, T_jh_dadi_fenzu_01, T_jh_dadi_fenzu_01_rc, T_jh_dadi_fenzu_02,
// T_jh_dadi_fenzu_02_rc, T_jh_dadi_fenzu_03, T_jh_dadi_fenzu_03_rc, T_jh_dadi_fenzu_rc.
using SettingsFields = std::array<std::string, kSettingsFieldCount>;

// The names of the controls the fields come from and go to, in record order
// ("T_quxian_zhushu_3" for an array element).
extern const std::array<std::string_view, kSettingsFieldCount> kSettingsFieldControls;

inline constexpr const char* kMsgSettingsIllegal = "设置中含有非法字符（/ 或 *），未上传";
inline constexpr const char* kMsgSettingsSaved = "数据上传服务器完毕";
inline constexpr const char* kMsgSettingsSaveFailed = "数据上传出错";
inline constexpr const char* kMsgSettingsLoaded = "用户数据读取成功";
inline constexpr const char* kMsgSettingsLoadFailed = "用户数据获取失败";
inline constexpr const char* kMsgSettingsLoadMalformed = "数据获取成功，但是格式有错，最终失败";

// The controls' default texts.
SettingsFields DefaultSettingsFields();

// Builds "*sz*A*B*C*sz*". A field holding "/" or "*" could not be read back into the same
// fields, so such a record is refused instead of being sent broken.
Result<std::string> BuildSettingsRecord(const SettingsFields& fields);

// The outcome of a save by its response (empty on any transport failure): the notice
// kMsgSettingsSaved, or a failure with kMsgSettingsSaveFailed.
Result<Message> SettingsSaveOutcome(std::string_view response);

// The field texts to write, in record order: all 24 on success, the ones that could be read
// before the first missing piece on a malformed record, none when the request failed. A record
// cut short still fills the boxes before the gap, so a load gives back what it could read with
// one notice rather than a value or a failure; its kind tells them apart: a Notice
// (kMsgSettingsLoaded), Io (kMsgSettingsLoadFailed) or Damaged (kMsgSettingsLoadMalformed).
using SettingsLoadResult = Outcome<std::vector<std::string>>;

// Reads a load response: the record between the first two "*sz*" markers of an answer that
// holds the success marker.
SettingsLoadResult ParseSettingsResponse(std::string_view response);

}  // namespace xuan5
