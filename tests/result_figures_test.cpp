// The score band, class counts and summary line every front end shows.
#include <gtest/gtest.h>

#include "scan/result_figures.h"

namespace bcnk {
namespace {

TEST(ScoreBandWord, BandEdges) {
    const std::pair<int, const char16_t*> cases[] = {
        {100, u"Good"}, {75, u"Good"},      {74, u"Fair"}, {45, u"Fair"},
        {44, u"Needs work"}, {0, u"Needs work"},
    };
    for (const auto& [score, word] : cases) {
        EXPECT_EQ(ScoreBandWord(score), word) << score;
    }
}

TEST(PageClassCountRows, OtherGathersUtilityIndexAndUnclassified) {
    std::vector<PageRecord> pages;
    const PageClass classes[] = {PageClass::Index,   PageClass::Utility, PageClass::Utility,
                                 PageClass::Product, PageClass::Article, PageClass::Guide,
                                 PageClass::Legal,   PageClass::Legal,   PageClass::Other,
                                 static_cast<PageClass>(42)};
    for (PageClass pageClass : classes) {
        PageRecord page;
        page.pageClass = pageClass;
        pages.push_back(page);
    }
    const auto rows = PageClassCountRows(pages);
    const std::pair<Text, int> expected[] = {
        {u"Product pages", 1}, {u"Articles", 1}, {u"Guides", 1}, {u"Legal", 2}, {u"Other", 5}};
    for (size_t index = 0; index < rows.size(); ++index) {
        EXPECT_EQ(rows[index].label, expected[index].first);
        EXPECT_EQ(rows[index].count, expected[index].second);
    }
}

TEST(ScanSummaryText, TimeAndPageLimitNote) {
    ScanResult result;
    result.host = u"example.com";
    result.pages.resize(12);
    result.elapsedSeconds = 187;
    result.pageLimitReached = true;
    EXPECT_EQ(ScanSummaryText(result),
              u"Domain: example.com     Pages: 12     Scan Time: 03:07"
              u"     (page limit reached - site may have more)");

    result.pageLimitReached = false;
    result.elapsedSeconds = 6005;
    EXPECT_EQ(ScanSummaryText(result), u"Domain: example.com     Pages: 12     Scan Time: 100:05");
}

}  // namespace
}  // namespace bcnk
