// The plan record log: one record per issued plan, waiting until the draw of the period it names
// arrives, then settled with that draw (or closed without a result when that draw never comes).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/bets.h"
#include "core/draw_history.h"
#include "core/tables.h"

namespace xuan5 {

inline constexpr const char* kDefaultSignature =
    "---------------\r\nTavren祝福大家中中\r\n---------------\r\n";
inline constexpr const char* kWaitingWord = "等待中。。。";
inline constexpr const char* kModeTwoTally = "模式二";
// The word of a record whose period never came among the draws that followed it.
inline constexpr const char* kClosedWord = "未开奖，不计";
// Between a record's period and its draw: "045期，开：01,05,06,09,11".
inline constexpr std::string_view kRecordMark = "期，开：";

// What a record is judged with: the plan issued for its period, and the bases its tally line
// counts (the instance plans of plan mode one, or the checked line bases).
struct RecordBasis {
    BetSet plan;
    std::string size = "000";  // the plan size as the record writes it
    bool modeTwo = false;      // the tally line is "模式二"
    std::string tallyCount;    // how many bases the tally counts, as its line writes it
    // The bases the tally counts, read when the record is judged: a plan is made every period
    // and pressed again at will, and judged once.
    std::vector<std::string> tallied;
};

enum class RecordState { Waiting, Settled, Closed };

struct PlanRecord {
    std::string text;  // as the log shows it
    RecordState state = RecordState::Waiting;
    std::string period;  // the period the plan was made for
    int region = 0;      // the region it was made in (1..3)
    std::string date;    // the date of the draw that settled it, when the draw carried one
    std::string tally;   // its tally line once settled
    bool hit = false;    // settled with a draw its plan holds
    DrawRecord after;    // the newest draw known when it was issued: its draw is the next one
    // What it is judged with; shared, since it never changes once the plan is issued.
    std::shared_ptr<const RecordBasis> basis;

    friend bool operator==(const PlanRecord&, const PlanRecord&) = default;
};

// The plan log: every issued plan as a record, PlanRecordCount the slot of the current one. It
// holds 201 slots from the start and grows past them, so no record is ever dropped.
struct PlanLog {
    std::vector<PlanRecord> PlanRecords = std::vector<PlanRecord>(201);
    std::int32_t PlanRecordCount = 0;
};

// Puts a record into slot PlanRecordCount.
void StorePlanRecord(PlanLog& log, PlanRecord record);

// A caret and selection in a text box, in UTF-16 code units as the window counts them.
struct TextSelection {
    int start = 0;
    int length = 0;
    friend bool operator==(const TextSelection&, const TextSelection&) = default;
};

// The selection of the last character of a text: what scrolls a box to its end.
TextSelection LastCharacterSelection(std::string_view text);

struct PlanLogInput {
    bool autoPlan = true;  // "自动计划"
    std::string signature = kDefaultSignature;
    std::string tallyText;  // current text, scrolled with the log
};

struct PendingRecordOutput {
    PlanRecord record;             // the waiting record, for slot PlanRecordCount
    std::string logText;           // the log with it
    TextSelection logSelection;    // of the log text
    TextSelection tallySelection;  // of the tally text
};

// The waiting record of the period after the history's newest, for slot PlanRecordCount, and the
// log rebuilt with it. Nothing happens (nullopt, not a failure) while automatic planning is off.
// `planSize` is the plan base's count as shown. The record's region and basis are the caller's
// to add.
std::optional<PendingRecordOutput> WritePendingRecord(const PlanLogInput& input,
                                                      std::string_view planSize,
                                                      const DrawTable& history, const PlanLog& log);

// Records 0..count, each followed by CR LF, then the signature; trimmed of spaces. A slot without
// a record (the next one, before its plan) adds nothing.
std::string PlanLogText(const PlanLog& log, std::string_view signature);

// The tally lines of the settled records 0..count, joined by CR LF: the tally text.
std::string TallyText(const PlanLog& log);

// A number box read the lenient way, as a whole number within reach of the tables.
long long BoxInteger(std::string_view text);

// A number box read the lenient way and written with at least three digits ("009").
std::string RecordSize(std::string_view planSize);

// The bets that occur in a text, in AllBets order, each followed by `separator`.
std::string ListBetsInText(std::string_view text, std::string_view separator = "*");

}  // namespace xuan5
