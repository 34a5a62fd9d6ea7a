#include "plans/tolerance.h"

#include <algorithm>
#include <map>

#include "core/text.h"

namespace xuan5 {
namespace {

// Bets 1..462: bit 0 and the bits past 462 stay clear.
constexpr BetSet kAllBets = [] {
    BetSet set;
    for (auto& word : set.words) word = ~std::uint64_t{0};
    set.words[0] &= ~std::uint64_t{1};
    set.words[7] = (std::uint64_t{1} << (kBetCount - 7 * 64 + 1)) - 1;
    return set;
}();

void XorInto(BetSet& target, const BetSet& other) {
    for (std::size_t i = 0; i < target.words.size(); ++i) target.words[i] ^= other.words[i];
}

void AndNotInto(BetSet& target, const BetSet& other) {
    for (std::size_t i = 0; i < target.words.size(); ++i) target.words[i] &= ~other.words[i];
}

// Only digits and commas occur in a bet, so a piece with anything else never matches.
bool MayOccurInBet(std::string_view piece) {
    if (piece.size() > kBetTextLength) return false;
    return std::all_of(piece.begin(), piece.end(),
                       [](char ch) { return (ch >= '0' && ch <= '9') || ch == ','; });
}

}  // namespace

std::string HitCodeText(int count, HitCode code) {
    return code == HitCode::TwoDigit ? PadNumber(count, 2) : std::to_string(count);
}

AcceptedCounts AcceptedCountsFromText(std::string_view tolerance, int maxCount, HitCode code) {
    AcceptedCounts out;
    if (maxCount < 0) return out;
    out.accepted.assign(static_cast<std::size_t>(maxCount) + 1, false);
    for (int count = 0; count <= maxCount; ++count) {
        if (Contains(tolerance, HitCodeText(count, code))) {
            out.accepted[static_cast<std::size_t>(count)] = true;
            out.counts.push_back(count);
        }
    }
    return out;
}

void AddBase(HitCounts& counts, const BetSet& base) {
    BetSet carry = base;
    for (int p = 0; p < counts.planeCount && !carry.Empty(); ++p) {
        const BetSet next = counts.planes[p] & carry;
        XorInto(counts.planes[p], carry);
        carry = next;
    }
    if (!carry.Empty() && counts.planeCount < static_cast<int>(counts.planes.size())) {
        counts.planes[counts.planeCount++] = carry;
    }
    ++counts.bases;
}

int HitCountOf(const HitCounts& counts, int bet) {
    int count = 0;
    for (int p = 0; p < counts.planeCount; ++p) {
        if (counts.planes[p].Test(bet)) count |= 1 << p;
    }
    return count;
}

BetSet BetsWithCount(const HitCounts& counts, int count) {
    if (count < 0 || (counts.planeCount < 31 && count >= (1 << counts.planeCount))) return {};
    BetSet bets = kAllBets;
    for (int p = 0; p < counts.planeCount; ++p) {
        if ((count >> p) & 1) {
            bets &= counts.planes[p];
        } else {
            AndNotInto(bets, counts.planes[p]);
        }
    }
    return bets;
}

BetSet BetsWithAcceptedCount(const HitCounts& counts, const AcceptedCounts& accepted) {
    BetSet bets;
    for (int count : accepted.counts) {
        if (count > counts.bases) break;
        bets |= BetsWithCount(counts, count);
    }
    return bets;
}

BetSet ApplyToleranceRule(std::span<const BetSet> bases, std::string_view tolerance, HitCode code) {
    HitCounts counts;
    for (const BetSet& base : bases) AddBase(counts, base);
    return BetsWithAcceptedCount(
        counts, AcceptedCountsFromText(tolerance, static_cast<int>(bases.size()), code));
}

std::array<int, kBetCount + 1> BankerCounts(std::string_view bankerText) {
    std::array<int, kBetCount + 1> counts{};
    // Repeated pieces count once per occurrence but need only one search.
    std::map<std::string_view, int> pieces;
    for (std::string_view piece : SplitText(bankerText, ".")) ++pieces[piece];
    std::array<std::string, kBetCount + 1> texts;
    bool textsReady = false;
    for (const auto& [piece, times] : pieces) {
        if (piece.empty()) {
            for (int bet = 1; bet <= kBetCount; ++bet) counts[bet] += times;
            continue;
        }
        if (!MayOccurInBet(piece)) continue;
        if (!textsReady) {
            for (int bet = 1; bet <= kBetCount; ++bet) texts[bet] = BetText(bet);
            textsReady = true;
        }
        for (int bet = 1; bet <= kBetCount; ++bet) {
            if (texts[bet].find(piece) != std::string::npos) counts[bet] += times;
        }
    }
    return counts;
}

BetSet BankerPassSet(const BankerSettings& settings) {
    if (!settings.enabled) return FullBetSet();
    const auto counts = BankerCounts(settings.numbers);
    const int most = *std::max_element(counts.begin() + 1, counts.end());
    const AcceptedCounts accepted =
        AcceptedCountsFromText(settings.tolerance, most, HitCode::Plain);
    BetSet pass;
    for (int bet = 1; bet <= kBetCount; ++bet) {
        if (accepted.Accepts(counts[bet])) pass.Set(bet);
    }
    return pass;
}

BackupBasesOutput IntersectBackupBases(const BackupBasesInput& input) {
    const std::string_view tolerance = TrimSpaces(input.tolerance);
    if (tolerance.empty()) return {kMsgWriteTolerance, std::nullopt};
    std::vector<BetSet> bases;
    for (const std::string& box : input.boxes) {
        const std::string_view text = TrimSpaces(box);
        if (!text.empty()) bases.push_back(BetSetFromText(text));
    }
    PlanBaseText result = RenderPlanBase(ApplyToleranceRule(bases, tolerance, HitCode::Plain));
    return {std::move(result.text), std::move(result.count)};
}

JoinBackupOutput JoinBackupIntoPlan(const JoinBackupInput& input, const PlanLogInput& logInput,
                                    const DrawTable& history, const PlanLog& log) {
    JoinBackupOutput out;
    if (!input.participates) return out;
    out.backup = IntersectBackupBases(input.backup);
    const std::string_view plan = TrimSpaces(input.plan.text);
    const std::string_view backup = TrimSpaces(out.backup->bets);
    if (plan.empty() || backup.empty()) return out;
    out.plan = RenderPlanBase(BetSetFromText(plan) & BetSetFromText(backup));
    out.log = WritePendingRecord(logInput, out.plan->count, history, log);
    return out;
}

}  // namespace xuan5
