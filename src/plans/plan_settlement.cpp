#include "plans/plan_settlement.h"

#include <algorithm>

#include "core/text.h"

namespace xuan5 {
RecordBasis MakeRecordBasis(const ResultRecordInput& input, const LineTexts& lineBases,
                            const std::vector<std::string>& instanceBases) {
    RecordBasis basis;
    basis.plan = BetSetFromText(input.plan.text);
    basis.size = RecordSize(input.plan.count);
    basis.modeTwo = input.useModeTwo;
    if (basis.modeTwo) return basis;
    const long long x = BoxInteger(input.instances);
    if (x > 1) {
        const long long available = static_cast<long long>(instanceBases.size()) - 1;
        for (long long i = 1; i <= std::min(x, available); ++i) {
            basis.tallied.push_back(instanceBases[static_cast<std::size_t>(i)]);
        }
        basis.tallyCount = std::to_string(x);
    } else {
        for (int i = 0; i < kLineCount; ++i) {
            if (input.checkedLines[i]) basis.tallied.push_back(lineBases[i]);
        }
        basis.tallyCount = input.checkedLineCount;
    }
    return basis;
}

JudgedRecord JudgeRecord(const RecordBasis& basis, const ResultWords& words, const DrawRecord& draw,
                         int key) {
    JudgedRecord judged;
    judged.hit = key != 0 && basis.plan.Test(key);
    std::string text = draw.period;
    text += kRecordMark;
    text += draw.numbers;
    text += "-" + basis.size + "注-";
    text += TrimSpaces(words[judged.hit ? 0 : 1]);
    judged.text = std::string(TrimSpaces(text));
    int holders = 0;
    if (key != 0) {
        for (const std::string& base : basis.tallied) holders += BaseHoldsKey(base, key) ? 1 : 0;
    }
    judged.tally = basis.modeTwo ? std::string(kModeTwoTally)
                                 : basis.tallyCount + "-" + std::to_string(holders);
    return judged;
}

}  // namespace xuan5
