// The tolerance rule (容对): for every bet, count how many of a set of bases contain it and keep
// the bet when the count is accepted by a tolerance text. Acceptance is a substring rule on the
// text ("1011" accepts 1 because the code "01" occurs in it), so a tolerance text is turned once
// into the set of counts it accepts and the rule then works on bet sets only.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/bets.h"
#include "core/tables.h"
#include "plans/plan_log.h"

namespace xuan5 {

// Counts over lines, instances and groups are written with two digits ("03"); counts over the
// three backup bases and banker counts are written plainly ("3").
enum class HitCode { TwoDigit, Plain };

std::string HitCodeText(int count, HitCode code);

// The counts 0..maxCount whose code occurs in a tolerance text.
struct AcceptedCounts {
    std::vector<int> counts;     // ascending
    std::vector<bool> accepted;  // by count, 0..maxCount
    bool Accepts(int count) const {
        return count >= 0 && static_cast<std::size_t>(count) < accepted.size() && accepted[count];
    }
};

AcceptedCounts AcceptedCountsFromText(std::string_view tolerance, int maxCount, HitCode code);

// For every bet, the number of added bases that contain it, kept as binary digits: plane p holds
// bit p of every bet's count. Adding a base is a ripple-carry add over 8 words per plane, and
// selecting the bets of one count is an AND over the planes.
struct HitCounts {
    std::array<BetSet, 31> planes{};
    int planeCount = 0;
    int bases = 0;
};

void AddBase(HitCounts& counts, const BetSet& base);

int HitCountOf(const HitCounts& counts, int bet);

// The bets whose count equals `count`.
BetSet BetsWithCount(const HitCounts& counts, int count);

// The bets whose count is accepted.
BetSet BetsWithAcceptedCount(const HitCounts& counts, const AcceptedCounts& accepted);

// The rule over whole bases: bets contained in an accepted number of them.
BetSet ApplyToleranceRule(std::span<const BetSet> bases, std::string_view tolerance, HitCode code);

// Banker filter of the plan panel, read once at the start of a run.
struct BankerSettings {
    bool enabled = false;
    std::string numbers = "02.04.06.08.10";
    std::string tolerance = "1.2.3";
};

// The banker count of every bet 1..462: how many of the "."-separated pieces of the banker text
// occur in the bet's text. Pieces are not checked, so an empty piece occurs in every bet and a
// piece such as "1" occurs in every bet holding 01, 10 or 11.
std::array<int, kBetCount + 1> BankerCounts(std::string_view bankerText);

// The bets that pass the banker filter; every bet while the filter is off.
BetSet BankerPassSet(const BankerSettings& settings);

inline constexpr const char* kMsgWriteTolerance = "请写容对数值";

// The three backup boxes and their tolerance ("三底容对").
struct BackupBasesInput {
    std::array<std::string, 3> boxes{"01,02,03,04,05\r\n05,06,07,08,09\r\n", "", ""};
    std::string tolerance = "123";
};

struct BackupBasesOutput {
    std::string bets;  // the fourth box: the backups' intersection
    // its count; not written when the tolerance is empty.
    std::optional<std::string> count;
};

// The rule over the non-empty backup boxes 0..2 with plain codes. An empty tolerance puts
// "请写容对数值" into the result box instead.
BackupBasesOutput IntersectBackupBases(const BackupBasesInput& input);

struct JoinBackupInput {
    bool participates = false;  // "参与计划"
    BackupBasesInput backup;
    PlanBaseText plan;  // only its text takes part
};

struct JoinBackupOutput {
    std::optional<BackupBasesOutput> backup;  // the backup intersection, run when participating
    std::optional<PlanBaseText> plan;         // the joined plan base, when both sides hold text
    std::optional<PendingRecordOutput> log;   // the pending record rewritten with the new size
};

// Cuts the plan base down to the bets also in the backup result, then rewrites the pending plan
// record (for the period after the history's newest, in the log's current slot). Nothing
// happens unless the backup takes part in the plan; after the backup intersection, nothing is
// joined or recorded when either side is empty. The backup copies of the plan are left alone so
// that they can restore the plan.
JoinBackupOutput JoinBackupIntoPlan(const JoinBackupInput& input, const PlanLogInput& logInput,
                                    const DrawTable& history, const PlanLog& log);

}  // namespace xuan5
