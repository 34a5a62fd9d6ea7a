#include "core/bets.h"

#include <algorithm>
#include <functional>

#include "core/text.h"

namespace xuan5 {
namespace {

struct Universe {
    std::array<std::array<std::uint8_t, 5>, kBetCount + 1> numbers{};
    std::array<std::uint16_t, 2048> betOfMask{};
    std::array<std::array<char, kBetTextLength>, kBetCount + 1> texts{};
};

constexpr Universe MakeUniverse() {
    Universe u{};
    int k = 1;
    for (int a = 1; a <= 11; ++a)
        for (int b = a + 1; b <= 11; ++b)
            for (int c = b + 1; c <= 11; ++c)
                for (int d = c + 1; d <= 11; ++d)
                    for (int e = d + 1; e <= 11; ++e) {
                        const int nums[5] = {a, b, c, d, e};
                        unsigned mask = 0;
                        for (int i = 0; i < 5; ++i) {
                            u.numbers[k][i] = static_cast<std::uint8_t>(nums[i]);
                            mask |= 1u << (nums[i] - 1);
                            u.texts[k][i * 3] = static_cast<char>('0' + nums[i] / 10);
                            u.texts[k][i * 3 + 1] = static_cast<char>('0' + nums[i] % 10);
                            if (i < 4) u.texts[k][i * 3 + 2] = ',';
                        }
                        u.betOfMask[mask] = static_cast<std::uint16_t>(k);
                        ++k;
                    }
    return u;
}

constexpr Universe kUniverse = MakeUniverse();

// Value of a two-digit number 01..11 at text[0..1], or 0.
inline int TwoDigitNumber(const char* p) {
    if (p[0] < '0' || p[0] > '1' || p[1] < '0' || p[1] > '9') return 0;
    int v = (p[0] - '0') * 10 + (p[1] - '0');
    return v >= 1 && v <= 11 ? v : 0;
}

// The bet spelled by the 14 characters at p, or 0.
inline int BetAt(const char* p) {
    if (p[2] != ',' || p[5] != ',' || p[8] != ',' || p[11] != ',') return 0;
    int prev = 0;
    unsigned mask = 0;
    for (int i = 0; i < 5; ++i) {
        int v = TwoDigitNumber(p + i * 3);
        if (v <= prev) return 0;
        mask |= 1u << (v - 1);
        prev = v;
    }
    return kUniverse.betOfMask[mask];
}

}  // namespace

AllBetsTable BuildAllBets() {
    AllBetsTable table;
    for (int k = 1; k <= kBetCount; ++k) table[k] = BetText(k);
    return table;
}

std::array<int, 5> BetNumbers(int bet) {
    const auto& n = kUniverse.numbers[bet];
    return {n[0], n[1], n[2], n[3], n[4]};
}

std::string BetText(int bet) {
    return std::string(kUniverse.texts[bet].data(), kBetTextLength);
}

int BetFromMask(unsigned mask) {
    return mask < 2048 ? kUniverse.betOfMask[mask] : 0;
}

int BetFromText(std::string_view text) {
    return text.size() == kBetTextLength ? BetAt(text.data()) : 0;
}

BetSet FullBetSet() {
    BetSet set;
    for (int k = 1; k <= kBetCount; ++k) set.Set(k);
    return set;
}

BetSet BetSetFromText(std::string_view text) {
    BetSet set;
    if (text.size() < kBetTextLength) return set;
    const char* data = text.data();
    const std::size_t last = text.size() - kBetTextLength;
    for (std::size_t i = 0; i <= last; ++i) {
        // A canonical bet has a comma three places after its start; skipping windows without
        // one keeps the scan cheap on long bases.
        if (data[i + 2] != ',') continue;
        if (int bet = BetAt(data + i)) set.Set(bet);
    }
    return set;
}

bool BaseHoldsKey(std::string_view base, int key) {
    if (key <= 0 || key > kBetCount) return false;
    const auto& text = kUniverse.texts[key];
    // Bases are long runs of digits and commas; a searcher that skips ahead beats stopping at
    // every "0".
    const std::boyer_moore_horspool_searcher searcher(text.begin(), text.end());
    return std::search(base.begin(), base.end(), searcher) != base.end();
}

std::string RenderBetSet(const BetSet& set, std::string_view separator) {
    std::string out;
    out.reserve(static_cast<std::size_t>(set.Count()) * (kBetTextLength + separator.size()));
    bool first = true;
    set.ForEach([&](int bet) {
        if (!first) out.append(separator);
        first = false;
        out.append(kUniverse.texts[bet].data(), kBetTextLength);
    });
    return out;
}

PlanBaseText RenderPlanBase(const BetSet& bets) {
    return {RenderBetSet(bets, kCrLf), std::to_string(bets.Count())};
}

}  // namespace xuan5
