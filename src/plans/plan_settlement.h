// Judging a plan record: a waiting record completed with its draw and its hit word, and the tally
// line of how many of its bases held the draw.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/draw_history.h"
#include "core/tables.h"
#include "plans/plan_log.h"

namespace xuan5 {

// The plan in force as the window holds it when a record is issued.
struct ResultRecordInput {
    std::string T_jihua_jj_dadi;
    std::string T_jihua_jj_dadi_zhushu = "0";
    bool Check_jh_dadi_fenzu = false;
    std::string T_jh_dadi_chongfu_cs = "5";
    std::array<bool, kLineCount> Ch_jiankong_jj{};
    std::string T_jiankong_15di_geshu = "0";
};

// The basis of a record: the plan base and its size, and what the tally counts: with plan mode
// two the word "模式二"; with X > 1 instances the instance plans 1..X (those plan mode one has not
// made hold nothing); otherwise the checked line bases, after the checked-line count.
RecordBasis MakeRecordBasis(const ResultRecordInput& input, const LineTexts& lineBases,
                            const std::vector<std::string>& instanceBases);

// The words of a settled record for a hit and for a miss (T_zdy_yongyu 0 and 1).
using ResultWords = std::array<std::string, 2>;

struct JudgedRecord {
    std::string text;   // "042期，开：03,07,01,09,11-230注-中中中"
    std::string tally;  // "5-3", "15-4" or "模式二"
    bool hit = false;
};

// A record judged with a draw (`key` its bet number, 0 for none).
JudgedRecord JudgeRecord(const RecordBasis& basis, const ResultWords& words, const DrawRecord& draw,
                         int key);

}  // namespace xuan5
