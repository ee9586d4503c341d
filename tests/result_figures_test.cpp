// The score band, class counts and summary line every front end shows.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "scan/result_figures.h"

namespace bcnk {
namespace {

TEST(ScoreBandWord, BandEdges) {
    const std::pair<int, const char16_t*> cases[] = {
        {100, u"Good"}, {75, u"Good"},       {74, u"Fair"},
        {45, u"Fair"},  {44, u"Needs work"}, {0, u"Needs work"},
    };
    for (const auto& [score, word] : cases) {
        EXPECT_EQ(ScoreBandWord(score), word) << score;
    }
}

TEST(PageClassCountRows, OtherGathersUtilityIndexAndUnclassified) {
    struct Case {
        std::vector<std::pair<PageClass, int>> pages;  // class and how many of it
        std::array<int, 5> counts;
    };
    const Case cases[] = {
        {{{PageClass::Index, 1},
          {PageClass::Utility, 2},
          {PageClass::Product, 1},
          {PageClass::Article, 1},
          {PageClass::Guide, 1},
          {PageClass::Legal, 2},
          {PageClass::Other, 1},
          {static_cast<PageClass>(42), 1}},
         {1, 1, 1, 2, 5}},
        {{{PageClass::Index, 12}, {PageClass::Utility, 3}}, {0, 0, 0, 0, 15}},
        {{}, {0, 0, 0, 0, 0}},
    };
    const char16_t* labels[] = {u"Product pages", u"Articles", u"Guides", u"Legal", u"Other"};
    for (const Case& item : cases) {
        std::vector<PageRecord> pages;
        for (const auto& [pageClass, count] : item.pages) {
            PageRecord page;
            page.pageClass = pageClass;
            pages.insert(pages.end(), static_cast<size_t>(count), page);
        }
        const auto rows = PageClassCountRows(pages);
        for (size_t index = 0; index < rows.size(); ++index) {
            EXPECT_EQ(Text(rows[index].label), labels[index]);
            EXPECT_EQ(rows[index].count, item.counts[index]) << WideToUtf8(labels[index]);
        }
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
