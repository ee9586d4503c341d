#pragma once
// The few figures every front end shows about a finished scan: the score's band and its
// colour, the page counts per class and the one-line summary.
#include <array>
#include <vector>

#include "common/text.h"
#include "scan/scan_types.h"

namespace bcnk {

enum class ScoreBand { Good = 0, Fair = 1, NeedsWork = 2 };

// Good from 75, Fair from 45, NeedsWork below.
ScoreBand ScoreBandOf(int score);

// "Good", "Fair" or "Needs work".
Text ScoreBandWord(int score);

// Shown for an AI crawler whose access no robots.txt line decides (nothing matched "/").
inline constexpr const char16_t* kNoDecidingRuleText = u"no rule applies";

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb&) const = default;
};

// The colour of the score's band: the gauge's arc and its rating word share it.
Rgb ScoreColor(int score);

// The product's dark colour scheme: the window draws with it and the report's dark theme
// uses the same values.
inline constexpr Rgb kColorBackground{22, 26, 31};
inline constexpr Rgb kColorCard{30, 36, 43};
inline constexpr Rgb kColorField{51, 59, 71};
inline constexpr Rgb kColorText{230, 233, 236};
inline constexpr Rgb kColorDimText{154, 163, 173};
inline constexpr Rgb kColorAccent{63, 185, 80};
inline constexpr Rgb kColorAccentDark{52, 154, 68};
inline constexpr Rgb kColorGaugeRing{44, 52, 61};

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
