#pragma once
// One pass over a page that records where each "<" and "+" stands. Nearly every marker the
// page scanners look for begins with "<", and the one that does not ("application/ld+json")
// contains a "+", which is rare in pages. The scanners then search these short sorted lists
// instead of the whole page, once per marker. The ">" that ends a tag is near its "<", so it
// is found by a short scan instead.
// Positions are 0-based UTF-16 unit offsets into the indexed page.
#include <array>
#include <iterator>
#include <memory>

#include "analysis/text_scan.h"

namespace bcnk {

// Markers the page parser looks for again and again; each "<" begins at most one of them.
// Grouped by the unit behind "<" (see KnownMarkerAt).
inline constexpr TextView kKnownTagMarkers[] = {
    u"<html", u"<h1",   u"<h2",   u"<title",   u"<meta",
    u"<a",    u"</h1>", u"</h2>", u"</title>", u"</script>",
};
inline constexpr size_t kKnownTagMarkerCount = std::size(kKnownTagMarkers);

// A growing array of ascending positions. Unlike a vector it hands out room for a whole
// chunk of positions at once, uninitialised, so the indexing loop writes through a plain
// pointer: positions are dense in markup and a check per position shows in profiles.
class PositionList {
  public:
    const size_t* begin() const { return data_.get(); }
    const size_t* end() const { return data_.get() + count_; }
    size_t size() const { return count_; }
    size_t operator[](size_t at) const { return data_[at]; }

    // Room for `more` positions behind the last; Commit says how many were written.
    size_t* Room(size_t more) {
        if (count_ + more > capacity_)
            Grow(count_ + more);
        return data_.get() + count_;
    }
    void Commit(size_t written) { count_ += written; }
    void PushBack(size_t position) {
        *Room(1) = position;
        Commit(1);
    }

  private:
    void Grow(size_t needed);

    std::unique_ptr<size_t[]> data_;
    size_t count_ = 0;
    size_t capacity_ = 0;
};

struct MarkupIndex {
    PositionList lessThanSigns;
    PositionList plusSigns;
    // Positions of the "<" that begins each known marker, per marker.
    std::array<PositionList, kKnownTagMarkerCount> knownMarkers;
};

MarkupIndex IndexMarkup(TextView page);

// Position of the first occurrence of `foldedMarker`, which must begin with "<", at or after
// `from`; kNotFound when there is none.
size_t FindTagMarker(TextView page, const MarkupIndex& index, TextView foldedMarker, size_t from);

// Position of the first "application/ld+json" (any letter case) at or after `from`.
size_t FindJsonLdMarker(TextView page, const MarkupIndex& index, size_t from);

inline constexpr TextView kJsonLdMarker = u"application/ld+json";

}  // namespace bcnk
