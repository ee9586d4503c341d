// The summary people read and the JSON scripts parse.
#include <gtest/gtest.h>

#include "cli/json_output.h"
#include "cli/report.h"

namespace bcnk::cli {
namespace {

ScanResult SampleResult() {
    ScanResult result;
    result.host = u"shop.example";
    result.baseUrl = u"https://shop.example";
    result.language = u"en";
    result.elapsedSeconds = 65;
    result.score = 36;
    PageRecord page;
    page.url = u"https://shop.example/";
    page.title = u"Say \"hi\"\\ \u00E9t\u00E9\n";
    page.headings = {u"One", u"Two"};
    page.httpStatus = 200;
    page.pageClass = PageClass::Index;
    result.pages.push_back(page);
    page.url = u"https://shop.example/p";
    page.pageClass = PageClass::Product;
    page.schemaTypes = {u"Product"};
    result.pages.push_back(page);
    result.checks.push_back({u"llms.txt", u"/llms.txt", CheckState::Ok, u"Present", true});
    result.checks.push_back({u"robots.txt AI rules", u"/robots.txt", CheckState::NeedsUpdate,
                             u"Missing AI rules", true});
    result.topics = {u"bookkeeping", u"staff rotas"};
    return result;
}

TEST(FormatSummary, ShowsEveryPart) {
    const Text summary = FormatSummary(SampleResult(), false);
    EXPECT_EQ(summary,
              u"Domain: shop.example     Pages: 2     Scan Time: 01:05\n"
              u"Score: 36% (Needs work)\n"
              u"\n"
              u"AI discovery files\n"
              u"  OK    llms.txt             Present\n"
              u"  !     robots.txt AI rules  Missing AI rules\n"
              u"\n"
              u"Pages by class\n"
              u"  Product pages  1\n"
              u"  Articles       0\n"
              u"  Guides         0\n"
              u"  Legal          0\n"
              u"  Other          1\n"
              u"\n"
              u"Topics\n"
              u"  bookkeeping, staff rotas\n");
}

TEST(FormatSummary, CrawlerAccessByPurposeAndPagesKeptOut) {
    ScanResult result = SampleResult();
    result.crawlerAccess = {
        {u"GPTBot", u"OpenAI", CrawlerPurpose::Training, CrawlerAccessLevel::Blocked, u"Disallow: /"},
        {u"CCBot", u"Common Crawl", CrawlerPurpose::Training, CrawlerAccessLevel::Partly, u"x"},
        {u"OAI-SearchBot", u"OpenAI", CrawlerPurpose::Search, CrawlerAccessLevel::Allowed, u""},
        {u"Claude-User", u"Anthropic", CrawlerPurpose::UserTriggered, CrawlerAccessLevel::Blocked,
         u"Disallow: /"},
    };
    result.skippedPages = {{u"https://shop.example/a", 1, 0, u"blocked by robots.txt", u""},
                           {u"https://shop.example/b", 1, 404, u"HTTP 404", u""},
                           {u"https://shop.example/c", 1, 0, u"blocked by robots.txt", u""}};
    EXPECT_NE(FormatSummary(result, false)
                  .find(u"  !     robots.txt AI rules  Missing AI rules\n"
                        u"\n"
                        u"Usage preferences (what the site declares; statements, not blocks)\n"
                        u"  Training        unknown\n"
                        u"  Search          unknown\n"
                        u"  User-triggered  unknown\n"
                        u"\n"
                        u"AI crawlers (by the site's robots.txt)\n"
                        u"  Training        0 allowed, 1 partly, 1 blocked\n"
                        u"  Search          1 allowed, 0 partly, 0 blocked\n"
                        u"  User-triggered  0 allowed, 0 partly, 1 blocked\n"
                        u"  Blocked: GPTBot, Claude-User\n"
                        u"\n"
                        u"robots.txt kept 2 pages out of the crawl (--ignore-robots fetches them).\n"
                        u"\n"
                        u"Pages by class\n"),
              Text::npos)
        << WideToUtf8(FormatSummary(result, false));
}

TEST(FormatSummary, PagesNotStoredAndWhy) {
    ScanResult result = SampleResult();
    result.skippedPages = {{u"https://shop.example/gone", 1, 404, u"", u"https://shop.example/"},
                           {u"https://shop.example/slow", 1, 0, u"timed out", u""}};
    const Text brief = FormatSummary(result, false);
    EXPECT_NE(brief.find(u"Score: 36% (Needs work)\n"
                         u"Not stored: 2 pages (--verbose lists them with the reason)\n"),
              Text::npos)
        << WideToUtf8(brief);
    EXPECT_NE(FormatSummary(result, false, true)
                  .find(u"Not stored: 2 pages\n\nPages not stored\n"
                        u"  https://shop.example/gone  - HTTP 404 (linked from "
                        u"https://shop.example/)\n"
                        u"  https://shop.example/slow  - timed out\n"),
              Text::npos);
    EXPECT_EQ(NoPagesReason(result), u"HTTP 404 (https://shop.example/gone)");
    EXPECT_EQ(NoPagesReason(ScanResult()), u"");
}

TEST(FormatSummary, CancelledScanSaysSo) {
    ScanResult result = SampleResult();
    result.checks.clear();
    result.topics.clear();
    const Text summary = FormatSummary(result, true);
    EXPECT_NE(summary.find(u"Score: none (cancelled after 2 pages)\n"
                           u"Scan cancelled: the result covers the pages found so far.\n"),
              Text::npos);
    EXPECT_NE(summary.find(u"AI discovery files\n  (not checked)\n"), Text::npos);
    EXPECT_NE(summary.find(u"Topics\n  (none found)\n"), Text::npos);
}

TEST(ScanResultJson, EmptyResultHasEveryFieldAndEmptyLists) {
    const std::string json = ScanResultJson(ScanResult());
    EXPECT_EQ(json,
              "{\n"
              "  \"schemaVersion\": 1,\n"
              "  \"tool\": {\n"
              "    \"name\": \"Talvenn's Beaconsmith\",\n"
              "    \"version\": \"v1 (Build 16)\"\n"
              "  },\n"
              "  \"fetchTime\": \"\",\n"
              "  \"requestedUrl\": \"\",\n"
              "  \"finalUrl\": \"\",\n"
              "  \"cancelled\": false,\n"
              "  \"host\": \"\",\n"
              "  \"baseUrl\": \"\",\n"
              "  \"language\": \"\",\n"
              "  \"siteDescription\": \"\",\n"
              "  \"organizationName\": \"\",\n"
              "  \"personName\": \"\",\n"
              "  \"pages\": [],\n"
              "  \"checks\": [],\n"
              "  \"topics\": [],\n"
              "  \"elapsedSeconds\": 0,\n"
              "  \"score\": 0,\n"
              "  \"scoreBand\": \"Needs work\",\n"
              "  \"pageLimitReached\": false,\n"
              "  \"robotsTxt\": \"\",\n"
              "  \"robotsStatus\": 0,\n"
              "  \"robotsFound\": false,\n"
              "  \"pagesByClass\": {\n"
              "    \"Product pages\": 0,\n"
              "    \"Articles\": 0,\n"
              "    \"Guides\": 0,\n"
              "    \"Legal\": 0,\n"
              "    \"Other\": 0\n"
              "  },\n"
              "  \"skippedPages\": [],\n"
              "  \"crawlerAccess\": [],\n"
              "  \"sitemaps\": {\n"
              "    \"read\": false,\n"
              "    \"files\": [],\n"
              "    \"listed\": 0,\n"
              "    \"otherSite\": 0,\n"
              "    \"overCap\": 0,\n"
              "    \"seeded\": 0,\n"
              "    \"orphans\": [],\n"
              "    \"notListed\": [],\n"
              "    \"notListedJudged\": false,\n"
              "    \"issues\": [],\n"
              "    \"issueCount\": 0\n"
              "  },\n"
              "  \"politeness\": {\n"
              "    \"crawlDelayMs\": 0,\n"
              "    \"crawlDelayCapped\": false,\n"
              "    \"slowDowns\": 0,\n"
              "    \"retries\": 0,\n"
              "    \"waitedMs\": 0,\n"
              "    \"singleConnection\": false\n"
              "  },\n"
"  \"usagePreferences\": {\n"
        "    \"pagesRead\": 0,\n"
        "    \"unreadableContentUsage\": 0,\n"
        "    \"tdmPolicy\": \"\",\n"
        "    \"purposes\": [\n"
        "      {\n"
        "        \"purpose\": \"Training\",\n"
        "        \"answer\": \"unknown\",\n"
        "        \"conflict\": false,\n"
        "        \"text\": \"unknown\",\n"
        "        \"conflictText\": \"\",\n"
        "        \"declarations\": []\n"
        "      },\n"
        "      {\n"
        "        \"purpose\": \"Search\",\n"
        "        \"answer\": \"unknown\",\n"
        "        \"conflict\": false,\n"
        "        \"text\": \"unknown\",\n"
        "        \"conflictText\": \"\",\n"
        "        \"declarations\": []\n"
        "      },\n"
        "      {\n"
        "        \"purpose\": \"User-triggered\",\n"
        "        \"answer\": \"unknown\",\n"
        "        \"conflict\": false,\n"
        "        \"text\": \"unknown\",\n"
        "        \"conflictText\": \"\",\n"
        "        \"declarations\": []\n"
        "      }\n"
        "    ]\n"
        "  },\n"
              "  \"package\": null,\n"
        "  \"agentCheck\": null,\n"
        "  \"render\": null,\n"
              "  \"reachable\": true,\n"
              "  \"unreachableReason\": null,\n"
              "  \"robotsBlockAll\": false\n"
              "}\n");
}

TEST(ScanResultJson, WritesSkippedPagesCrawlersAndThePackage) {
    ScanResult result = SampleResult();
    result.skippedPages.push_back(
        {u"https://shop.example/gone", 1, 404, u"", u"https://shop.example/"});
    result.crawlerAccess.push_back({u"ExampleBot", u"Example Labs", CrawlerPurpose::Search,
                                    CrawlerAccessLevel::Blocked, u"Disallow: /"});
    PackageOutcome package;
    package.ok = true;
    package.folderPath = u"/out/shop.example";
    package.zipPath = u"/out/shop.example/shop.example-ai-discovery.zip";
    package.filePaths = {u"/out/shop.example/README.txt"};
    const std::string json = ScanResultJson(result, &package);
    for (const char* part :
         {"\"skippedPages\": [\n    {\n      \"url\": \"https://shop.example/gone\",\n"
          "      \"depth\": 1,\n      \"httpStatus\": 404,\n      \"reason\": \"\",\n"
          "      \"linkedFrom\": \"https://shop.example/\"\n    }\n  ]",
          "\"token\": \"ExampleBot\",\n      \"operator\": \"Example Labs\",\n      "
          "\"purpose\": \"Search\",\n      \"access\": \"Blocked\",\n      "
          "\"decidingRule\": \"Disallow: /\"",
          "\"package\": {\n    \"folder\": \"/out/shop.example\",\n    \"archive\": "
          "\"/out/shop.example/shop.example-ai-discovery.zip\",\n    \"files\": [\n      "
          "\"/out/shop.example/README.txt\"\n    ],\n    \"markdownTwins\": 0\n  }",
          "\"summaryClass\": \"Product pages\"", "\"Product pages\": 1"}) {
        EXPECT_NE(json.find(part), std::string::npos) << part << "\n" << json;
    }
}

TEST(ScanResultJson, EscapesTextAndNamesEnumerations) {
    const std::string json = ScanResultJson(SampleResult());
    EXPECT_NE(json.find("\"title\": \"Say \\\"hi\\\"\\\\ \xC3\xA9t\xC3\xA9\\n\""),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"pageClass\": \"Index\""), std::string::npos);
    EXPECT_NE(json.find("\"pageClass\": \"Product\""), std::string::npos);
    EXPECT_NE(json.find("\"state\": \"NeedsUpdate\""), std::string::npos);
    EXPECT_NE(json.find("\"headings\": [\n        \"One\",\n        \"Two\"\n      ]"),
              std::string::npos)
        << json;
}

TEST(ScanResultJson, LoneSurrogateStaysValidUtf8) {
    ScanResult result;
    result.host = Text(u"a") + char16_t(0xD800) + u"b";
    EXPECT_NE(ScanResultJson(result).find("\"host\": \"a\xEF\xBF\xBD"
                                          "b\""),
              std::string::npos);
}

}  // namespace
}  // namespace bcnk::cli
