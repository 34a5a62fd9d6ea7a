// The plan record log: one record per issued plan, completed when the period's draw arrives,
// and the hit tally box T_jh_rc.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app_state.h"

namespace xuan5 {

inline constexpr const char* kDefaultSignature =
    "---------------\r\nTavren祝福大家中中\r\n---------------\r\n";
inline constexpr const char* kWaitingWord = "等待中。。。";
inline constexpr const char* kModeTwoTally = "模式二";

// A caret and selection in a text box, in UTF-16 code units as the window counts them.
struct TextSelection {
    int start = 0;
    int length = 0;
    friend bool operator==(const TextSelection&, const TextSelection&) = default;
};

// The selection of the last character of a text: what scrolls a box to its end.
TextSelection LastCharacterSelection(std::string_view text);

struct PlanLogInput {
    bool Check_jihua_sx = true;  // "自动计划"
    std::string T_jihua_qianming = kDefaultSignature;
    std::string T_jh_rc;  // current text, scrolled with the log
};

struct PendingRecordOutput {
    std::string T_jh_dadi_jilu;
    TextSelection jiluSelection;  // for T_jh_dadi_jilu
    TextSelection rcSelection;    // for T_jh_rc
};

// The waiting record of the next period in slot PlanRecordCount, and the rebuilt log. Nothing
// happens (nullopt) while automatic planning is off. `planSize` is the text of
// T_jihua_jj_dadi_zhushu.
std::optional<PendingRecordOutput> WritePendingRecord(const PlanLogInput& input,
                                                      std::string_view planSize, AppState& state);

struct ResultRecordInput {
    std::string T_jihua_jj_dadi;
    std::string T_jihua_jj_dadi_zhushu = "0";
    std::array<std::string, 2> T_zdy_yongyu{"中中中", "一会中"};
    bool Check_jh_dadi_fenzu = false;
    std::string T_jh_dadi_chongfu_cs = "5";
    std::array<bool, kLineCount> Ch_jiankong_jj{};
    std::string T_jiankong_15di_geshu = "0";
    std::string T_jh_rc;
};

struct ResultRecordOutput {
    std::string T_jh_rc;
};

// Completes the record in slot PlanRecordCount with the newest draw and its hit word, and
// appends the hit tally line to T_jh_rc. The log box is rebuilt by the next pending record.
ResultRecordOutput WriteResultRecord(const ResultRecordInput& input, AppState& state);

// Records 0..count, each followed by CR LF, then the signature; trimmed of spaces.
std::string PlanLogText(const std::vector<std::string>& records, int count,
                        std::string_view signature);

// The bets that occur in a text, in AllBets order, each followed by "*".
std::string ListBetsInText(std::string_view text);

}  // namespace xuan5
