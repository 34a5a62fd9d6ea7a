// The plan record log: one record per issued plan, completed when the period's draw arrives,
// and the hit tally box T_jh_rc.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/draw_history.h"
#include "core/tables.h"

namespace xuan5 {

inline constexpr const char* kDefaultSignature =
    "---------------\r\nTavren祝福大家中中\r\n---------------\r\n";
inline constexpr const char* kWaitingWord = "等待中。。。";
inline constexpr const char* kModeTwoTally = "模式二";

// The plan log: every issued plan as a record, PlanRecordCount the slot of the current one. It
// holds 201 slots from the start and grows past them, so no record is ever dropped.
struct PlanLog {
    std::vector<std::string> PlanRecords = std::vector<std::string>(201);
    std::int32_t PlanRecordCount = 0;
};

// Puts a record into slot PlanRecordCount.
void StorePlanRecord(PlanLog& log, std::string record);

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
    std::string record;           // the waiting record, for slot PlanRecordCount
    std::string T_jh_dadi_jilu;   // the log with it
    TextSelection jiluSelection;  // for T_jh_dadi_jilu
    TextSelection rcSelection;    // for T_jh_rc
};

// The waiting record of the period after the history's newest, for slot PlanRecordCount, and the
// log rebuilt with it. Nothing happens (nullopt) while automatic planning is off. `planSize` is
// the text of T_jihua_jj_dadi_zhushu.
std::optional<PendingRecordOutput> WritePendingRecord(const PlanLogInput& input,
                                                      std::string_view planSize,
                                                      const DrawTable& history, const PlanLog& log);

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
    std::string record;  // the completed record, for slot PlanRecordCount
    std::string T_jh_rc;
};

// The record of the plan in force completed with the history's newest draw (`keys` element 120)
// and its hit word, and T_jh_rc with the hit tally line appended: how many of the instance plans
// or of the checked line bases held the draw. The log box is rebuilt by the next pending record.
ResultRecordOutput WriteResultRecord(const ResultRecordInput& input, const DrawTable& history,
                                     const DrawKeyTable& keys, const LineTexts& lineBases,
                                     const std::vector<std::string>& instanceBases);

// Records 0..count, each followed by CR LF, then the signature; trimmed of spaces.
std::string PlanLogText(const std::vector<std::string>& records, int count,
                        std::string_view signature);

// The bets that occur in a text, in AllBets order, each followed by "*".
std::string ListBetsInText(std::string_view text);

}  // namespace xuan5
