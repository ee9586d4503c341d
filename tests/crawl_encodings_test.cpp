#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "support/crawl_session.h"
#include "support/fixture.h"

namespace bcnk {
namespace {

using namespace test;

// Links written with character references are followed where a browser would go, and each
// page's text is read in the encoding its header or its <meta> names.
TEST(Crawl, LinksAndTextAsBrowsersReadThem) {
    BCNK_REQUIRE_FIXTURE();
    const ScanResult result = RunCrawl(TestOptions(SiteAddress("encodings", "/"), 1)).result;
    using Facts = std::tuple<Text, Text, Text>;
    std::vector<Facts> pages;
    for (const PageRecord& page : result.pages) {
        pages.emplace_back(page.url, page.title, page.h1);
    }
    const std::vector<Facts> expected = {
        {SiteAddress("encodings", "/"), u"Encodings", u"Pages in their own encodings"},
        // The header names ISO-8859-1 (read as windows-1252) and beats the page's <meta>.
        {SiteAddress("encodings", "/latin.html?a=1&b=2"), u"Caf\u00E9 Cr\u00E8me \u20AC",
         u"Caf\u00E9"},
        {SiteAddress("encodings", "/koi.html"), u"\u041F\u0440\u0438\u0432\u0435\u0442",
         u"\u041C\u0438\u0440"},
        {SiteAddress("encodings", "/sjis.html"), u"\u65E5\u672C\u8A9E", u"\u30DA\u30FC\u30B8"},
    };
    EXPECT_EQ(pages, expected);
}

}  // namespace
}  // namespace bcnk
