#pragma once
// Search primitives shared by the page scanners. Every search is case-insensitive for the
// ASCII letters only: a pattern is given in lower case and compared against the text as if
// the text had been folded with ToLower, which never moves a unit, so a position found here
// is valid in the unfolded text.
#include <cstddef>
#include <string_view>

namespace bcnk {

using TextView = std::u16string_view;

constexpr size_t kNotFound = TextView::npos;

constexpr char16_t FoldUnit(char16_t unit) {
    return (unit >= u'A' && unit <= u'Z') ? static_cast<char16_t>(unit + (u'a' - u'A')) : unit;
}

// Position of the first `unit` at or after `from`, or kNotFound.
size_t FindUnit(TextView text, char16_t unit, size_t from);

// True when the text at `position` starts with `foldedPattern` after folding.
bool MatchesFolded(TextView text, size_t position, TextView foldedPattern);

// Position of the first occurrence of `foldedPattern` at or after `from`, or kNotFound.
// An empty pattern is found at `from` when `from` lies within the text.
size_t FindFolded(TextView text, TextView foldedPattern, size_t from);

}  // namespace bcnk
