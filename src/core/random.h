// The randomness helpers: a mixing step that spreads seeds, and uniform reals from a generator.
#pragma once

#include <cstdint>
#include <random>

namespace xuan5 {

// One SplitMix64 step: advances `state` and returns its mixed value. Fixed by its definition,
// unlike the standard distributions, so seeded runs agree on every build.
inline std::uint64_t SplitMix64(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// A uniform integer below `bound` (> 0) from SplitMix64 steps, unbiased by rejection; the
// standard distributions differ between libraries, which would break seeded agreement.
inline std::uint64_t UniformBelow(std::uint64_t& state, std::uint64_t bound) {
    const std::uint64_t limit = ~std::uint64_t{0} - (~std::uint64_t{0} % bound);
    for (;;) {
        const std::uint64_t r = SplitMix64(state);
        if (r < limit) return r % bound;
    }
}

// A uniform real in [0, 1) from a 64-bit generator (53 random bits). The conversion goes through
// a signed integer, which needs none of the checks of an unsigned one, to the same value.
template <typename Generator>
inline double NextUnit(Generator& rng) {
    return static_cast<double>(static_cast<std::int64_t>(rng() >> 11)) * 0x1.0p-53;
}

}  // namespace xuan5
