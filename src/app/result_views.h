#pragma once
// What the result views show, apart from how they are drawn: the page list's cell texts and
// sorting and the gauge's arc. The figures the console and the report show as well (score
// band and colour, class counts, summary) come from scan/result_figures.h.
#include <vector>

#include "common/text.h"
#include "scan/result_figures.h"
#include "scan/sitemap_figures.h"
#include "scan/scan_types.h"

namespace bcnk {

// MainWords (the words of the page's main content) came last, so it has the last index and
// is shown beside Words.
enum class PageColumn : int {
    Url = 0,
    Title = 1,
    Class = 2,
    Words = 3,
    Schema = 4,
    Indexable = 5,
    MainWords = 6
};
constexpr int kPageColumnCount = 7;

// Cell text of the page list; empty for a column outside 0..6. The schema and indexable
// columns are cut to 1023 units so that they fit the list's text buffer.
Text PageCellText(const PageRecord& page, int column);

// Kept for the life of the window: a new scan does not reset it, so the next click on the
// same column reverses the last direction.
struct PageSortState {
    int column = -1;
    bool ascending = true;
};

// A click on column 0..6: updates the state and reorders pages in place. Returns false
// (and changes nothing) for an empty list or a column outside 0..6.
bool SortPagesByColumn(std::vector<PageRecord>& pages, int column, PageSortState& state);

enum class CrawlerColumn : int { Crawler = 0, Operator = 1, Purpose = 2, Access = 3, Rule = 4 };
constexpr int kCrawlerColumnCount = 5;

// Cell text of the AI Crawlers list; empty for a column outside 0..4.
Text CrawlerCellText(const CrawlerAccess& row, int column);

// The rows above the crawlers in the AI Crawlers list: what the site declares about the use
// of its content, one row per purpose, in the crawler columns (the access column holds the
// declared answer: "Says yes", "Says no" or "Not said"; the rule column where it was declared
// and any conflict). None when the
// scan read neither robots.txt nor a page.
std::vector<std::vector<Text>> UsageRows(const ScanResult& result);

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

// Where the clockwise score arc that starts at the top of the ring ends.
Point ArcEndPoint(int centerX, int centerY, int radius, int score);

}  // namespace bcnk
