#pragma once
// Search primitives shared by the page scanners. Every search is case-insensitive for the
// ASCII letters only: a pattern is given in lower case and compared against the text as if
// the text had been folded with ToLower, which never moves a unit, so a position found here
// is valid in the unfolded text.
#include <cstddef>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace bcnk {

using TextView = std::u16string_view;

constexpr size_t kNotFound = TextView::npos;

constexpr char16_t FoldUnit(char16_t unit) {
    return (unit >= u'A' && unit <= u'Z') ? static_cast<char16_t>(unit + (u'a' - u'A')) : unit;
}

// Position of the first `unit` at or after `from`, or kNotFound. Inline: the page scanners
// call it once per tag, mostly for a ">" a few units away.
inline size_t FindUnit(TextView text, char16_t unit, size_t from) {
    const size_t size = text.size();
    size_t index = from;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi16(static_cast<short>(unit));
    while (index + 8 <= size) {
        const __m128i chunk =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + index));
        const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(chunk, wanted));
        if (mask != 0) {
            return index + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask))) / 2;
        }
        index += 8;
    }
#endif
    for (; index < size; ++index) {
        if (text[index] == unit) {
            return index;
        }
    }
    return kNotFound;
}

// True when the text at `position` starts with `foldedPattern` after folding.
inline bool MatchesFolded(TextView text, size_t position, TextView foldedPattern) {
    if (position > text.size() || text.size() - position < foldedPattern.size()) {
        return false;
    }
    for (size_t k = 0; k < foldedPattern.size(); ++k) {
        if (FoldUnit(text[position + k]) != foldedPattern[k]) {
            return false;
        }
    }
    return true;
}

// Position of the first occurrence of `foldedPattern` at or after `from`, or kNotFound.
// An empty pattern is found at `from` when `from` lies within the text.
size_t FindFolded(TextView text, TextView foldedPattern, size_t from);

}  // namespace bcnk
