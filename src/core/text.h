// Text helpers shared by the engine. The system keeps its data as text and reads numbers
// leniently, so these follow one set of rules everywhere: only spaces are trimmed, numbers are
// read from the front of a text, real values round half to even.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace xuan5 {

inline constexpr std::string_view kCrLf = "\r\n";

// Removes leading and trailing spaces (not tabs or line breaks).
std::string_view TrimSpaces(std::string_view text);

// The leading number of a text: spaces anywhere are skipped, then an optional sign, digits and
// an optional fraction. A text with no leading number reads as 0.
double LeadingNumber(std::string_view text);

// Rounds to the nearest integer, halves to the even neighbour.
double RoundHalfEven(double value);

// Decimal text with at least `width` digits, zero-padded ("000" pattern for width 3).
std::string PadNumber(long long value, int width);

// A strict 32-bit integer reading: optional surrounding spaces, optional sign, digits, an
// optional fraction (rounded half to even). Anything else, or a value outside 32 bits, is
// nullopt.
std::optional<std::int32_t> ParseInteger32(std::string_view text);

// Whether a text is one or more ASCII digits.
bool AllDigits(std::string_view text);

// The value of a text of digits (checked with AllDigits; short enough not to overflow).
int DigitsValue(std::string_view digits);

// Splits at every occurrence of `separator`. An empty text gives no parts, otherwise
// n separators give n + 1 parts (empty ones included).
std::vector<std::string_view> SplitText(std::string_view text, std::string_view separator);

// Whether `needle` occurs in `text`. An empty needle occurs in every non-empty text.
bool Contains(std::string_view text, std::string_view needle);

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

std::string JoinText(const std::vector<std::string>& parts, std::string_view separator);

// The items of a text separated by spaces, tabs or line breaks, one per line (joined by
// `lineBreak`): the one form in which bets leave the program, whichever way a box holds them.
std::string OnePerLine(std::string_view text, std::string_view lineBreak = kCrLf);

}  // namespace xuan5
