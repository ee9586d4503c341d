#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/topics.h"
#include "analysis/word_chars.h"

namespace bcnk {
namespace {

using Texts = std::vector<Text>;

std::vector<PageRecord> PagesWithHeadings(const std::vector<Texts>& headingsPerPage) {
    std::vector<PageRecord> pages;
    for (const Texts& headings : headingsPerPage) {
        PageRecord page;
        page.headings = headings;
        pages.push_back(page);
    }
    return pages;
}

// One page per heading.
std::vector<PageRecord> PagesFromHeadings(const Texts& headings) {
    std::vector<Texts> perPage;
    for (const Text& heading : headings)
        perPage.push_back({heading});
    return PagesWithHeadings(perPage);
}

Texts Repeated(const Text& heading, int times) {
    return Texts(static_cast<size_t>(times), heading);
}

Texts Concat(std::initializer_list<Texts> parts) {
    Texts all;
    for (const Texts& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(TokenizeHeading, SplitsOnEverythingButLettersAndDigits) {
    struct Row {
        Text heading;
        Texts words;
    };
    const std::vector<Row> rows = {
        {u"How-to Guide", {u"how", u"to", u"guide"}},
        {u"Don't  stop", {u"don", u"t", u"stop"}},
        {u"Release 2024!", {u"release", u"2024"}},
        {u"\u00C4pfel na\u00EFve \u00B5m \u00AA\u00BA \u00B2\u00B3\u00B9",
         {u"\u00C4pfel", u"na\u00EFve", u"\u00B5m", u"\u00AA\u00BA", u"\u00B2\u00B3\u00B9"}},
        {u"3\u00D74\u00F72 \u00BD\u00A0x", {u"3", u"4", u"2", u"x"}},
        {u"\u041F\u0440\u0438\u0432\u0435\u0442 \u043C\u0438\u0440",
         {u"\u041F\u0440\u0438\u0432\u0435\u0442", u"\u043C\u0438\u0440"}},
        {u"\u65E5\u672C\u8A9E\u3000\u30C6\u30B9\u30C8",
         {u"\u65E5\u672C\u8A9E", u"\u30C6\u30B9\u30C8"}},
        {u"a\u2014b\U0001F600c", {u"a", u"b", u"c"}},
        {u"", {}},
        {u" -- ", {}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(TokenizeHeading(row.heading), row.words);
    }
}

TEST(IsWordUnit, PlatformClassificationAboveLatin1) {
    for (const char16_t unit : {u'\u0416', u'\u03A9', u'\u4E00', u'\u0663', u'\uFF21', u'\u05D0'}) {
        EXPECT_TRUE(IsWordUnit(unit)) << static_cast<int>(unit);
    }
    for (const char16_t unit :
         {u'\u2014', u'\u3000', u'\u2019', u'\u20AC', char16_t{0xD83D}, char16_t{0xDE00}}) {
        EXPECT_FALSE(IsWordUnit(unit)) << static_cast<int>(unit);
    }
}

TEST(WordLists, StopNameAndBoilerplate) {
    for (const Text word : {u"the", u"by", u"faq", u"pricing", u"windows", u"xy", u"talvenn"}) {
        EXPECT_TRUE(IsStopWord(word));
    }
    for (const Text word : {u"where", u"which", u"backup", u"The"}) {
        EXPECT_FALSE(IsStopWord(word));
    }
    EXPECT_TRUE(IsNameWord(u"vaskel"));
    EXPECT_FALSE(IsNameWord(u"vaskels"));
    for (const Text phrase : {u"privacy policy", u"cookie policy update", u"asked questions",
                              u"read the release notes", u"related"}) {
        EXPECT_TRUE(IsBoilerplatePhrase(phrase));
    }
    for (const Text phrase : {u"policy update", u"key takeaways2", u"reading list"}) {
        EXPECT_FALSE(IsBoilerplatePhrase(phrase));
    }
}

TEST(MakePhrase, TrimsEdgesAndRejects) {
    struct Row {
        Texts words;
        size_t first;
        size_t end;
        Text phrase;
    };
    const std::vector<Row> rows = {
        {{u"backup", u"free", u"software"}, 0, 3, u"backup free software"},
        {{u"free", u"backup", u"tools"}, 0, 3, u"backup tools"},
        {{u"free", u"backup"}, 0, 2, u""},
        {{u"talvenns", u"backup", u"guide"}, 0, 3, u"backup guide"},
        {{u"backup", u"talvenns", u"guide"}, 0, 3, u""},
        {{u"tools", u"windows"}, 0, 2, u""},
        {{u"privacy", u"policy"}, 0, 2, u""},
        {{u"cookie", u"policy", u"update"}, 0, 3, u""},
        {{u"policy", u"update"}, 0, 2, u"policy update"},
        {{u"pricing", u"plans"}, 0, 2, u""},
        {{u"x", u"cloud", u"sync", u"engine", u"y"}, 1, 4, u"cloud sync engine"},
        {{u"cloud", u"sync", u"engine", u"core"}, 0, 4, u""},
        {{u"cloud", u"sync"}, 1, 9, u""},
        {{u"cloud", u"sync"}, 0, 9, u"cloud sync"},
        {{u"cloud", u"sync"}, 2, 1, u""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(MakePhrase(row.words, row.first, row.end), row.phrase);
    }
}

TEST(ExtractTopics, Selection) {
    struct Row {
        const char* name;
        Texts headings;  // one page each
        int maxTopics;
        Texts topics;
    };
    const std::vector<Row> rows = {
        {"no headings", {}, 8, {}},
        {"nothing recurs", {u"Cloud Backup", u"Photo Editing"}, 8, {}},
        {"edge-keep word stays",
         {u"Free Backup Tools for Windows", u"Backup Tools Compared"},
         8,
         {u"backup tools"}},
        {"short and breaker words",
         Repeated(u"How to Back Up Windows Files", 2),
         8,
         {u"windows files"}},
        {"boilerplate", Repeated(u"Privacy Policy", 2), 8, {}},
        {"stop word trimmed to one word", Repeated(u"Our Pricing Plans", 2), 8, {}},
        {"name word at the edge", Repeated(u"Talvenns Backup Guide", 2), 8, {u"backup guide"}},
        {"name word inside", Repeated(u"Backup Talvenns Guide", 2), 8, {}},
        {"triple replaces its pairs",
         Concat({Repeated(u"Cloud Backup Software", 3), Repeated(u"Backup Software", 2)}),
         8,
         {u"cloud backup software"}},
        {"word boundaries respected",
         Concat({Repeated(u"Ebook Readers Reviewed", 3), Repeated(u"Book Readers", 2)}),
         8,
         {u"ebook readers reviewed", u"book readers"}},
        {"once per heading",
         Concat({Repeated(u"Backup Kits and Backup Kits", 2), Repeated(u"Restore Plans", 3)}),
         8,
         {u"restore plans", u"backup kits"}},
        {"limit", Repeated(u"Cloud Sync", 2), 0, {}},
        {"negative limit", Repeated(u"Cloud Sync", 2), -1, {}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ExtractTopics(PagesFromHeadings(row.headings), row.maxTopics), row.topics)
            << row.name;
    }
}

TEST(ExtractTopics, TiesGoToLongerPhrasesThenAlphabetical) {
    const Texts phrases = {u"delta echo",         u"alpha bravo",  u"golf hotel india",
                           u"juliet kilo",        u"lima mike",    u"november oscar papa",
                           u"quebec romeo",       u"sierra tango", u"uniform victor",
                           u"whiskey xray yankee"};
    Texts headings;
    for (const Text& phrase : phrases) {
        headings.push_back(phrase);
        headings.push_back(phrase);
    }
    EXPECT_EQ(
        ExtractTopics(PagesFromHeadings(headings), 8),
        (Texts{u"golf hotel india", u"november oscar papa", u"whiskey xray yankee", u"alpha bravo",
               u"delta echo", u"juliet kilo", u"lima mike", u"quebec romeo"}));
}

TEST(ExtractTopics, HeadingsOfOnePageCountSeparately) {
    EXPECT_EQ(ExtractTopics(PagesWithHeadings({{u"Cloud Sync", u"Cloud Sync"}}), 8),
              Texts{u"cloud sync"});
    // A site-wide heading on 20 pages outranks a phrase found 19 times.
    std::vector<Texts> pages(20, Texts{u"Offline Maps"});
    for (int k = 0; k < 19; ++k)
        pages[static_cast<size_t>(k)].push_back(u"Alpine Routes");
    EXPECT_EQ(ExtractTopics(PagesWithHeadings(pages), 8),
              (Texts{u"offline maps", u"alpine routes"}));
}

}  // namespace
}  // namespace bcnk
