#pragma once
// One pass over a page that records where each "<" and each "+" stands. Nearly every marker
// the page scanners look for begins with "<"; the one that does not ("application/ld+json")
// contains a "+", which is rare in pages. The scanners then walk these short lists instead
// of the whole page once per marker. Positions are 0-based UTF-16 unit offsets.
#include <vector>

#include "analysis/text_scan.h"

namespace bcnk {

struct MarkupIndex {
    std::vector<size_t> lessThanSigns;
    std::vector<size_t> plusSigns;
};

MarkupIndex IndexMarkup(TextView page);

// Position of the first occurrence of `foldedMarker`, which must begin with "<", at or after
// `from`; kNotFound when there is none.
size_t FindTagMarker(TextView page, const MarkupIndex& index, TextView foldedMarker, size_t from);

// Position of the first "application/ld+json" (any letter case) at or after `from`.
size_t FindJsonLdMarker(TextView page, const MarkupIndex& index, size_t from);

inline constexpr TextView kJsonLdMarker = u"application/ld+json";

}  // namespace bcnk
