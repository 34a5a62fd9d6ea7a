// Random base, tolerance and banker texts for the differential tests: the odd forms a user can
// type or paste, not only the documented ones.
#pragma once

#include <random>
#include <string>
#include <vector>

#include "core/bets.h"

namespace xuan5::testing {

inline int Uniform(std::mt19937_64& rng, int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

inline bool Chance(std::mt19937_64& rng, int percent) {
    return Uniform(rng, 1, 100) <= percent;
}

inline std::string RandomFrom(std::mt19937_64& rng, const std::string& alphabet, int length) {
    std::string out;
    for (int i = 0; i < length; ++i) out += alphabet[Uniform(rng, 0, int(alphabet.size()) - 1)];
    return out;
}

// Random bets in random order, with duplicates, mixed separators, cut bets and garbage. Bets are
// drawn from a narrow band now and then so that several bases share many of them.
inline std::string RandomBase(std::mt19937_64& rng, int maxBets = 60) {
    static const std::vector<std::string> separators = {"\r\n", " ", "*", "", "  ", "\n", ","};
    const std::string& usual = separators[Uniform(rng, 0, int(separators.size()) - 1)];
    const int bets = Chance(rng, 10) ? 0 : Uniform(rng, 1, maxBets);
    const int lo = Chance(rng, 50) ? 1 : Uniform(rng, 1, kBetCount);
    const int hi = Chance(rng, 50) ? kBetCount : std::min(kBetCount, lo + Uniform(rng, 0, 80));
    std::string text;
    if (Chance(rng, 10)) text += " ";
    for (int i = 0; i < bets; ++i) {
        const std::string bet = BetText(Uniform(rng, lo, hi));
        if (Chance(rng, 5)) {
            text += bet.substr(0, Uniform(rng, 1, 13));  // a cut bet
        } else if (Chance(rng, 3)) {
            text += RandomFrom(rng, "0123456789,. *\r\nab", Uniform(rng, 1, 5));
        } else {
            text += bet;
        }
        text += Chance(rng, 90) ? usual : separators[Uniform(rng, 0, int(separators.size()) - 1)];
    }
    return text;
}

// Two-digit or plain codes joined by dots, and the odd forms: no dots, doubled dots, stray
// digits, letters, empty.
inline std::string RandomTolerance(std::mt19937_64& rng, int maxCount, bool twoDigit) {
    switch (Uniform(rng, 0, 9)) {
        case 0:
            return "";
        case 1:
            return RandomFrom(rng, "0123456789.", Uniform(rng, 1, 12));
        case 2:
            return RandomFrom(rng, "0123456789. x", Uniform(rng, 1, 6));
        default:
            break;
    }
    std::string out;
    const int codes = Uniform(rng, 1, 5);
    const std::string separator = Chance(rng, 80) ? "." : (Chance(rng, 50) ? "" : "..");
    for (int i = 0; i < codes; ++i) {
        const int count = Uniform(rng, 0, maxCount + 1);
        std::string code = std::to_string(count);
        if (twoDigit && count < 10 && Chance(rng, 85)) code = "0" + code;
        if (i > 0) out += separator;
        out += code;
    }
    if (Chance(rng, 10)) out = " " + out + " ";
    return out;
}

// Banker numbers joined by dots, with empty pieces, one-digit pieces and junk.
inline std::string RandomBankers(std::mt19937_64& rng) {
    switch (Uniform(rng, 0, 7)) {
        case 0:
            return "";
        case 1:
            return RandomFrom(rng, "0123456789.,", Uniform(rng, 1, 10));
        case 2:
            return std::vector<std::string>{"..",  ".",   "1",     "2.", "02.04.",
                                            ".03", "1,0", "02,03", " 02"}[Uniform(rng, 0, 8)];
        default:
            break;
    }
    std::string out;
    const int pieces = Uniform(rng, 1, 6);
    for (int i = 0; i < pieces; ++i) {
        if (i > 0) out += ".";
        const int n = Uniform(rng, 1, 11);
        out += Chance(rng, 85) ? (n < 10 ? "0" : "") + std::to_string(n) : std::to_string(n);
    }
    return out;
}

}  // namespace xuan5::testing
