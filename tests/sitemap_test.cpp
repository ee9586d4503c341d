#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "package/sitemap.h"

// Records are built with designated initialisers; the fields left out keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace bcnk {
namespace {

const Text kToday = u"2026-12-07";

TEST(SitemapDate, ReadsHttpDatesAndTheirOlderForms) {
    struct Row {
        Text input;
        Text expected;
    };
    const std::vector<Row> rows = {
        {u"Tue, 15 Nov 1994 08:12:31 GMT", u"1994-11-15"},
        {u"Sun Nov  6 08:49:37 1994", u"1994-11-06"},
        {u"Sunday, 06-Nov-94 08:49:37 GMT", u""},  // two-digit year
        {u"", u""},
        {u"garbage", u""},
        {u"15 November 2024", u"2024-11-15"},
        {u"15 NOV 2024", u"2024-11-15"},
        {u"Fri, 31 Feb 2023 00:00:00 GMT", u""},  // no such day
        {u"Wed, 29 Feb 2023", u""},
        {u"Thu, 29 Feb 2024", u"2024-02-29"},  // leap year
        {u"Tue, 29 Feb 2000", u"2000-02-29"},
        {u"Thu, 31 Apr 2025", u""},
        {u"Wed, 31 Dec 2025", u"2025-12-31"},
        {u"Mayday 12 2020", u""},  // a word that only begins like a month
        {u"12 Sept 2020", u""},
        {u"Fri, 31 Dec 9999 23:59:59 GMT", u""},  // beyond next year
        {u"Fri, 01 Jan 2027", u"2027-01-01"},
        {u"Sun, 31 Dec 1989", u""},  // before any real Last-Modified
        {u"Mon, 01 Jan 1990", u"1990-01-01"},
        {u"Wed, 32 Feb 2024", u""},
        {u"Wed, 0 Feb 2024", u""},
        {u"Feb 2024", u""},                          // no day at all
        {u"Wed, 01 Feb 0000", u""},                  // year 0
        {u"Wed, 01 Feb 12345 2023", u"2023-02-01"},  // first four-digit token is the year
        {u"Wed, 01 Feb 2023 1999", u"2023-02-01"},
        {u"Mo, 7 Ju 2024", u""},  // month names need three letters
        {u"x 7 Jul 2024", u"2024-07-07"},
        {u"Jul 007 2024", u""},       // a day has at most two digits
        {u"1\u0661 Jul 2024", u""},   // only ASCII digits count
        {u"Tue,\t15 Nov 1994", u""},  // a tab does not split, so the day token is "\t15"
        {u"Tue 15/Nov/1994", u""},    // slashes do not split
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.input.begin(), row.input.end()));
        EXPECT_EQ(SitemapDate(row.input, 2027), row.expected);
    }
}

ScanResult MixedScan() {
    ScanResult scan;
    scan.baseUrl = u"https://example.com";
    scan.pages = {
        {.url = u"https://example.com/",
         .lastModified = u"Tue, 15 Nov 1994 08:12:31 GMT",
         .httpStatus = 200,
         .pageClass = PageClass::Index},
        {.url = u"https://example.com/p/a&b's", .httpStatus = 200, .pageClass = PageClass::Product},
        {.url = u"https://example.com/moved", .httpStatus = 301, .pageClass = PageClass::Product},
        {.url = u"https://example.com/search?q=x",
         .httpStatus = 200,
         .pageClass = PageClass::Guide},
        {.url = u"https://example.com/#top", .httpStatus = 200, .pageClass = PageClass::Index},
        {.url = u"https://example.com/blog/post",
         .lastModified = u"Sunday, 06-Nov-94 08:49:37 GMT",
         .httpStatus = 200,
         .pageClass = PageClass::Article},
        {.url = u"https://example.com/guide", .httpStatus = 200, .pageClass = PageClass::Guide},
        {.url = u"https://example.com/cart", .httpStatus = 200, .pageClass = PageClass::Utility},
        {.url = u"https://example.com/terms", .httpStatus = 200, .pageClass = PageClass::Legal},
        {.url = u"https://example.com/odd", .httpStatus = 200, .pageClass = PageClass::Other},
        {.url = u"https://example.com/bad", .httpStatus = 200, .pageClass = PageClass{42}},
    };
    return scan;
}

TEST(Sitemap, PlainListsEveryListablePage) {
    const Text expected =
        uR"(<?xml version="1.0" encoding="UTF-8"?>
<urlset xmlns="http://www.sitemaps.org/schemas/sitemap/0.9">
  <url>
    <loc>https://example.com/</loc>
    <lastmod>1994-11-15</lastmod>
    <changefreq>monthly</changefreq>
    <priority>1.0</priority>
  </url>
  <url>
    <loc>https://example.com/p/a&amp;b&apos;s</loc>
    <lastmod>2026-12-07</lastmod>
    <changefreq>monthly</changefreq>
    <priority>0.9</priority>
  </url>
  <url>
    <loc>https://example.com/blog/post</loc>
    <lastmod>2026-12-07</lastmod>
    <changefreq>monthly</changefreq>
    <priority>0.8</priority>
  </url>
  <url>
    <loc>https://example.com/guide</loc>
    <lastmod>2026-12-07</lastmod>
    <changefreq>monthly</changefreq>
    <priority>0.7</priority>
  </url>
  <url>
    <loc>https://example.com/cart</loc>
    <lastmod>2026-12-07</lastmod>
    <changefreq>monthly</changefreq>
    <priority>0.5</priority>
  </url>
  <url>
    <loc>https://example.com/terms</loc>
    <lastmod>2026-12-07</lastmod>
    <changefreq>yearly</changefreq>
    <priority>0.2</priority>
  </url>
  <url>
    <loc>https://example.com/odd</loc>
    <lastmod>2026-12-07</lastmod>
    <changefreq>monthly</changefreq>
    <priority>0.5</priority>
  </url>
  <url>
    <loc>https://example.com/bad</loc>
    <lastmod>2026-12-07</lastmod>
    <changefreq>monthly</changefreq>
    <priority>0.5</priority>
  </url>
</urlset>
)";
    EXPECT_EQ(MakeSitemap(MixedScan(), false, kToday), expected);
}

TEST(Sitemap, AiVariantKeepsOnlyUsefulClasses) {
    const Text expected =
        uR"(<?xml version="1.0" encoding="UTF-8"?>
<urlset xmlns="http://www.sitemaps.org/schemas/sitemap/0.9">
  <url>
    <loc>https://example.com/</loc>
    <lastmod>1994-11-15</lastmod>
    <changefreq>monthly</changefreq>
    <priority>1.0</priority>
  </url>
  <url>
    <loc>https://example.com/p/a&amp;b&apos;s</loc>
    <lastmod>2026-12-07</lastmod>
    <changefreq>monthly</changefreq>
    <priority>0.9</priority>
  </url>
  <url>
    <loc>https://example.com/blog/post</loc>
    <lastmod>2026-12-07</lastmod>
    <changefreq>monthly</changefreq>
    <priority>0.8</priority>
  </url>
  <url>
    <loc>https://example.com/guide</loc>
    <lastmod>2026-12-07</lastmod>
    <changefreq>monthly</changefreq>
    <priority>0.7</priority>
  </url>
</urlset>
)";
    EXPECT_EQ(MakeSitemap(MixedScan(), true, kToday), expected);
}

TEST(Sitemap, NoListablePageGivesAnEmptyUrlset) {
    const Text empty =
        u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        u"<urlset xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">\n"
        u"</urlset>\n";
    EXPECT_EQ(MakeSitemap(ScanResult(), false, kToday), empty);
    EXPECT_EQ(MakeSitemap(ScanResult(), true, kToday), empty);

    ScanResult unlisted;
    unlisted.pages = {
        {.url = u"https://example.com/cart", .httpStatus = 200, .pageClass = PageClass::Utility},
        {.url = u"https://example.com/terms", .httpStatus = 200, .pageClass = PageClass::Legal}};
    EXPECT_EQ(MakeSitemap(unlisted, true, kToday), empty);

    // With a site address, the root stands in: the format wants at least one entry.
    unlisted.baseUrl = u"https://b\u00E4r.example";
    const Text root =
        u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        u"<urlset xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">\n"
        u"  <url>\n"
        u"    <loc>https://b%C3%A4r.example/</loc>\n"
        u"    <lastmod>2026-12-07</lastmod>\n"
        u"    <changefreq>monthly</changefreq>\n"
        u"    <priority>1.0</priority>\n"
        u"  </url>\n"
        u"</urlset>\n";
    EXPECT_EQ(MakeSitemap(unlisted, true, kToday), root);
}

std::size_t CountEntries(const Text& sitemap) {
    std::size_t count = 0;
    for (std::size_t at = sitemap.find(u"<url>"); at != Text::npos;
         at = sitemap.find(u"<url>", at + 1)) {
        ++count;
    }
    return count;
}

PageRecord NumberedPage(std::size_t number, PageClass pageClass) {
    PageRecord page;
    page.url = u"https://example.com/p" + NumberText(static_cast<long long>(number));
    page.httpStatus = 200;
    page.pageClass = pageClass;
    return page;
}

TEST(Sitemap, AiVariantStopsAtOneHundredEntries) {
    ScanResult scan;
    for (std::size_t i = 0; i < 20; ++i) {
        scan.pages.push_back(NumberedPage(1000 + i, PageClass::Legal));
    }
    for (std::size_t i = 0; i < 150; ++i) {
        scan.pages.push_back(NumberedPage(i, PageClass::Product));
    }
    const Text plain = MakeSitemap(scan, false, kToday);
    const Text ai = MakeSitemap(scan, true, kToday);
    EXPECT_EQ(CountEntries(plain), 170u);
    EXPECT_EQ(CountEntries(ai), 100u);
    EXPECT_NE(ai.find(u"<loc>https://example.com/p99</loc>"), Text::npos);
    EXPECT_EQ(ai.find(u"<loc>https://example.com/p100</loc>"), Text::npos);
}

TEST(Sitemap, PlainVariantStopsAtFiftyThousandEntries) {
    // Search engines refuse a whole sitemap above this size.
    ScanResult scan;
    for (std::size_t i = 0; i < 50002; ++i) {
        scan.pages.push_back(NumberedPage(i, PageClass::Article));
    }
    const Text plain = MakeSitemap(scan, false, kToday);
    EXPECT_EQ(CountEntries(plain), 50000u);
    EXPECT_NE(plain.find(u"<loc>https://example.com/p49999</loc>"), Text::npos);
    EXPECT_EQ(plain.find(u"<loc>https://example.com/p50000</loc>"), Text::npos);
}

TEST(Sitemap, LeavesOutAddressesNoReaderAccepts) {
    const Text prefix = u"https://example.com/";
    const Text longest = prefix + Text(2047 - prefix.size(), u'a');
    const Text tooLong = prefix + Text(2048 - prefix.size(), u'b');
    ScanResult scan;
    // Control characters are either forbidden in XML or altered by its readers (a carriage
    // return comes back as a line feed).
    for (const Text& url :
         {longest, tooLong, Text(u"https://example.com/\u0001x"), Text(u"https://example.com/a\tb"),
          Text(u"https://example.com/a\nb"), Text(u"https://example.com/a\rb"),
          Text(u"https://example.com/\uFFFEx"), Text(u""), Text(u"/relative"),
          Text(u"https://example.com/ok")}) {
        PageRecord page;
        page.url = url;
        page.httpStatus = 200;
        page.pageClass = PageClass::Product;
        scan.pages.push_back(page);
    }
    for (const bool aiVariant : {false, true}) {
        const Text text = MakeSitemap(scan, aiVariant, kToday);
        EXPECT_EQ(CountEntries(text), 2u);
        EXPECT_NE(text.find(u"<loc>" + longest + u"</loc>"), Text::npos);
        EXPECT_NE(text.find(u"<loc>https://example.com/ok</loc>"), Text::npos);
    }
}

TEST(Sitemap, EscapesAddressesAndListsEachPageOnce) {
    ScanResult scan;
    for (const Text& url :
         {Text(u"https://example.com/na\u00EFve page.html"),
          Text(u"https://example.com/caf%c3%a9.html"), Text(u"https://example.com/caf\u00E9.html"),
          Text(u"https://example.com/\"q\"<x>")}) {
        scan.pages.push_back({.url = url, .httpStatus = 200, .pageClass = PageClass::Product});
    }
    const Text text = MakeSitemap(scan, false, kToday);
    EXPECT_EQ(CountEntries(text), 3u);
    EXPECT_NE(text.find(u"<loc>https://example.com/na%C3%AFve%20page.html</loc>"), Text::npos);
    EXPECT_NE(text.find(u"<loc>https://example.com/caf%C3%A9.html</loc>"), Text::npos);
    EXPECT_NE(text.find(u"<loc>https://example.com/%22q%22%3Cx%3E</loc>"), Text::npos);
}

TEST(Sitemap, FallsBackToToday) {
    ScanResult scan;
    scan.pages = {NumberedPage(1, PageClass::Product)};
    const Text before = TodayDate();
    const Text text = MakeSitemap(scan, true);
    const Text after = TodayDate();
    EXPECT_TRUE(text == MakeSitemap(scan, true, before) || text == MakeSitemap(scan, true, after));
}

}  // namespace
}  // namespace bcnk
