#include "backtest/twister.h"

namespace xuan5 {

Twister::Twister(result_type seed) {
    state_[0] = seed;
    for (std::size_t i = 1; i < kWords; ++i) {
        const std::uint64_t x = state_[i - 1];
        state_[i] = 6364136223846793005ull * (x ^ (x >> 62)) + i;
    }
}

void Twister::Refill() {
    constexpr std::size_t kShift = 156;
    constexpr std::uint64_t kUpper = ~std::uint64_t{0} << 31;
    constexpr std::uint64_t kMatrix = 0xB5026F5AA96619E9ull;
    // Word i from words i, i + 1 and i + 156, all taken round the end of the state.
    const auto twist = [&](std::size_t i, std::size_t next, std::size_t shifted) {
        const std::uint64_t y = (state_[i] & kUpper) | (state_[next] & ~kUpper);
        // The matrix when the low bit is set, by a mask rather than a branch.
        state_[i] = state_[shifted] ^ (y >> 1) ^ (kMatrix & (0 - (y & 1)));
    };
    for (std::size_t i = 0; i < kWords - kShift; ++i) twist(i, i + 1, i + kShift);
    for (std::size_t i = kWords - kShift; i < kWords - 1; ++i) twist(i, i + 1, i + kShift - kWords);
    twist(kWords - 1, 0, kShift - 1);
    next_ = 0;
}

}  // namespace xuan5
