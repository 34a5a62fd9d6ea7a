// The feed answer's framing, read by the program and written by the service:
//   **ok***-*<line 1>\r\n<line 2>...\r\n<line 120>*-*<anything>
// Each line holds a period (its first three characters) and the numbers (its last fourteen);
// what stands between them is free, and the service puts the draw's date there.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/dated_draw.h"
#include "core/result.h"

namespace xuan5 {

inline constexpr std::string_view kFeedSeparator = "*-*";
// What an answer that cannot be read as draws says; the status line shows it, no box.
inline constexpr const char* kMsgNoFeedData = "没有获取到数据";

// The payload lines of an answer (newest first): the text between the first two separators,
// split at CR LF. Fails with kMsgNoFeedData when the answer lacks the ok marker or the closing
// separator.
Result<std::vector<std::string_view>> FeedPayloadLines(std::string_view response);

// "045 2026-12-07 01,05,06,09,11": one payload line with the draw's date.
std::string FeedLineText(const DatedDraw& draw);

// The whole answer for payload lines, newest first, followed by a free trailer.
std::string FeedAnswerText(const std::vector<std::string>& lines, std::string_view trailer);

// The date a payload line carries between its period and its numbers; fails as ParseDrawDate
// does when that part holds no date ("045-01,05,06,09,11").
Result<std::string> FeedLineDate(std::string_view line);

// One payload line read: its period, numbers and date (empty when it carries none). Fails with
// kMsgNoFeedData when the line is too short, or its period or numbers are no valid draw.
Result<DatedDraw> ReadFeedLine(std::string_view line);

// The payload rows of an answer that carry a date, newest first, for archiving a fetch. Rows
// without a date, and rows that are no valid draw, are left out; only the first 120 lines count,
// as for the feed reader.
std::vector<DatedDraw> DatedFeedRows(std::string_view response);

}  // namespace xuan5
