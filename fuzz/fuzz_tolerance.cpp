// Any base, tolerance and banker texts: the set-based tolerance rule, banker filter and backup
// intersection give exactly what the literal text searches give.
//
// Input: one flag byte (bit 0 banker filter on, bit 1 plain codes), then fields separated by
// "|": the base texts, then the tolerance, the banker numbers and the banker tolerance.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "oracle/literal_plans.h"
#include "plans/tolerance.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace xuan5;
    if (size == 0) return 0;
    const bool bankerOn = data[0] & 1;
    const bool plain = data[0] & 2;
    const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t bar = rest.find('|', start);
        fields.push_back(rest.substr(start, bar == std::string::npos ? bar : bar - start));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    while (fields.size() < 3) fields.insert(fields.begin(), std::string());
    const std::string bankerRc = fields.back();
    fields.pop_back();
    const std::string bankers = fields.back();
    fields.pop_back();
    const std::string tolerance = fields.back();
    fields.pop_back();
    if (fields.size() > 20) return 0;  // the system never counts more bases than this at once

    std::vector<BetSet> sets;
    for (const auto& base : fields) sets.push_back(BetSetFromText(base));
    const BankerSettings banker{bankerOn, bankers, bankerRc};
    const PlanBaseText fast = RenderPlanBase(
        ApplyToleranceRule(sets, tolerance, plain ? HitCode::Plain : HitCode::TwoDigit) &
        BankerPassSet(banker));
    const auto expected =
        literal::LiteralToleranceRule(fields, tolerance, !plain, {bankerOn, bankers, bankerRc});
    if (fast.text != expected.text || fast.count != std::to_string(expected.count)) std::abort();

    if (fields.size() <= 3) {
        BackupBasesInput input;
        for (std::size_t i = 0; i < 3; ++i) input.boxes[i] = i < fields.size() ? fields[i] : "";
        input.tolerance = tolerance;
        const BackupBasesOutput out = IntersectBackupBases(input);
        const auto backup = literal::LiteralIntersectBackupBases(input.boxes, tolerance);
        if (out.bets != backup.text) std::abort();
        if (out.count.has_value() != (backup.count >= 0)) std::abort();
        if (out.count && *out.count != std::to_string(backup.count)) {
            std::abort();
        }
    }
    return 0;
}
