#pragma once
// Text helpers shared by every part of the program. Text inside the program is UTF-16 on
// every platform; byte strings (network bodies, file contents) are UTF-8 in std::string.
#include <string>
#include <string_view>
#include <vector>

namespace bcnk {

using Text = std::u16string;

// Folds only the 26 ASCII capitals; every other unit (Ä, İ, ...) is left alone and the
// length never changes, so results do not depend on any locale.
Text ToLower(const Text& text);

// Drops white-space units at both ends (IsWhiteSpaceUnit); inner white space is kept.
Text Trim(const Text& text);

// True when the ASCII-folded haystack contains the ASCII-folded needle; an empty needle
// is always contained.
bool ContainsNoCase(const Text& haystack, const Text& needle);

// Byte-string counterparts for raw bodies and file names that need no decoding: only the
// ASCII capitals fold, so UTF-8 sequences pass through untouched.
constexpr char AsciiLower(char byte) {
    return (byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte - 'A' + 'a') : byte;
}
bool ContainsNoCaseBytes(std::string_view haystack, std::string_view needle);

// Replaces " ' & < > by their entities, so the result is safe in any attribute value as
// well as in element text; control characters pass through.
Text XmlEscape(const Text& text);

// Makes text safe inside a JSON string literal (quotes not added). Units at or above
// U+0080, surrogate halves included, are copied unchanged.
Text JsonEscape(const Text& text);

// Today's local date as YYYY-MM-DD.
Text TodayDate();

// UTF-8 to UTF-16. Never fails: each maximal invalid subsequence becomes one U+FFFD,
// zero bytes and a leading byte-order mark are kept.
Text Utf8ToWide(const std::string& bytes);

// UTF-16 to UTF-8 without a byte-order mark; a lone surrogate becomes EF BF BD.
std::string WideToUtf8(const Text& text);

// U+0009..U+000D, U+0020, U+0085, U+00A0, and above U+00FF whatever the platform's
// character classification calls a space.
bool IsWhiteSpaceUnit(char16_t unit);

// ASCII-only text literal helper for places that build Text from narrow numbers.
Text AsciiToText(const std::string& ascii);

// Decimal form of an integer, as Text.
Text NumberText(long long value);

// The parts with separator between each two.
Text JoinTexts(const std::vector<Text>& parts, const Text& separator);

}  // namespace bcnk
