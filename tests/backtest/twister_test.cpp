#include "backtest/twister.h"

#include <gtest/gtest.h>

#include <random>

namespace xuan5 {
namespace {

TEST(Twister, DrawsStdMt19937_64sNumbersSeedForSeed) {
    for (std::uint64_t seed : {0ull, 1ull, 5489ull, 0xFFFFFFFFFFFFFFFFull, 0x9E3779B97F4A7C15ull}) {
        std::mt19937_64 standard(seed);
        Twister twister(seed);
        // Past three refills of the state.
        for (int i = 0; i < 1000; ++i) ASSERT_EQ(twister(), standard()) << seed << " " << i;
    }
}

}  // namespace
}  // namespace xuan5
