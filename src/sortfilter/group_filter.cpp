#include "sortfilter/group_filter.h"

#include <array>
#include <bit>
#include <exception>
#include <vector>

#include "core/bets.h"
#include "core/text.h"

namespace xuan5 {
namespace {

constexpr std::array<std::string_view, 12> kTwoDigit = {"00", "01", "02", "03", "04", "05",
                                                        "06", "07", "08", "09", "10", "11"};

bool Accepts(std::string_view accepted, std::size_t count) {
    return accepted.find(std::to_string(count)) != std::string_view::npos;
}

// A filter line reduced to what a bet needs: per group the numbers whose two-digit text occurs
// in the group's text, and which touched-group counts the line accepts.
struct ParsedLine {
    std::vector<unsigned> groupMasks;
    std::vector<bool> acceptsTouched;  // index = number of touched groups
};

std::optional<ParsedLine> ParseLine(std::string_view line) {
    if (line.find_first_not_of(' ') == std::string_view::npos) return std::nullopt;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    const std::string_view grouping = line.substr(0, eq);
    if (grouping.find('*') == std::string_view::npos) return std::nullopt;
    std::string_view accepted = line.substr(eq + 1);
    accepted = accepted.substr(0, accepted.find('='));

    ParsedLine parsed;
    for (std::string_view group : SplitText(grouping, "*")) {
        unsigned mask = 0;
        // Substring membership: numbers written without separators can match across their
        // boundary ("0110" holds 01, 11 and 10), exactly as the text rule says.
        if (group.size() >= 2) {
            for (int n = 1; n <= 11; ++n)
                if (group.find(kTwoDigit[n]) != std::string_view::npos) mask |= 1u << n;
        }
        parsed.groupMasks.push_back(mask);
    }
    parsed.acceptsTouched.resize(parsed.groupMasks.size() + 1);
    for (std::size_t t = 0; t <= parsed.groupMasks.size(); ++t)
        parsed.acceptsTouched[t] = Accepts(accepted, t);
    return parsed;
}

}  // namespace

std::string CleanFilterInput(std::string_view text) {
    std::string cleaned;
    for (char ch : TrimSpaces(text)) {
        if (ch == '=' || ch == '*' || ch == ' ' || ch == '\r' || ch == '\n' ||
            (ch >= '0' && ch <= '9')) {
            cleaned.push_back(ch);
        }
    }
    return cleaned;
}

GroupFilterResult RunGroupFilter(std::string_view filterLines, std::string_view acceptedCounts) {
    GroupFilterResult result;
    result.value.filterText = CleanFilterInput(filterLines);
    if (result.value.filterText.empty()) return result;
    try {
        std::vector<ParsedLine> lines;
        for (std::string_view line : SplitText(result.value.filterText, kCrLf)) {
            if (auto parsed = ParseLine(line)) lines.push_back(std::move(*parsed));
        }
        std::vector<bool> acceptsSatisfied(lines.size() + 1);
        for (std::size_t s = 0; s <= lines.size(); ++s)
            acceptsSatisfied[s] = Accepts(acceptedCounts, s);

        BetSet kept;
        for (int bet = 1; bet <= kBetCount; ++bet) {
            unsigned betMask = 0;
            for (int n : BetNumbers(bet)) betMask |= 1u << n;
            std::size_t satisfied = 0;
            for (const ParsedLine& line : lines) {
                std::size_t touched = 0;
                for (unsigned m : line.groupMasks) touched += (m & betMask) != 0;
                satisfied += line.acceptsTouched[touched];
            }
            if (acceptsSatisfied[satisfied]) kept.Set(bet);
        }
        result.value.kept = RenderPlanBase(kept);
    } catch (const std::exception&) {
        result.notices.push_back({kMsgFilterFailed, kTitleNotice});
    }
    return result;
}

AddFilterLineResult AddFilterLine(std::string_view filterLines, std::string_view candidate,
                                  std::string_view candidateCounts) {
    AddFilterLineResult result;
    if (TrimSpaces(candidate).empty() || TrimSpaces(candidateCounts).empty()) {
        result.notices.push_back({kMsgEnterData, kTitleWrong});
        result.value = {std::string(filterLines), std::string(candidate)};
        return result;
    }
    std::string box;
    if (!TrimSpaces(filterLines).empty()) {
        box.append(filterLines);
        box.append(kCrLf);
    }
    box.append(candidate);
    box.push_back('=');
    box.append(candidateCounts);
    result.value.filterText = std::move(box);
    return result;
}

}  // namespace xuan5
