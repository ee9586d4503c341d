#include "analysis/markup_index.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace bcnk {

namespace {

void Record(const char16_t unit, size_t position, MarkupIndex& index) {
    if (unit == u'<') {
        index.lessThanSigns.push_back(position);
    } else if (unit == u'+') {
        index.plusSigns.push_back(position);
    }
}

// Offset of "+" inside the JSON-LD marker.
constexpr size_t kPlusOffset = kJsonLdMarker.find(u'+');

}  // namespace

MarkupIndex IndexMarkup(TextView page) {
    MarkupIndex index;
    // Typical pages hold one "<" per few dozen units.
    index.lessThanSigns.reserve(page.size() / 32 + 16);
    const size_t size = page.size();
    size_t position = 0;
#if defined(__SSE2__)
    const __m128i lessThan = _mm_set1_epi16(u'<');
    const __m128i plus = _mm_set1_epi16(u'+');
    while (position + 8 <= size) {
        const __m128i chunk =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(page.data() + position));
        const __m128i hits =
            _mm_or_si128(_mm_cmpeq_epi16(chunk, lessThan), _mm_cmpeq_epi16(chunk, plus));
        // Two mask bits per unit; keep one.
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits)) & 0x5555u;
        while (mask != 0) {
            const size_t at = position + static_cast<size_t>(__builtin_ctz(mask)) / 2;
            Record(page[at], at, index);
            mask &= mask - 1;
        }
        position += 8;
    }
#endif
    for (; position < size; ++position) {
        Record(page[position], position, index);
    }
    return index;
}

size_t FindTagMarker(TextView page, const MarkupIndex& index, TextView foldedMarker, size_t from) {
    const auto& positions = index.lessThanSigns;
    for (auto it = std::lower_bound(positions.begin(), positions.end(), from);
         it != positions.end(); ++it) {
        if (MatchesFolded(page, *it, foldedMarker)) {
            return *it;
        }
    }
    return kNotFound;
}

size_t FindJsonLdMarker(TextView page, const MarkupIndex& index, size_t from) {
    const auto& positions = index.plusSigns;
    for (auto it = std::lower_bound(positions.begin(), positions.end(), from + kPlusOffset);
         it != positions.end(); ++it) {
        if (MatchesFolded(page, *it - kPlusOffset, kJsonLdMarker)) {
            return *it - kPlusOffset;
        }
    }
    return kNotFound;
}

}  // namespace bcnk
