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
    PlanBaseText plan{"", "0"};
    bool useModeTwo = false;
    std::string instances = "5";
    std::array<bool, kLineCount> checkedLines{};
    std::string checkedLineCount = "0";
};

// The basis of a record: the plan base and its size, and what the tally counts: with plan mode
// two the word "模式二"; with X > 1 instances the instance plans 1..X (those plan mode one has not
// made hold nothing); otherwise the checked line bases, after the checked-line count.
RecordBasis MakeRecordBasis(const ResultRecordInput& input, const LineTexts& lineBases,
                            const std::vector<std::string>& instanceBases);

// The words of a settled record for a hit and for a miss (the plan panel's result words).
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
