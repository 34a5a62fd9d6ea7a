#include "backtest/candidate_runs.h"

#include <algorithm>
#include <array>
#include <bit>
#include <exception>
#include <optional>
#include <string>
#include <tuple>

#include "backtest/twister.h"
#include "core/bets.h"
#include "core/text.h"
#include "plans/line_bases.h"
#include "plans/line_intersection.h"
#include "plans/plan_modes.h"
#include "plans/tolerance.h"

namespace xuan5 {
namespace {

// Accepted counts first..last, as a tolerance text's accepted counts fall into runs.
struct CountRun {
    int first = 0;
    int last = 0;
};

std::vector<CountRun> RunsOf(const AcceptedCounts& accepted) {
    std::vector<CountRun> runs;
    for (int count : accepted.counts) {
        if (!runs.empty() && runs.back().last + 1 == count) {
            runs.back().last = count;
        } else {
            runs.push_back({count, count});
        }
    }
    return runs;
}

// A mode-one candidate in its tolerance group: its X and the runs of its total.
struct Member {
    std::size_t candidate = 0;
    int x = 1;
    std::size_t firstRun = 0;  // in ToleranceGroup::totalRuns
    std::size_t runs = 0;
};

// Mode one, from the outside in: candidates with the same bet counts share their searches, those
// that also check the same lines share the bets each count of lines holds, and those that also
// have the same line tolerance share their instance plans; X and the total are their own.
struct ToleranceGroup {
    std::string text;
    std::vector<CountRun> accepted;
    int instances = 1;
    std::vector<Member> members;  // by X, in their order otherwise
    std::vector<CountRun> totalRuns;
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

// Mode two's candidates.
struct PreparedCandidate {
    std::array<std::vector<CountRun>, 3> groups;
    std::vector<CountRun> total;  // over the three groups
};

struct Prepared {
    bool modeTwo = false;
    bool recompute = true;
    PreparedLines lines;
    LineBaseSets kept{};  // the bases in force, planned with under "保持当前底"
    BetSet allBets = FullBetSet();
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
    p.modeTwo = settings.useModeTwo;
    const LineBasesInput& lines = p.modeTwo ? settings.modeTwo.lines : settings.modeOne.lines;
    p.recompute = lines.searchEveryPeriod;
    if (p.recompute) p.lines = PrepareLines(settings.savedLines);
    p.kept = LineBaseSetsFromTexts(settings.LineBases);
    p.bankerPass =
        BankerPassSet(p.modeTwo ? settings.modeTwo.banker : settings.modeOne.selection.banker);
    if (settings.backup.participates) {
        const std::string backup = IntersectBackupBases(settings.backup.backup).bets;
        // An empty backup result leaves the plan as it is; any other text cuts it down.
        if (!TrimSpaces(backup).empty()) p.join = BetSetFromText(backup);
    }
    const std::array<const std::string*, 3> groupTexts = {
        &settings.modeTwo.group1, &settings.modeTwo.group2, &settings.modeTwo.group3};
    for (int k = 0; k < 3; ++k) p.groupLines[k] = GroupLineIndices(*groupTexts[k]);

    p.candidates.resize(candidates.size());
    for (std::size_t c = 0; c < candidates.size(); ++c) {
        const OptimiserCandidate& candidate = candidates[c];
        BetGroup& bets = GroupFor(
            p.betGroups, [&](const BetGroup& g) { return g.counts == candidate.lineSizes; });
        bets.counts = candidate.lineSizes;
        if (p.modeTwo) {
            PreparedCandidate& prepared = p.candidates[c];
            for (int k = 0; k < 3; ++k) {
                prepared.groups[k] = RunsOf(AcceptedCountsFromText(
                    candidate.groupTolerances[k], static_cast<int>(p.groupLines[k].size()),
                    HitCode::TwoDigit));
            }
            prepared.total =
                RunsOf(AcceptedCountsFromText(candidate.groupTotalTolerance, 3, HitCode::TwoDigit));
            bets.members.push_back(c);
            continue;
        }
        const std::optional<std::int32_t> x = ParseInteger32(candidate.instances);
        if (!x || *x > kMaxInstances) return Fail({kMsgPlanInputError, kTitleNotice});
        const int instances = std::max(*x, 1);
        LineGroup& lineGroup = GroupFor(
            bets.lineGroups, [&](const LineGroup& g) { return g.lines == candidate.checkedLines; });
        lineGroup.lines = candidate.checkedLines;
        lineGroup.indices.clear();
        for (int i = 0; i < kLineCount; ++i) {
            if (lineGroup.lines[i]) lineGroup.indices.push_back(i);
        }
        ToleranceGroup& tolerance = GroupFor(lineGroup.tolerances, [&](const ToleranceGroup& g) {
            return g.text == candidate.lineTolerance;
        });
        if (tolerance.members.empty()) {
            tolerance.text = candidate.lineTolerance;
            tolerance.accepted = RunsOf(
                AcceptedCountsFromText(candidate.lineTolerance, kLineCount, HitCode::TwoDigit));
        }
        Member member{c, *x, tolerance.totalRuns.size(), 0};
        if (*x >= 2) {
            const std::vector<CountRun> total = RunsOf(AcceptedCountsFromText(
                TrimSpaces(candidate.instanceTolerance), *x, HitCode::TwoDigit));
            tolerance.totalRuns.insert(tolerance.totalRuns.end(), total.begin(), total.end());
            member.runs = total.size();
        }
        const auto later =
            std::upper_bound(tolerance.members.begin(), tolerance.members.end(), member.x,
                             [](int x, const Member& other) { return x < other.x; });
        tolerance.members.insert(later, member);
        tolerance.instances = std::max(tolerance.instances, instances);
        lineGroup.instances = std::max(lineGroup.instances, instances);
        bets.instances = std::max(bets.instances, instances);
    }
    return p;
}

// CountAtMost with a fixed number of planes, so that the compiler unrolls them.
template <std::size_t Planes, typename SetAt>
void CountAtMostIn(std::size_t count, SetAt setAt, const BetSet& within,
                   std::vector<BetSet>& atMost) {
    constexpr std::size_t kWords = std::tuple_size_v<decltype(BetSet::words)>;
    std::array<std::array<std::uint64_t, kWords>, Planes> plane{};
    for (std::size_t i = 0; i < count; ++i) {
        std::array<std::uint64_t, kWords> carry = setAt(i).words;
        for (std::size_t p = 0; p < Planes; ++p) {
            for (std::size_t w = 0; w < kWords; ++w) {
                const std::uint64_t next = plane[p][w] & carry[w];
                plane[p][w] ^= carry[w];
                carry[w] = next;
            }
        }
    }
    atMost.resize(count + 1);
    std::array<std::uint64_t, kWords> running{};
    for (std::size_t k = 0; k <= count; ++k) {
        std::array<std::uint64_t, kWords> exact = within.words;
        for (std::size_t p = 0; p < Planes; ++p) {
            const std::uint64_t flip = (k >> p) & 1 ? 0 : ~std::uint64_t{0};
            for (std::size_t w = 0; w < kWords; ++w) exact[w] &= plane[p][w] ^ flip;
        }
        for (std::size_t w = 0; w < kWords; ++w) running[w] |= exact[w];
        atMost[k].words = running;
    }
}

// The bets of `within` held by at most k of `count` sets, for every k up to `count`: a run of
// accepted counts a..b is then one difference, whatever its length. The sets are added as
// binary counters (plane p is bit p of every bet's count) of just the planes the count needs:
// a period counts thousands of small groups of sets.
template <typename SetAt>
void CountAtMost(std::size_t count, SetAt setAt, const BetSet& within,
                 std::vector<BetSet>& atMost) {
    switch (std::bit_width(count)) {
        case 0:
        case 1:
            return CountAtMostIn<1>(count, setAt, within, atMost);
        case 2:
            return CountAtMostIn<2>(count, setAt, within, atMost);
        case 3:
            return CountAtMostIn<3>(count, setAt, within, atMost);
        case 4:
            return CountAtMostIn<4>(count, setAt, within, atMost);
        default:  // X may ask for 10000 instances
            return CountAtMostIn<14>(count, setAt, within, atMost);
    }
}

// BetsWithAcceptedCount over counts already summed up by CountAtMost.
inline BetSet Accepted(const std::vector<BetSet>& atMost, const CountRun* runs, std::size_t count) {
    BetSet bets;
    const BetSet none;
    for (const CountRun* run = runs; run != runs + count; ++run) {
        const auto first = static_cast<std::size_t>(run->first);
        if (first >= atMost.size()) break;
        const BetSet& upTo =
            atMost[std::min(static_cast<std::size_t>(run->last), atMost.size() - 1)];
        const BetSet& below = first > 0 ? atMost[first - 1] : none;
        for (std::size_t w = 0; w < bets.words.size(); ++w)
            bets.words[w] |= upTo.words[w] & ~below.words[w];
    }
    return bets;
}

inline BetSet Accepted(const std::vector<BetSet>& atMost, const std::vector<CountRun>& runs) {
    return Accepted(atMost, runs.data(), runs.size());
}

class PeriodEvaluator {
  public:
    PeriodEvaluator(const Prepared& p, CandidateOutcomes& out, std::size_t period, int key)
        : p_(p), out_(out), period_(period), key_(key) {}

    void Run(const DrawKeyTable& keys, std::uint64_t generatorSeed) {
        std::vector<LineBaseSets> bases;
        for (const BetGroup& group : p_.betGroups) {
            bases.assign(static_cast<std::size_t>(group.instances), p_.kept);
            if (p_.recompute) Search(group, keys, generatorSeed, bases);
            if (p_.modeTwo) {
                PlanModeTwo(group, bases.front());
            } else {
                for (const LineGroup& lineGroup : group.lineGroups) PlanModeOne(lineGroup, bases);
            }
        }
    }

  private:
    // The instances' bases as SearchLineBaseSets makes them, one instance after the other on
    // one generator, with each line decided once: only the random picks differ between them.
    void Search(const BetGroup& group, const DrawKeyTable& keys, std::uint64_t generatorSeed,
                std::vector<LineBaseSets>& bases) {
        // The searches read every saved line into one working copy, and a damaged line searches
        // on what the copy holds at its turn: the good line before it, or for a damaged first
        // line the last good one of the instance before (nothing, in the first instance).
        const TrendLineTable nothing{};
        const TrendLineTable* working = &nothing;
        std::array<std::array<const TrendLineTable*, kLineCount>, 2> lines{};
        for (auto& instance : lines) {
            for (int i = 0; i < kLineCount; ++i) {
                if (const auto& parsed = p_.lines.value[i]) working = &*parsed;
                instance[i] = working;
            }
        }
        decisions_.resize(2 * kLineCount);
        for (int i = 0; i < kLineCount; ++i) {
            decisions_[i] = DecideLine(group.counts[i], *lines[0][i], keys);
            if (lines[1][i] != lines[0][i])
                decisions_[kLineCount + i] = DecideLine(group.counts[i], *lines[1][i], keys);
        }
        Twister rng(generatorSeed);
        for (std::size_t n = 0; n < bases.size(); ++n) {
            for (int i = 0; i < kLineCount; ++i) {
                const bool own = n > 0 && lines[1][i] != lines[0][i];
                bases[n][i] = FillBase(decisions_[own ? kLineCount + i : i], rng);
            }
        }
    }

    void PlanModeOne(const LineGroup& group, const std::vector<LineBaseSets>& bases) {
        lineAtMost_.resize(static_cast<std::size_t>(group.instances));
        for (std::size_t i = 0; i < lineAtMost_.size(); ++i) {
            CountAtMost(
                group.indices.size(),
                [&](std::size_t k) -> const BetSet& { return bases[i][group.indices[k]]; },
                p_.allBets, lineAtMost_[i]);
        }
        // A plan cut down by the join (when it holds anything) holds the draw only when the
        // join does.
        const BetSet& within = p_.join ? *p_.join : p_.allBets;
        const bool drawKept = key_ != 0 && within.Test(key_);
        for (const ToleranceGroup& tolerance : group.tolerances) {
            plans_.clear();
            for (std::size_t i = 0; i < static_cast<std::size_t>(tolerance.instances); ++i) {
                plans_.push_back(Accepted(lineAtMost_[i], tolerance.accepted) & p_.bankerPass);
            }
            // A plan of X >= 2 is the bets an accepted number of its instances agree on: the
            // members, by X, share the counts of each X.
            int counted = 0;
            int drawAgreed = -1;
            for (const Member& member : tolerance.members) {
                if (member.x < 2) {
                    Record(member.candidate, plans_.front());
                    continue;
                }
                const auto x = static_cast<std::size_t>(member.x);
                if (counted != member.x) {
                    CountAtMost(
                        x, [&](std::size_t i) -> const BetSet& { return plans_[i]; }, within,
                        agreeAtMost_);
                    drawAgreed = 0;
                    for (std::size_t i = 0; i < x; ++i) drawAgreed += plans_[i].Test(key_) ? 1 : 0;
                    counted = member.x;
                }
                const CountRun* total = tolerance.totalRuns.data() + member.firstRun;
                bool hit = false;
                for (const CountRun* run = total; run != total + member.runs; ++run)
                    hit = hit || (run->first <= drawAgreed && drawAgreed <= run->last);
                const std::size_t at = period_ * out_.candidates + member.candidate;
                out_.planSizes[at] =
                    static_cast<std::int16_t>(Accepted(agreeAtMost_, total, member.runs).Count());
                out_.hits[at] = drawKept && hit;
            }
        }
    }

    void PlanModeTwo(const BetGroup& group, const LineBaseSets& bases) {
        std::array<std::vector<BetSet>, 3> atMost;
        for (std::size_t k = 0; k < 3; ++k) {
            const std::vector<int>& lines = p_.groupLines[k];
            CountAtMost(
                lines.size(), [&](std::size_t i) -> const BetSet& { return bases[lines[i]]; },
                p_.allBets, atMost[k]);
        }
        std::array<BetSet, 3> satisfied;
        for (std::size_t c : group.members) {
            const PreparedCandidate& candidate = p_.candidates[c];
            for (std::size_t k = 0; k < 3; ++k)
                satisfied[k] = Accepted(atMost[k], candidate.groups[k]);
            CountAtMost(
                3, [&](std::size_t k) -> const BetSet& { return satisfied[k]; }, p_.allBets,
                agreeAtMost_);
            Record(c, Accepted(agreeAtMost_, candidate.total) & p_.bankerPass);
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
    // Scratch, kept from one line group and tolerance group to the next.
    std::vector<LineDecisions> decisions_;         // each line's, then a later instance's own
    std::vector<std::vector<BetSet>> lineAtMost_;  // per instance: at most k of the lines
    std::vector<BetSet> plans_;                    // per instance
    std::vector<BetSet> agreeAtMost_;              // at most k of the plans
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
            runs.notices = RunNotices(prepared->lines.notices);
        }
        CandidateOutcomes& out = runs.outcomes;
        out.candidates = candidates.size();
        out.periods = span->count;
        out.firstArchive = span->first;
        out.planSizes.assign(out.candidates * out.periods, 0);
        out.hits.assign(out.candidates * out.periods, 0);
        const std::vector<int> keys = ArchiveKeys(archive, span->firstRead);
        const Status ran = ParallelFor(span->count, ThreadCount(options.threads, span->count),
                                       cancel, progress, [&](std::size_t period) {
                                           const std::size_t index = span->first + period;
                                           PeriodEvaluator(*prepared, out, period, keys[index])
                                               .Run(KeysBefore(keys, index),
                                                    PeriodSeed(options.seed, archive[index]));
                                           return true;
                                       });
        if (!ran) return ran.failure();
        return runs;
    } catch (const std::exception& e) {
        // The preparation's own allocations; the periods' failures come back from the pool.
        return RunFailed(e.what());
    }
}

}  // namespace xuan5
