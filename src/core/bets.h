// The bet universe and bet sets.
//
// A bet is five distinct numbers 01..11, ascending, written "NN,NN,NN,NN,NN". The 462 bets are
// numbered 1..462 in lexicographic order (the AllBets order). Membership rules of the system are
// substring rules on texts; a BetSet holds the same answer as a bit per bet number, built once
// from a text, so hot loops test bits instead of searching texts.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

namespace xuan5 {

inline constexpr int kBetCount = 462;
inline constexpr std::size_t kBetTextLength = 14;

// Element 0 stays empty; elements 1..462 are the bets in lexicographic order.
using AllBetsTable = std::array<std::string, kBetCount + 1>;

AllBetsTable BuildAllBets();

// The five numbers (1..11, ascending) of bet 1..462.
std::array<int, 5> BetNumbers(int bet);

// The canonical text of bet 1..462.
std::string BetText(int bet);

// The bet number of a set of five numbers given as an 11-bit mask (bit n-1 for number n), or 0
// when the mask does not hold exactly five numbers.
int BetFromMask(unsigned mask);

// The bet number that a 14-character text spells in canonical form, or 0.
int BetFromText(std::string_view text);

// 462 bits, bit b for bet number b (bit 0 unused).
struct BetSet {
    std::array<std::uint64_t, 8> words{};

    void Set(int bet) { words[bet >> 6] |= std::uint64_t{1} << (bet & 63); }
    void Reset(int bet) { words[bet >> 6] &= ~(std::uint64_t{1} << (bet & 63)); }
    bool Test(int bet) const { return (words[bet >> 6] >> (bet & 63)) & 1; }
    bool Empty() const {
        for (auto w : words)
            if (w) return false;
        return true;
    }
    // Counted in place: the package is built for processors without a popcount instruction,
    // where std::popcount is a library call, and every plan of a run is counted.
    int Count() const {
        int n = 0;
        for (std::uint64_t w : words) {
            w -= (w >> 1) & 0x5555555555555555ull;
            w = (w & 0x3333333333333333ull) + ((w >> 2) & 0x3333333333333333ull);
            w = (w + (w >> 4)) & 0x0F0F0F0F0F0F0F0Full;
            n += static_cast<int>((w * 0x0101010101010101ull) >> 56);
        }
        return n;
    }
    BetSet& operator|=(const BetSet& o) {
        for (std::size_t i = 0; i < words.size(); ++i) words[i] |= o.words[i];
        return *this;
    }
    BetSet& operator&=(const BetSet& o) {
        for (std::size_t i = 0; i < words.size(); ++i) words[i] &= o.words[i];
        return *this;
    }
    friend BetSet operator|(BetSet a, const BetSet& b) { return a |= b; }
    friend BetSet operator&(BetSet a, const BetSet& b) { return a &= b; }
    friend bool operator==(const BetSet&, const BetSet&) = default;

    // Calls fn(bet) for every member in AllBets order.
    template <typename Fn>
    void ForEach(Fn&& fn) const {
        for (std::size_t i = 0; i < words.size(); ++i) {
            std::uint64_t w = words[i];
            while (w) {
                int bit = std::countr_zero(w);
                fn(static_cast<int>(i * 64) + bit);
                w &= w - 1;
            }
        }
    }
};

// Every bet 1..462.
BetSet FullBetSet();

// The bets whose canonical text occurs in `text`: the substring rule, computed by looking at
// every 14-character window once.
BetSet BetSetFromText(std::string_view text);

// Whether a base text holds the bet `key` (1..462): the substring rule on the bet's text. No
// base holds key 0, the key of a row that is no valid draw.
bool BaseHoldsKey(std::string_view base, int key);

// The member bets in AllBets order joined by `separator` (no separator after the last).
std::string RenderBetSet(const BetSet& set, std::string_view separator);

// What the window writes for a plan base or a filter result: the bets joined by CR LF without a
// trailing break, and their number.
struct PlanBaseText {
    std::string text;
    std::string count;
    friend bool operator==(const PlanBaseText&, const PlanBaseText&) = default;
};

PlanBaseText RenderPlanBase(const BetSet& bets);

}  // namespace xuan5
