#include "analysis/markup_index.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace bcnk {

namespace {

// Appends base + offset for every unit flagged in a 16-bit compare mask (two bits per
// unit, one kept).
inline void RecordAll(unsigned mask, size_t base, PositionList& positions) {
    size_t* out = positions.Room(8);
    size_t count = 0;
    while (mask != 0) {
        out[count++] = base + static_cast<size_t>(__builtin_ctz(mask)) / 2;
        mask &= mask - 1;
    }
    positions.Commit(count);
}

void Record(const char16_t unit, size_t position, MarkupIndex& index) {
    if (unit == u'<') {
        index.lessThanSigns.PushBack(position);
    } else if (unit == u'+') {
        index.plusSigns.PushBack(position);
    }
}

// Offset of "+" inside the JSON-LD marker.
constexpr size_t kPlusOffset = kJsonLdMarker.find(u'+');

size_t FirstAtOrAfter(const PositionList& positions, size_t from) {
    const auto it = std::lower_bound(positions.begin(), positions.end(), from);
    return it == positions.end() ? kNotFound : *it;
}

// Which known marker begins at the "<" at `position`, or kKnownTagMarkerCount for none.
// Dispatching on the unit behind "<" keeps this to one or two comparisons for most tags.
size_t KnownMarkerAt(TextView page, size_t position) {
    if (position + 1 >= page.size()) {
        return kKnownTagMarkerCount;
    }
    size_t first = 0, last = 0;  // candidate range in kKnownTagMarkers
    switch (FoldUnit(page[position + 1])) {
        case u'h':
            first = 0;
            last = 3;
            break;
        case u't':
            first = 3;
            last = 4;
            break;
        case u'm':
            first = 4;
            last = 5;
            break;
        case u'a':
            first = 5;
            last = 6;
            break;
        case u'/':
            first = 6;
            last = kKnownTagMarkerCount;
            break;
        default:
            return kKnownTagMarkerCount;
    }
    for (size_t kind = first; kind < last; ++kind) {
        if (MatchesFolded(page, position, kKnownTagMarkers[kind])) {
            return kind;
        }
    }
    return kKnownTagMarkerCount;
}

void SortKnownMarkers(TextView page, MarkupIndex& index) {
    for (const size_t position : index.lessThanSigns) {
        const size_t kind = KnownMarkerAt(page, position);
        if (kind < kKnownTagMarkerCount) {
            index.knownMarkers[kind].PushBack(position);
        }
    }
}

}  // namespace

void PositionList::Grow(size_t needed) {
    // Typical pages hold one tag per few dozen units, so lists start small and double.
    const size_t capacity = std::max({needed, capacity_ * 2, size_t{64}});
    std::unique_ptr<size_t[]> grown(new size_t[capacity]);
    if (count_ != 0) {
        std::memcpy(grown.get(), data_.get(), count_ * sizeof(size_t));
    }
    data_ = std::move(grown);
    capacity_ = capacity;
}

MarkupIndex IndexMarkup(TextView page) {
    MarkupIndex index;
    const size_t size = page.size();
    size_t position = 0;
#if defined(__SSE2__)
    const __m128i lessThan = _mm_set1_epi16(u'<');
    const __m128i plus = _mm_set1_epi16(u'+');
    while (position + 8 <= size) {
        const __m128i chunk =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(page.data() + position));
        // Two mask bits per unit; keep one.
        const __m128i lessThanHits = _mm_cmpeq_epi16(chunk, lessThan);
        const __m128i plusHits = _mm_cmpeq_epi16(chunk, plus);
        const __m128i anyHits = _mm_or_si128(lessThanHits, plusHits);
        if (_mm_movemask_epi8(anyHits) != 0) {
            // Two mask bits per unit; keep one.
            const auto bits = [](__m128i hits) {
                return static_cast<unsigned>(_mm_movemask_epi8(hits)) & 0x5555u;
            };
            if (const unsigned mask = bits(lessThanHits)) {
                RecordAll(mask, position, index.lessThanSigns);
            }
            if (const unsigned mask = bits(plusHits)) {
                RecordAll(mask, position, index.plusSigns);
            }
        }
        position += 8;
    }
#endif
    for (; position < size; ++position) {
        Record(page[position], position, index);
    }
    SortKnownMarkers(page, index);
    return index;
}

size_t FindTagMarker(TextView page, const MarkupIndex& index, TextView foldedMarker, size_t from) {
    for (size_t kind = 0; kind < kKnownTagMarkerCount; ++kind) {
        if (foldedMarker == kKnownTagMarkers[kind]) {
            return FirstAtOrAfter(index.knownMarkers[kind], from);
        }
    }
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
