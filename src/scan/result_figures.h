#pragma once
// The few figures every front end shows about a finished scan: the score's band, the page
// counts per class and the one-line summary.
#include <array>
#include <vector>

#include "common/text.h"
#include "scan/scan_types.h"

namespace bcnk {

// "Good" from 75, "Fair" from 45, "Needs work" below.
Text ScoreBandWord(int score);

struct ClassCountRow {
    const char16_t* label;
    int count;
};

// The row of the per-class counts a page of this class is counted in: "Product pages",
// "Articles", "Guides", "Legal" or "Other" (Utility, Index and anything unclassified).
const char16_t* PageClassSummaryLabel(PageClass pageClass);

// The counts of those five rows, in that order.
std::array<ClassCountRow, 5> PageClassCountRows(const std::vector<PageRecord>& pages);

// "Domain: <host>     Pages: <n>     Scan Time: MM:SS", followed by
// "     (page limit reached - site may have more)" when the page limit cut the crawl short.
// Minutes grow past two digits for scans of 100 minutes or more.
Text ScanSummaryText(const ScanResult& result);

}  // namespace bcnk
