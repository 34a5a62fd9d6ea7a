#include "backtest/candidate_runs.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <string>

#include "core/bets.h"
#include "core/text.h"
#include "plans/line_bases.h"
#include "plans/line_intersection.h"
#include "plans/plan_modes.h"
#include "plans/tolerance.h"

namespace xuan5 {
namespace {

// Mode one, from the outside in: candidates with the same bet counts share their searches, those
// that also check the same lines share the bets each count of lines holds, and those that also
// have the same line tolerance share their instance plans; X and the total are their own.
struct ToleranceGroup {
    std::string text;
    AcceptedCounts accepted;
    int instances = 1;
    std::vector<std::size_t> members;
};

struct LineGroup {
    LineChecks lines{};
    std::vector<int> indices;  // of the lines ticked
    int instances = 1;
    std::vector<ToleranceGroup> tolerances;
};

struct BetGroup {
    LineSizeTexts counts;
    int instances = 1;
    std::vector<LineGroup> lineGroups;  // mode one
    std::vector<std::size_t> members;   // mode two
};

struct PreparedCandidate {
    int x = 1;             // mode one: the instances
    AcceptedCounts total;  // over the instance plans (X >= 2), or over the three groups
    std::array<AcceptedCounts, 3> groups;  // mode two
};

struct Prepared {
    bool modeTwo = false;
    bool recompute = true;
    PreparedLines lines;
    LineBaseSets kept{};  // the bases in force, planned with under "保持当前底"
    BetSet bankerPass;
    std::optional<BetSet> join;                  // the backup result a plan is cut down to
    std::array<std::vector<int>, 3> groupLines;  // mode two: line indices of each group
    std::vector<BetGroup> betGroups;
    std::vector<PreparedCandidate> candidates;
};

template <typename T, typename Same>
T& GroupFor(std::vector<T>& groups, Same same) {
    const auto it = std::find_if(groups.begin(), groups.end(), same);
    if (it != groups.end()) return *it;
    return groups.emplace_back();
}

Result<Prepared> Prepare(const BacktestSettings& settings,
                         const std::vector<OptimiserCandidate>& candidates) {
    Prepared p;
    p.modeTwo = settings.Check_jh_dadi_fenzu;
    const LineBasesInput& lines = p.modeTwo ? settings.modeTwo.lines : settings.modeOne.lines;
    p.recompute = lines.Op_jiankong_zihui;
    if (p.recompute) p.lines = PrepareLines(settings.savedLines);
    p.kept = LineBaseSetsFromTexts(settings.LineBases);
    p.bankerPass =
        BankerPassSet(p.modeTwo ? settings.modeTwo.banker : settings.modeOne.selection.banker);
    if (settings.backup.Check_beiyong_canyu) {
        const std::string backup = IntersectBackupBases(settings.backup.backup).T_dd_beiyong_3;
        // An empty backup result leaves the plan as it is; any other text cuts it down.
        if (!TrimSpaces(backup).empty()) p.join = BetSetFromText(backup);
    }
    const std::array<const std::string*, 3> groupTexts = {&settings.modeTwo.T_jh_dadi_fenzu_01,
                                                          &settings.modeTwo.T_jh_dadi_fenzu_02,
                                                          &settings.modeTwo.T_jh_dadi_fenzu_03};
    for (int k = 0; k < 3; ++k) p.groupLines[k] = GroupLineIndices(*groupTexts[k]);

    p.candidates.resize(candidates.size());
    for (std::size_t c = 0; c < candidates.size(); ++c) {
        const OptimiserCandidate& candidate = candidates[c];
        PreparedCandidate& prepared = p.candidates[c];
        BetGroup& bets = GroupFor(
            p.betGroups, [&](const BetGroup& g) { return g.counts == candidate.T_quxian_zhushu; });
        bets.counts = candidate.T_quxian_zhushu;
        if (p.modeTwo) {
            for (int k = 0; k < 3; ++k) {
                prepared.groups[k] = AcceptedCountsFromText(
                    candidate.T_jh_dadi_fenzu_rc_k[k], static_cast<int>(p.groupLines[k].size()),
                    HitCode::TwoDigit);
            }
            prepared.total =
                AcceptedCountsFromText(candidate.T_jh_dadi_fenzu_rc, 3, HitCode::TwoDigit);
            bets.members.push_back(c);
            continue;
        }
        const std::optional<std::int32_t> x = ParseInteger32(candidate.T_jh_dadi_chongfu_cs);
        if (!x || *x > kMaxInstances) return Fail({kMsgPlanInputError, kTitlePlanInputError});
        prepared.x = *x;
        const int instances = std::max(*x, 1);
        if (*x >= 2) {
            prepared.total = AcceptedCountsFromText(TrimSpaces(candidate.T_jh_dadi_chongfu_rc), *x,
                                                    HitCode::TwoDigit);
        }
        LineGroup& lineGroup = GroupFor(bets.lineGroups, [&](const LineGroup& g) {
            return g.lines == candidate.Ch_jiankong_jj;
        });
        lineGroup.lines = candidate.Ch_jiankong_jj;
        lineGroup.indices.clear();
        for (int i = 0; i < kLineCount; ++i) {
            if (lineGroup.lines[i]) lineGroup.indices.push_back(i);
        }
        ToleranceGroup& tolerance = GroupFor(lineGroup.tolerances, [&](const ToleranceGroup& g) {
            return g.text == candidate.T_jiankong_rc;
        });
        if (tolerance.members.empty()) {
            tolerance.text = candidate.T_jiankong_rc;
            tolerance.accepted =
                AcceptedCountsFromText(candidate.T_jiankong_rc, kLineCount, HitCode::TwoDigit);
        }
        tolerance.members.push_back(c);
        tolerance.instances = std::max(tolerance.instances, instances);
        lineGroup.instances = std::max(lineGroup.instances, instances);
        bets.instances = std::max(bets.instances, instances);
    }
    return p;
}

// The bets held by exactly c of the added bases, for every c up to their number.
std::vector<BetSet> ExactCounts(const LineBaseSets& bases, const std::vector<int>& lines) {
    HitCounts counts;
    for (int line : lines) AddBase(counts, bases[line]);
    std::vector<BetSet> exact(lines.size() + 1);
    for (std::size_t c = 0; c < exact.size(); ++c) {
        exact[c] = BetsWithCount(counts, static_cast<int>(c));
    }
    return exact;
}

// BetsWithAcceptedCount over counts already split by value.
BetSet Accepted(const std::vector<BetSet>& exact, const AcceptedCounts& accepted) {
    BetSet bets;
    for (int count : accepted.counts) {
        if (static_cast<std::size_t>(count) >= exact.size()) break;
        bets |= exact[static_cast<std::size_t>(count)];
    }
    return bets;
}

class PeriodEvaluator {
  public:
    PeriodEvaluator(const Prepared& p, CandidateOutcomes& out, std::size_t period, int key)
        : p_(p), out_(out), period_(period), key_(key) {}

    void Run(const DrawKeyTable& keys, std::uint64_t generatorSeed) {
        std::vector<LineBaseSets> bases;
        for (const BetGroup& group : p_.betGroups) {
            bases.assign(static_cast<std::size_t>(group.instances), p_.kept);
            if (p_.recompute) {
                // The searches of every instance draw on one generator, as the plan mode's do.
                std::mt19937_64 rng(generatorSeed);
                TrendLineTable line{};
                for (LineBaseSets& instance : bases) {
                    instance = SearchLineBaseSets(p_.lines, group.counts, line, keys, rng);
                }
            }
            if (p_.modeTwo) {
                PlanModeTwo(group, bases.front());
            } else {
                for (const LineGroup& lineGroup : group.lineGroups) PlanModeOne(lineGroup, bases);
            }
        }
    }

  private:
    void PlanModeOne(const LineGroup& group, const std::vector<LineBaseSets>& bases) {
        std::vector<std::vector<BetSet>> exact;
        for (int i = 0; i < group.instances; ++i) {
            exact.push_back(ExactCounts(bases[i], group.indices));
        }
        std::vector<BetSet> plans;
        for (const ToleranceGroup& tolerance : group.tolerances) {
            plans.clear();
            for (int i = 0; i < tolerance.instances; ++i) {
                plans.push_back(Accepted(exact[i], tolerance.accepted) & p_.bankerPass);
            }
            for (std::size_t c : tolerance.members) {
                const PreparedCandidate& candidate = p_.candidates[c];
                if (candidate.x < 2) {
                    Record(c, plans.front());
                    continue;
                }
                HitCounts agreeing;
                for (int i = 0; i < candidate.x; ++i) AddBase(agreeing, plans[i]);
                Record(c, BetsWithAcceptedCount(agreeing, candidate.total));
            }
        }
    }

    void PlanModeTwo(const BetGroup& group, const LineBaseSets& bases) {
        std::array<std::vector<BetSet>, 3> exact;
        for (int k = 0; k < 3; ++k) exact[k] = ExactCounts(bases, p_.groupLines[k]);
        for (std::size_t c : group.members) {
            const PreparedCandidate& candidate = p_.candidates[c];
            HitCounts satisfied;
            for (int k = 0; k < 3; ++k) AddBase(satisfied, Accepted(exact[k], candidate.groups[k]));
            Record(c, BetsWithAcceptedCount(satisfied, candidate.total) & p_.bankerPass);
        }
    }

    void Record(std::size_t candidate, BetSet plan) {
        if (p_.join && !plan.Empty()) plan &= *p_.join;
        const std::size_t at = period_ * out_.candidates + candidate;
        out_.planSizes[at] = static_cast<std::int16_t>(plan.Count());
        out_.hits[at] = key_ != 0 && plan.Test(key_);
    }

    const Prepared& p_;
    CandidateOutcomes& out_;
    std::size_t period_;
    int key_;
};

}  // namespace

Result<CandidateRuns> RunCandidates(const std::vector<DatedDraw>& archive,
                                    const BacktestSettings& settings,
                                    const std::vector<OptimiserCandidate>& candidates,
                                    const BacktestOptions& options, std::atomic<bool>& cancel,
                                    const BacktestProgressFn& progress) {
    const Result<TestedSpan> span = TestedPeriods(archive, options.periods);
    if (!span) return span.failure();
    try {
        Result<Prepared> prepared = Prepare(settings, candidates);
        if (!prepared) return prepared.failure();
        CandidateRuns runs;
        if (prepared->recompute) {
            std::vector<Message> damaged;
            for (const auto& message : prepared->lines.messages) {
                if (message) damaged.push_back(*message);
            }
            runs.notices = RunNotices(damaged);
        }
        CandidateOutcomes& out = runs.outcomes;
        out.candidates = candidates.size();
        out.periods = span->count;
        out.firstArchive = span->first;
        out.planSizes.assign(out.candidates * out.periods, 0);
        out.hits.assign(out.candidates * out.periods, 0);
        const std::vector<int> keys = ArchiveKeys(archive, span->firstRead);
        const bool complete = ParallelFor(span->count, ThreadCount(options.threads, span->count),
                                          cancel, progress, [&](std::size_t period) {
                                              const std::size_t index = span->first + period;
                                              PeriodEvaluator(*prepared, out, period, keys[index])
                                                  .Run(KeysBefore(keys, index),
                                                       PeriodSeed(options.seed, archive[index]));
                                              return true;
                                          });
        if (!complete) return Failure{};
        return runs;
    } catch (const std::exception& e) {
        return Fail({std::string(kMsgBacktestFailed) + e.what(), kTitleBacktest});
    }
}

}  // namespace xuan5
