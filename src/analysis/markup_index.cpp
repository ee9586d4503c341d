#include "analysis/markup_index.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace bcnk {

namespace {

// Appends base + k for every bit k set in a mask of one bit per unit.
inline void RecordAll(std::uint32_t mask, size_t base, PositionList& positions) {
    size_t* out = positions.Room(32);
    size_t count = 0;
    while (mask != 0) {
        out[count++] = base + static_cast<size_t>(__builtin_ctz(mask));
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

// A known marker as four-unit words, with the bits that fold a capital letter onto its small
// letter (0x20 at letter positions only, so no other unit can fold onto a marker unit) and
// the units that belong to the marker.
struct PackedMarker {
    size_t words = 0;
    std::uint64_t value[3] = {};
    std::uint64_t fold[3] = {};
    std::uint64_t used[3] = {};
};

constexpr PackedMarker Pack(TextView marker) {
    PackedMarker packed;
    packed.words = (marker.size() + 3) / 4;
    for (size_t k = 0; k < marker.size(); ++k) {
        const unsigned shift = static_cast<unsigned>(k % 4) * 16;
        const std::uint64_t unit = marker[k];
        packed.value[k / 4] |= unit << shift;
        packed.used[k / 4] |= std::uint64_t{0xFFFF} << shift;
        if (unit >= u'a' && unit <= u'z') {
            packed.fold[k / 4] |= std::uint64_t{0x20} << shift;
        }
    }
    return packed;
}

constexpr auto kPackedMarkers = [] {
    std::array<PackedMarker, kKnownTagMarkerCount> packed{};
    for (size_t kind = 0; kind < kKnownTagMarkerCount; ++kind) {
        packed[kind] = Pack(kKnownTagMarkers[kind]);
    }
    return packed;
}();

bool MatchesPacked(TextView page, size_t position, size_t kind) {
    const PackedMarker& marker = kPackedMarkers[kind];
    if (position + marker.words * 4 > page.size()) {
        return MatchesFolded(page, position, kKnownTagMarkers[kind]);
    }
    for (size_t word = 0; word < marker.words; ++word) {
        std::uint64_t units;
        std::memcpy(&units, page.data() + position + word * 4, sizeof units);
        if (((units | marker.fold[word]) & marker.used[word]) != marker.value[word]) {
            return false;
        }
    }
    return true;
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
        if (MatchesPacked(page, position, kind)) {
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
    // One bit per unit for 16 units: compare two chunks and pack the results to bytes.
    const auto bits16 = [&](const char16_t* units, __m128i wanted) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + 8));
        return static_cast<std::uint32_t>(_mm_movemask_epi8(
            _mm_packs_epi16(_mm_cmpeq_epi16(low, wanted), _mm_cmpeq_epi16(high, wanted))));
    };
    // Blocks of 32 units: tags are dense in pages, so nearly every block holds one and the
    // test for "any" stays predictable.
    while (position + 32 <= size) {
        const char16_t* units = page.data() + position;
        const std::uint32_t lessThanBits =
            bits16(units, lessThan) | (bits16(units + 16, lessThan) << 16);
        const std::uint32_t plusBits = bits16(units, plus) | (bits16(units + 16, plus) << 16);
        if (lessThanBits != 0) {
            RecordAll(lessThanBits, position, index.lessThanSigns);
        }
        if (plusBits != 0) {
            RecordAll(plusBits, position, index.plusSigns);
        }
        position += 32;
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
