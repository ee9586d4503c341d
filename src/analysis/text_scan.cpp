#include "analysis/text_scan.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace bcnk {

size_t FindUnit(TextView text, char16_t unit, size_t from) {
    const size_t size = text.size();
    size_t index = from;
#if defined(__SSE2__)
    // Pages are scanned for a handful of markers many times over; eight units per compare
    // keeps those scans far below the cost of decoding the body.
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

bool MatchesFolded(TextView text, size_t position, TextView foldedPattern) {
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

size_t FindFolded(TextView text, TextView foldedPattern, size_t from) {
    if (from > text.size()) {
        return kNotFound;
    }
    if (foldedPattern.empty()) {
        return from;
    }
    const char16_t first = foldedPattern.front();
    const bool isLetter = first >= u'a' && first <= u'z';
    const size_t last = text.size() - std::min(text.size(), foldedPattern.size() - 1);
    for (size_t index = from; index < last; ++index) {
        if (isLetter ? FoldUnit(text[index]) != first : text[index] != first) {
            continue;
        }
        if (MatchesFolded(text, index, foldedPattern)) {
            return index;
        }
    }
    return kNotFound;
}

}  // namespace bcnk
