// std::mt19937_64's numbers, seed for seed, with its state refilled without a branch on each
// word's low bit. The standard library's refill branches on it and mispredicts half of those
// branches, which made that refill a third of the time of the search over fair archives; the
// candidate runs draw their bases from this one, and their plans stay the plan modes' own.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace xuan5 {

class Twister {
  public:
    using result_type = std::uint64_t;

    explicit Twister(result_type seed);

    static constexpr result_type min() { return 0; }
    static constexpr result_type max() { return ~result_type{0}; }

    result_type operator()() {
        if (next_ == kWords) Refill();
        result_type y = state_[next_++];
        y ^= (y >> 29) & 0x5555555555555555ull;
        y ^= (y << 17) & 0x71D67FFFEDA60000ull;
        y ^= (y << 37) & 0xFFF7EEE000000000ull;
        return y ^ (y >> 43);
    }

  private:
    static constexpr std::size_t kWords = 312;
    void Refill();

    std::array<std::uint64_t, kWords> state_;
    std::size_t next_ = kWords;
};

}  // namespace xuan5
