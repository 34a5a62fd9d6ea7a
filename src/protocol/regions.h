// The three regions as the program, the service and their databases number and name them: the
// one table of them.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/result.h"

namespace xuan5 {

inline constexpr int kRegionCount = 3;
// Region r (1..3) is kRegionNames[r - 1].
inline constexpr std::array<std::string_view, kRegionCount> kRegionNames = {"山东", "重庆", "广东"};

constexpr bool IsRegion(int region) {
    return region >= 1 && region <= kRegionCount;
}

// "山东" for 1; empty outside 1..3.
constexpr std::string_view RegionNameOf(int region) {
    return IsRegion(region) ? kRegionNames[static_cast<std::size_t>(region - 1)]
                            : std::string_view();
}

// A region number written as the requests write it ("1".."3"); anything else is invalid input.
Result<int> RegionFromText(std::string_view text);

// The SQL constraint that keeps a column of region numbers within the table.
std::string RegionCheckSql(std::string_view column);

}  // namespace xuan5
