#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "net/url.h"
#include "analysis/html_parser.h"
#include "package/package.h"
#include "scan/indexability.h"
#include "support/crawl_session.h"
#include "support/fixture.h"

namespace bcnk {
namespace {

constexpr const char16_t* kBase = u"https://shop.example";

PageRecord Record(const Text& path, std::vector<Text> directives = {}, const Text& canonical = {},
                  const Text& duplicateOf = {}, int status = 200) {
    PageRecord page;
    page.url = kBase + path;
    page.robotsDirectives = std::move(directives);
    page.canonical = canonical.empty() ? Text() : kBase + canonical;
    page.duplicateOf = duplicateOf.empty() ? Text() : kBase + duplicateOf;
    page.httpStatus = status;
    return page;
}

TEST(Indexability, PageShapes) {
    struct Row {
        PageRecord page;
        bool search;
        bool ai;
        const char16_t* label;
    };
    const Row rows[] = {
        {Record(u"/plain"), true, true, u"Yes"},
        {Record(u"/n", {u"noindex", u"follow"}), false, false, u"noindex"},
        {Record(u"/none", {u"none"}), false, false, u"noindex"},
        {Record(u"/g", {u"googlebot: noindex"}), false, false, u"noindex"},
        {Record(u"/b", {u"bingbot: none"}), false, false, u"noindex"},
        {Record(u"/ai", {u"noai"}), true, false, u"noai"},
        {Record(u"/gpt", {u"gptbot: noindex"}), true, false, u"noai"},
        {Record(u"/cc", {u"ccbot: noai"}), true, false, u"noai"},
        // Marks that keep nothing out: images only, snippets, archives, unknown words.
        {Record(u"/img", {u"noimageai", u"noimageindex", u"max-snippet:0", u"noarchive",
                          u"foobar", u"nofollow"}),
         true, true, u"Yes"},
        {Record(u"/self", {}, u"/self/"), true, true, u"Yes"},
        {Record(u"/index.html", {}, u"/"), true, true, u"Yes"},
        {Record(u"/c", {}, u"/one.html"), false, false, u"canonical \u2192 /one.html"},
        {Record(u"/copy", {}, {}, u"/one.html"), false, false, u"duplicate of /one.html"},
        {Record(u"/moved", {}, {}, {}, 301), false, false, u"status not 200"},
        {Record(u"/both", {u"noai", u"noindex"}, u"/x"), false, false, u"noindex"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(MayList(row.page, ListAudience::Search), row.search) << test::Narrow(row.page.url);
        EXPECT_EQ(MayList(row.page, ListAudience::Ai), row.ai) << test::Narrow(row.page.url);
        EXPECT_EQ(IndexableLabel(row.page, kBase), row.label) << test::Narrow(row.page.url);
    }
}

TEST(Indexability, CopiesPointAtTheNamedCanonicalElseTheFirst) {
    std::vector<PageRecord> pages = {Record(u"/a"), Record(u"/b"), Record(u"/c", {}, u"/d"),
                                     Record(u"/d"), Record(u"/e"), Record(u"/f")};
    MarkDuplicates(pages, {7, 7, 9, 9, 0, 0});
    std::vector<Text> duplicateOf;
    for (const PageRecord& page : pages) {
        duplicateOf.push_back(page.duplicateOf);
    }
    EXPECT_EQ(duplicateOf, (std::vector<Text>{u"", Text(kBase) + u"/a", Text(kBase) + u"/d", u"",
                                              u"", u""}));
}

TEST(Indexability, PublishableScanListsCanonicalAddressesAndSummaryCounts) {
    ScanResult scan;
    // "/%7Ehome" and "/~home" are one address written two ways (paths keep their case).
    scan.pages = {Record(u"/%7Ehome", {}, u"/~home"), Record(u"/n", {u"noindex"}),
                  Record(u"/c", {}, u"/~home"), Record(u"/ai", {u"noai"})};
    const ScanResult search = PublishableScan(scan, ListAudience::Search);
    ASSERT_EQ(search.pages.size(), 2u);
    EXPECT_EQ(search.pages[0].url, Text(kBase) + u"/~home");
    EXPECT_EQ(PublishableScan(scan, ListAudience::Ai).pages.size(), 1u);
    EXPECT_EQ(LeftOutSummary(scan.pages),
              u"Left out of the package: 3 pages (noindex 1, canonical elsewhere 1, marked "
              u"against AI 1)");
    EXPECT_EQ(LeftOutSummary({Record(u"/a")}), u"");
}

// The owned site holds one page per case: what the crawl labels it, and whether the lists of
// the package name it.
TEST(Indexability, OwnedSiteThroughCrawlAndPackage) {
    BCNK_REQUIRE_FIXTURE();
    const ScanResult scan = test::RunCrawl(test::TestOptions(test::SiteAddress("owned", "/"), 3))
                                .result;
    const std::map<std::string, std::string> expected = {
        {"/", "Yes"},
        {"/a/one.html", "Yes"},
        {"/a/copy.html", "duplicate of /a/one.html"},
        {"/a/", "Yes"},
        {"/b/noindex.html", "noindex"},
        {"/b/behind.html", "Yes"},
        {"/b/header-noindex.html", "noindex"},
        {"/b/googlebot.html", "noindex"},
        {"/b/several.html", "noindex"},
        {"/b/bingbot-header.html", "noindex"},
        {"/c/noai.html", "noai"},
        {"/c/gptbot.html", "noai"},
        {"/c/gptbot-header.html", "noai"},
        {"/c/otherbot.html", "Yes"},
        {"/d/canonical-absolute.html", "canonical \u2192 /a/one.html"},
        {"/d/canonical-relative.html", "canonical \u2192 /a/one.html"},
        {"/d/canonical-base.html", "canonical \u2192 /a/one.html"},
        {"/d/canonical-self.html", "Yes"},
        {"/d/canonical-cross-site.html", "Yes"},
        {"/d/canonical-ftp.html", "Yes"},
        {"/d/canonical-header.html", "canonical \u2192 /a/one.html"},
        {"/e/landed.html", "Yes"},
        {"/f/print.html", "canonical \u2192 /f/article.html"},
        {"/f/article.html", "Yes"},
    };
    std::map<std::string, std::string> labels;
    for (const PageRecord& page : scan.pages) {
        labels[test::Narrow(ParseUrl(page.url).path)] =
            test::Narrow(IndexableLabel(page, scan.baseUrl));
    }
    EXPECT_EQ(labels, expected);

    PackageForm form;
    form.name = u"Owned Ledger";
    form.publishMarkdown = false;  // llms.txt then links the pages themselves
    const std::vector<PackageFile> files = BuildPackageFiles(scan, form);
    const auto fileText = [&](const Text& name) {
        for (const PackageFile& file : files) {
            if (file.fileName == name) {
                return test::Narrow(file.content);
            }
        }
        return std::string();
    };
    const std::string origin = test::Narrow(scan.baseUrl);
    for (const auto& [path, label] : expected) {
        const std::string loc = "<loc>" + origin + path + "</loc>";
        const std::string link = "](" + origin + path + ")";
        const bool search = label == "Yes" || label == "noai";
        EXPECT_EQ(fileText(u"sitemap.xml").find(loc) != std::string::npos, search) << path;
        EXPECT_EQ(fileText(u"llms.txt").find(link) != std::string::npos, label == "Yes") << path;
    }
    EXPECT_EQ(fileText(u"llms.txt").find("utm_"), std::string::npos);
    EXPECT_NE(fileText(u"README.txt").find("/f/print.html  (canonical is " + origin +
                                           "/f/article.html, duplicate of " + origin +
                                           "/f/article.html)"),
              std::string::npos);
}

TEST(Indexability, KeptTrackingVariantsAreCrawledAndMarkedAsCopies) {
    BCNK_REQUIRE_FIXTURE();
    ScanOptions options = test::TestOptions(test::SiteAddress("owned", "/"), 1);
    options.keepQueryTracking = true;
    const ScanResult scan = test::RunCrawl(options).result;
    int tracked = 0;
    for (const PageRecord& page : scan.pages) {
        if (page.url.find(u"utm_source") != Text::npos || page.url.find(u"gclid") != Text::npos) {
            ++tracked;
            EXPECT_EQ(IndexableLabel(page, scan.baseUrl), u"duplicate of /a/one.html");
        }
    }
    EXPECT_EQ(tracked, 2);
}

}  // namespace
}  // namespace bcnk

namespace bcnk {
namespace {

// What a hostile page can make the record keep stays small whatever the page holds.
TEST(Indexability, WhatAPageCanMakeTheRecordKeepIsBounded) {
    std::string html = "<head><link rel=\"canonical\" href=\"/" + std::string(100000, 'a') +
                       "\"><meta name=\"robots\" content=\"" + std::string(100000, 'x') + "\">";
    for (int i = 0; i < 60; ++i) {
        html += "<meta name=\"googlebot\" content=\"max-snippet:" + std::to_string(i) + "\">";
    }
    FetchResult fetched;
    fetched.status = 200;
    PageRecord record;
    record.url = u"https://shop.example/p";
    TakePageSignals(ParseHtmlPage(html).signals, fetched, record.url, u"shop.example", record);
    EXPECT_LE(record.robotsDirectives.size(), 24u);
    for (const Text& directive : record.robotsDirectives) {
        EXPECT_LE(directive.size(), 120u);
    }
    EXPECT_TRUE(record.canonical.empty());
    EXPECT_LE(record.canonicalIgnored.size(), 80u);
}

}  // namespace
}  // namespace bcnk

namespace bcnk {
namespace {

TEST(Indexability, APackageWithEveryPageLeftOutSaysSo) {
    ScanResult scan;
    scan.host = u"shop.example";
    scan.baseUrl = kBase;
    scan.pages = {Record(u"/", {u"noindex"}), Record(u"/copy", {}, {}, u"/")};
    PackageForm form;
    form.name = u"Shop";
    std::map<Text, Text> files;
    for (PackageFile& file : BuildPackageFiles(scan, form)) {
        files[file.fileName] = std::move(file.content);
    }
    for (const Text name : {u"sitemap.xml", u"ai-sitemap.xml"}) {
        EXPECT_EQ(files[name].find(u"<url>"), Text::npos) << test::Narrow(name);
        EXPECT_NE(files[name].find(u"Every page the scan found is left out"), Text::npos);
    }
    for (const Text name : {u"llms.txt", u"llms-lite.txt", u"ai-discovery.md"}) {
        EXPECT_NE(files[name].find(u"[REVIEW] Every page the scan found is left out"), Text::npos)
            << test::Narrow(name);
    }
    EXPECT_NE(files[u"README.txt"].find(u"EVERY PAGE the scan found is left out"), Text::npos);
    EXPECT_NE(files[u"README.txt"].find(u"/copy  (duplicate of https://shop.example/)"),
              Text::npos);
}

TEST(Indexability, ReadmeNamesAtMostTwoHundredPagesThenCounts) {
    ScanResult scan;
    for (int i = 0; i < 230; ++i) {
        scan.pages.push_back(Record(u"/p" + NumberText(i), {u"noindex"}));
    }
    const std::vector<PackageFile> files = BuildPackageFiles(scan, PackageForm());
    const Text& readme = files.front().content;
    EXPECT_NE(readme.find(u"/p199  (noindex)"), Text::npos);
    EXPECT_EQ(readme.find(u"/p200  (noindex)"), Text::npos);
    EXPECT_NE(readme.find(u"  ... and 30 more.\n"), Text::npos);
}

}  // namespace
}  // namespace bcnk
