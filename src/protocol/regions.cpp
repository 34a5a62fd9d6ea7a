#include "protocol/regions.h"

namespace xuan5 {

Result<int> RegionFromText(std::string_view text) {
    if (text.size() != 1 || text[0] < '1' || text[0] > '0' + kRegionCount)
        return Fail(
            Message{"no region number: " + std::string(text), "", Message::Kind::InvalidInput});
    return text[0] - '0';
}

std::string RegionCheckSql(std::string_view column) {
    return "CHECK(" + std::string(column) + " BETWEEN 1 AND " + std::to_string(kRegionCount) + ")";
}

}  // namespace xuan5
