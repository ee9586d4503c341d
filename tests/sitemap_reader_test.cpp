#include <gtest/gtest.h>
#include <zlib.h>

#include <atomic>
#include <string>
#include <vector>

#include "common/inflate_stream.h"
#include "net/http.h"
#include "scan/sitemap_audit.h"
#include "scan/sitemap_parser.h"
#include "scan/sitemap_reader.h"
#include "support/crawl_session.h"
#include "support/fixture.h"

namespace bcnk {
namespace {

struct Parsed {
    SitemapKind kind = SitemapKind::Unknown;
    std::vector<Text> urls;
    std::vector<Text> lastmods;
    bool limitReached = false;
};

// Feeds `file` in pieces of `step` bytes, so that every construct is also cut apart.
Parsed Parse(const std::string& file, size_t step, size_t maxEntries = kSitemapMaxEntries,
             size_t maxBytes = kSitemapMaxBytes) {
    Parsed parsed;
    SitemapParser parser(
        [&](const SitemapEntry& entry) {
            parsed.urls.push_back(entry.url);
            parsed.lastmods.push_back(entry.lastmod);
        },
        maxEntries, maxBytes);
    for (size_t at = 0; at < file.size(); at += step) {
        if (!parser.Feed(std::string_view(file).substr(at, step))) {
            break;
        }
    }
    parser.Finish();
    parsed.kind = parser.Kind();
    parsed.limitReached = parser.LimitReached();
    return parsed;
}

struct ParseCase {
    const char* name;
    std::string file;
    SitemapKind kind;
    std::vector<Text> urls;
};

const std::vector<ParseCase>& ParseCases() {
    static const std::vector<ParseCase> cases = {
        {"urlset with prolog, namespaces, entities and CDATA",
         "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- made by hand -->\n"
         "<urlset xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">"
         "<url><loc> http://s/a?x=1&amp;y=2 </loc></url>"
         "<url><loc><![CDATA[http://s/b]]]]></loc></url>"
         "<sm:url><sm:loc>http://s/c</sm:loc></sm:url></urlset>",
         SitemapKind::UrlSet,
         {u"http://s/a?x=1&y=2", u"http://s/b]]", u"http://s/c"}},
        {"image and video addresses inside an entry are not pages",
         "<urlset><url><loc>http://s/p</loc><image:image><image:loc>http://s/i.png</image:loc>"
         "</image:image></url><url><image:image><image:loc>http://s/j.png</image:loc>"
         "</image:image></url></urlset>",
         SitemapKind::UrlSet,
         {u"http://s/p"}},
        {"index", "<sitemapindex><sitemap><loc>http://s/1.xml</loc></sitemap>"
                  "<sitemap><loc>http://s/2.xml</loc><lastmod>2026-01-02</lastmod></sitemap>"
                  "</sitemapindex>",
         SitemapKind::Index,
         {u"http://s/1.xml", u"http://s/2.xml"}},
        {"text with CR LF, blanks and no last line end", "http://s/a\r\n\n  http://s/b \nhttp://s/c",
         SitemapKind::PlainText,
         {u"http://s/a", u"http://s/b", u"http://s/c"}},
        {"an HTML error page sent for the sitemap",
         "<!DOCTYPE html>\n<html><body><a href=\"http://s/x\">x</a><loc>http://s/y</loc></body>",
         SitemapKind::Html,
         {}},
        {"HTML without a doctype", "<HTML><urlset><url><loc>http://s/y</loc></url></urlset>",
         SitemapKind::Html,
         {}},
        {"another XML format", "<rss><channel><url><loc>http://s/y</loc></url></channel></rss>",
         SitemapKind::NotSitemap,
         {}},
        {"an empty <url> and an empty <loc> list nothing",
         "<urlset><url></url><url><loc></loc></url><url><loc/></url></urlset>",
         SitemapKind::UrlSet,
         {}},
        {"a comment holding markup", "<urlset><!-- <url><loc>http://s/no</loc></url> -->"
                                     "<url><loc>http://s/yes</loc></url></urlset>",
         SitemapKind::UrlSet,
         {u"http://s/yes"}},
    };
    return cases;
}

TEST(SitemapParser, ReadsEachFormWhateverThePiecesTheFileArrivesIn) {
    for (const ParseCase& row : ParseCases()) {
        for (const size_t step : {size_t{1}, size_t{7}, size_t{4096}}) {
            const Parsed parsed = Parse(row.file, step);
            EXPECT_EQ(parsed.kind, row.kind) << row.name << ", step " << step;
            EXPECT_EQ(parsed.urls, row.urls) << row.name << ", step " << step;
        }
    }
}

TEST(SitemapParser, KeepsTheEntrysLastmod) {
    const Parsed parsed = Parse(ParseCases()[2].file, 3);
    EXPECT_EQ(parsed.lastmods, (std::vector<Text>{u"", u"2026-01-02"}));
}

TEST(SitemapParser, StopsAtTheEntryAndByteLimits) {
    std::string file = "<urlset>";
    for (int i = 0; i < 100; ++i) {
        file += "<url><loc>http://s/" + std::to_string(i) + "</loc></url>\n";
    }
    file += "</urlset>";
    const Parsed byEntries = Parse(file, 64, 10);
    EXPECT_EQ(byEntries.urls.size(), 10u);
    EXPECT_TRUE(byEntries.limitReached);
    // 300 bytes hold the root and the first entries; the one the cut falls in is dropped.
    const Parsed byBytes = Parse(file, 64, kSitemapMaxEntries, 300);
    EXPECT_TRUE(byBytes.limitReached);
    EXPECT_GT(byBytes.urls.size(), 5u);
    EXPECT_LT(byBytes.urls.size(), 12u);
    EXPECT_EQ(byBytes.urls.back(), u"http://s/" + NumberText(byBytes.urls.size() - 1));
}

TEST(SitemapParser, DropsAddressesLongerThanCrawlersTake) {
    const std::string longPath(kSitemapMaxAddressLength + 10, 'a');
    const Parsed xml = Parse("<urlset><url><loc>http://s/" + longPath +
                                 "</loc></url><url><loc>http://s/ok</loc></url></urlset>",
                             512);
    EXPECT_EQ(xml.urls, std::vector<Text>{u"http://s/ok"});
    const Parsed text = Parse("http://s/" + longPath + "\nhttp://s/ok\n", 512);
    EXPECT_EQ(text.urls, std::vector<Text>{u"http://s/ok"});
}

std::string Gzip(const std::string& data) {
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, data.size()) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

TEST(InflateStream, DecodesGzipFedInPiecesAndRefusesCorruptData) {
    std::string plain;
    for (int i = 0; i < 20000; ++i) {
        plain += "line " + std::to_string(i) + "\n";
    }
    const std::string packed = Gzip(plain);
    ASSERT_TRUE(LooksGzipped(packed));
    EXPECT_FALSE(LooksGzipped(plain));
    std::string decoded;
    InflateStream inflate([&](std::string_view piece) {
        decoded.append(piece);
        return true;
    });
    for (size_t at = 0; at < packed.size(); at += 333) {
        inflate.Feed(std::string_view(packed).substr(at, 333));
    }
    EXPECT_TRUE(inflate.Ended());
    EXPECT_FALSE(inflate.Failed());
    EXPECT_EQ(decoded, plain);

    std::string corrupt = packed;
    corrupt[corrupt.size() / 2] ^= 0x55;
    corrupt[corrupt.size() / 2 + 1] ^= 0x55;
    InflateStream broken([](std::string_view) { return true; });
    bool accepted = true;
    for (size_t at = 0; at < corrupt.size() && accepted; at += 333) {
        accepted = broken.Feed(std::string_view(corrupt).substr(at, 333));
    }
    EXPECT_TRUE(broken.Failed() || !broken.Ended());
}

TEST(SitemapDates, BecomeHttpDatesOrNothing) {
    EXPECT_EQ(HttpDateOfSitemapDate(u"2026-11-30"), u"Mon, 30 Nov 2026 00:00:00 GMT");
    EXPECT_EQ(HttpDateOfSitemapDate(u" 2024-02-29T23:59:59+01:00 "),
              u"Thu, 29 Feb 2024 00:00:00 GMT");
    for (const Text& bad : {Text(u""), Text(u"2026-02-30"), Text(u"2026-13-01"),
                            Text(u"30.11.2026"), Text(u"2026-1-5")}) {
        EXPECT_EQ(HttpDateOfSitemapDate(bad), u"") << test::Narrow(bad);
    }
}

class ReadSitemapsFromSite : public ::testing::Test {
  protected:
    void SetUp() override {
        BCNK_REQUIRE_FIXTURE();
        ASSERT_TRUE(Http::Init());
    }
    static Text Atlas(const std::string& path) { return test::SiteAddress("atlas", path); }
    std::atomic<bool> cancel_{false};
};

TEST_F(ReadSitemapsFromSite, FollowsRobotsLinesAnIndexGzipAndText) {
    const Text origin = Atlas("");
    const SitemapReading reading = ReadSitemaps(
        origin, {Atlas("/sitemap_index.xml"), Atlas("/list.txt"), Atlas("/error-sitemap.xml")},
        u"TestBot/1.0", SitemapLimitsFor(500), cancel_);
    std::vector<Text> urls;
    for (const SitemapEntry& entry : reading.entries) {
        urls.push_back(entry.url);
    }
    EXPECT_EQ(urls, (std::vector<Text>{Atlas("/"), Atlas("/a.html"), Atlas("/c.html"),
                                       Atlas("/gone.html"), Atlas("/old.html"),
                                       Atlas("/private/secret.html"), Atlas("/d.html"),
                                       Atlas("/a.html?x=1&y=2"), Atlas("/e.html"),
                                       Atlas("/b.html")}));
    EXPECT_EQ(reading.entries[6].lastmod, u"2026-11-30T09:00:00+01:00");
    EXPECT_EQ(reading.otherSite, 2u);
    ASSERT_EQ(reading.files.size(), 6u);
    struct FileRow {
        Text url;
        Text kind;
        bool gzipped;
        Text problem;
    };
    const std::vector<FileRow> expected = {
        {Atlas("/sitemap_index.xml"), u"sitemap index", false, u""},
        {Atlas("/pages-1.xml.gz"), u"urlset", true, u""},
        {Atlas("/pages-2.xml.gz"), u"urlset", true, u""},
        {Atlas("/nested-index.xml"), u"sitemap index", false,
         u"an index inside an index: not followed"},
        {Atlas("/list.txt"), u"text", false, u""},
        {Atlas("/error-sitemap.xml"), u"HTML page", false, u"an HTML page, not a sitemap"},
    };
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(reading.files[i].url, expected[i].url);
        EXPECT_EQ(reading.files[i].kind, expected[i].kind) << test::Narrow(expected[i].url);
        EXPECT_EQ(reading.files[i].gzipped, expected[i].gzipped) << test::Narrow(expected[i].url);
        EXPECT_EQ(reading.files[i].problem, expected[i].problem) << test::Narrow(expected[i].url);
    }
}

TEST_F(ReadSitemapsFromSite, WithoutRobotsLinesTriesSitemapXmlAndSaysWhyNothingCame) {
    const SitemapReading reading =
        ReadSitemaps(Atlas(""), {}, u"TestBot/1.0", SitemapLimitsFor(500), cancel_);
    ASSERT_EQ(reading.files.size(), 1u);
    EXPECT_EQ(reading.files[0].url, Atlas("/sitemap.xml"));
    EXPECT_EQ(reading.files[0].problem, u"HTTP 404");
    EXPECT_TRUE(reading.entries.empty());
}

TEST_F(ReadSitemapsFromSite, RelativeAddressesAreTakenButCounted) {
    const SitemapReading reading = ReadSitemaps(Atlas(""), {u"/relative-sitemap.xml"},
                                                u"TestBot/1.0", SitemapLimitsFor(500), cancel_);
    ASSERT_EQ(reading.files.size(), 1u);
    EXPECT_EQ(reading.files[0].url, Atlas("/relative-sitemap.xml"));
    ASSERT_EQ(reading.entries.size(), 1u);
    EXPECT_EQ(reading.entries[0].url, Atlas("/c.html"));
    EXPECT_EQ(reading.relative, 1u);
    EXPECT_EQ(reading.relativeSamples, std::vector<Text>{u"/c.html"});
    EXPECT_EQ(reading.otherSite, 0u);
}

TEST_F(ReadSitemapsFromSite, ASixtyMebibyteSitemapIsReadToTheLimitAndTheCapHolds) {
    const SitemapReading reading = ReadSitemaps(Atlas(""), {Atlas("/huge-sitemap.xml")},
                                                u"TestBot/1.0", SitemapLimitsFor(100), cancel_);
    ASSERT_EQ(reading.files.size(), 1u);
    EXPECT_TRUE(reading.files[0].limitReached);
    // 50 MiB of 2,100-byte records: the cut falls in the last one's padding or its address.
    const int records = static_cast<int>(kSitemapMaxBytes / 2100);
    EXPECT_GE(reading.files[0].entries, records - 1);
    EXPECT_LE(reading.files[0].entries, records + 1);
    EXPECT_EQ(reading.entries.size(), 1000u);
    EXPECT_EQ(reading.overCap + 1000, static_cast<size_t>(reading.files[0].entries));

    const SitemapReading many = ReadSitemaps(Atlas(""), {Atlas("/many-sitemap.xml")},
                                             u"TestBot/1.0", SitemapLimitsFor(100), cancel_);
    ASSERT_EQ(many.files.size(), 1u);
    EXPECT_EQ(many.files[0].entries, static_cast<int>(kSitemapMaxEntries));
    EXPECT_TRUE(many.files[0].limitReached);
}

TEST(SitemapAudit, ListedPagesNoSearchEngineMayIndexAreBadEntries) {
    SitemapReading reading;
    for (const char16_t* path : {u"/", u"/kept", u"/hidden", u"/copy", u"/moved", u"/noai"}) {
        reading.entries.push_back({Text(u"http://s") + path, Text()});
    }
    SitemapLedger ledger(100);
    ledger.Load(reading);
    const auto page = [](const char16_t* path) {
        PageRecord record;
        record.url = Text(u"http://s") + path;
        record.httpStatus = 200;
        return record;
    };
    std::vector<PageRecord> pages = {page(u"/"), page(u"/kept"), page(u"/hidden"),
                                     page(u"/copy"), page(u"/moved"), page(u"/noai")};
    pages[2].robotsDirectives = {u"noindex"};
    pages[3].duplicateOf = u"http://s/kept";
    pages[4].canonical = u"http://s/kept";
    pages[5].robotsDirectives = {u"noai"};  // a statement to AI systems, not to search engines
    const SitemapAudit audit = ledger.Audit(pages);
    EXPECT_EQ(audit.issues, (std::vector<SitemapIssue>{
                                {u"http://s/hidden", 200, u"noindex", u""},
                                {u"http://s/copy", 200, u"duplicate", u"http://s/kept"},
                                {u"http://s/moved", 200, u"canonical elsewhere", u"http://s/kept"},
                            }));
    EXPECT_EQ(audit.issueCount, 3);
}

}  // namespace
}  // namespace bcnk
