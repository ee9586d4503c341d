#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "net/http.h"
#include "scan/crawler.h"
#include "support/crawl_session.h"
#include "support/fixture.h"

namespace bcnk {
namespace {

using namespace test;

Text Atlas(const std::string& path) {
    return SiteAddress("atlas", path);
}

ScanOptions SitemapOptions(const Text& start, int maxDepth = 3, int maxPages = 500) {
    ScanOptions options = TestOptions(start, maxDepth, maxPages);
    options.useSitemaps = true;
    return options;
}

std::set<Text> StoredUrls(const ScanResult& result) {
    std::set<Text> urls;
    for (const PageRecord& page : result.pages) {
        urls.insert(page.url);
    }
    return urls;
}

const PageRecord* FindPage(const ScanResult& result, const Text& url) {
    const auto found = std::find_if(result.pages.begin(), result.pages.end(),
                                    [&](const PageRecord& page) { return page.url == url; });
    return found == result.pages.end() ? nullptr : &*found;
}

class CrawlWithSitemaps : public ::testing::Test {
  protected:
    void SetUp() override { BCNK_REQUIRE_FIXTURE(); }
};

TEST_F(CrawlWithSitemaps, FindsOrphansAndAuditsTheListings) {
    const ScanResult result = RunCrawl(SitemapOptions(Atlas("/"))).result;
    EXPECT_EQ(StoredUrls(result),
              (std::set<Text>{Atlas("/"), Atlas("/a.html"), Atlas("/b.html"), Atlas("/f.html"),
                              Atlas("/c.html"), Atlas("/d.html"), Atlas("/a.html?x=1&y=2"),
                              Atlas("/e.html")}));
    // Sitemap addresses come after the start page's own links, at depth 1, in sitemap order.
    ASSERT_GE(result.pages.size(), 5u);
    EXPECT_EQ(result.pages[3].url, Atlas("/f.html"));
    EXPECT_EQ(result.pages[4].url, Atlas("/c.html"));
    EXPECT_EQ(result.pages[4].depth, 1);

    const SitemapAudit& audit = result.sitemaps;
    EXPECT_TRUE(audit.read);
    EXPECT_EQ(audit.listed, 10);
    EXPECT_EQ(audit.otherSite, 2);
    EXPECT_EQ(audit.orphans, (std::vector<Text>{Atlas("/c.html"), Atlas("/d.html"),
                                                Atlas("/a.html?x=1&y=2"), Atlas("/e.html")}));
    EXPECT_TRUE(audit.notListedJudged);
    EXPECT_EQ(audit.notListed, std::vector<Text>{Atlas("/f.html")});
    EXPECT_EQ(audit.issueCount, 6);
    EXPECT_EQ(audit.issues,
              (std::vector<SitemapIssue>{
                  // Its text repeats /a.html: a listing no search engine indexes.
                  {Atlas("/a.html?x=1&y=2"), 200, u"duplicate", Atlas("/a.html")},
                  {u"http://elsewhere.invalid/x.html", 0, u"on another site", u""},
                  {u"https://127.0.0.1/other-scheme.html", 0, u"on another site", u""},
                  {Atlas("/gone.html"), 404, u"HTTP 404", u""},
                  {Atlas("/old.html"), 200, u"redirect", Atlas("/b.html")},
                  {Atlas("/private/secret.html"), 0, u"blocked by robots.txt", u""},
              }));
    EXPECT_EQ(audit.files.size(), 6u);

    // A page without Last-Modified takes the sitemap's date.
    const PageRecord* dated = FindPage(result, Atlas("/d.html"));
    ASSERT_NE(dated, nullptr);
    EXPECT_EQ(dated->lastModified, u"Mon, 30 Nov 2026 00:00:00 GMT");
}

TEST_F(CrawlWithSitemaps, IgnoringSitemapsCrawlsTheLinksAlone) {
    const ScanOptions options = TestOptions(Atlas("/"));
    const ScanResult result = RunCrawl(options).result;
    EXPECT_EQ(StoredUrls(result), (std::set<Text>{Atlas("/"), Atlas("/a.html"), Atlas("/b.html"),
                                                  Atlas("/f.html")}));
    EXPECT_FALSE(result.sitemaps.read);
    EXPECT_TRUE(result.sitemaps.files.empty());
}

TEST_F(CrawlWithSitemaps, TheChosenScopeHoldsForSitemapAddresses) {
    ScanOptions options = SitemapOptions(Atlas("/"));
    options.excludePaths = {u"/c.html", u"/e"};
    EXPECT_EQ(StoredUrls(RunCrawl(options).result),
              (std::set<Text>{Atlas("/"), Atlas("/a.html"), Atlas("/b.html"), Atlas("/f.html"),
                              Atlas("/d.html"), Atlas("/a.html?x=1&y=2")}));
}

TEST_F(CrawlWithSitemaps, TheDepthAndPageLimitsHoldForSitemapAddresses) {
    const ScanResult startOnly = RunCrawl(SitemapOptions(Atlas("/"), 0)).result;
    EXPECT_EQ(StoredUrls(startOnly), std::set<Text>{Atlas("/")});
    EXPECT_EQ(startOnly.sitemaps.seeded, 0);

    const ScanResult limited = RunCrawl(SitemapOptions(Atlas("/"), 3, 5)).result;
    EXPECT_EQ(limited.pages.size(), 5u);
    EXPECT_TRUE(limited.pageLimitReached);
}

// A site that answers 429 to every third request (each address once) must give the pages a
// site that never refuses gives, whatever the number of requests in flight.
class PoliteCrawl : public ::testing::Test {
  protected:
    void SetUp() override {
        BCNK_REQUIRE_FIXTURE();
        ASSERT_TRUE(Http::Init());
    }
    static void Reset(const std::string& site, const std::string& query) {
        const FetchResult reset =
            Http::Get(SiteAddress(site, "/_refusals/reset?" + query), u"TestBot/1.0");
        ASSERT_EQ(reset.status, 200);
    }
    // The gaps between a refused request and the next request for the same address.
    static std::vector<double> RetryGaps(const std::string& site, double since) {
        std::vector<double> gaps;
        const std::vector<LoggedRequest> log = RequestLog("site_" + site);
        for (size_t i = 0; i < log.size(); ++i) {
            if (log[i].at < since) {
                continue;
            }
            for (size_t j = i + 1; j < log.size(); ++j) {
                if (log[j].requestLine == log[i].requestLine) {
                    gaps.push_back(log[j].at - log[i].at);
                    break;
                }
            }
        }
        return gaps;
    }
    static double LastArrival(const std::string& site) {
        const std::vector<LoggedRequest> log = RequestLog("site_" + site);
        return log.empty() ? 0 : log.back().at;
    }
};

TEST_F(PoliteCrawl, RefusalsWithRetryAfterLeaveThePageSetAsItWas) {
    for (const int connections : {1, 4}) {
        ScanOptions options = TestOptions(SiteAddress("stern", "/"));
        options.connections = connections;
        Reset("stern", "on=0");
        const ScanResult calm = RunCrawl(options).result;
        Reset("stern", "on=1");
        const double since = LastArrival("stern");
        const ScanResult refused = RunCrawl(options).result;
        EXPECT_EQ(StoredUrls(refused), StoredUrls(calm)) << connections << " connections";
        EXPECT_EQ(calm.pages.size(), 13u);
        EXPECT_TRUE(refused.skippedPages.empty());
        EXPECT_GT(refused.politeness.slowDowns, 0);
        EXPECT_EQ(refused.politeness.retries, refused.politeness.slowDowns);
        EXPECT_TRUE(refused.politeness.singleConnection);
        EXPECT_EQ(calm.politeness, PolitenessSummary{});
        // Retry-After: 1 was waited for before each address was asked again.
        const std::vector<double> gaps = RetryGaps("stern", since);
        ASSERT_FALSE(gaps.empty());
        for (const double gap : gaps) {
            EXPECT_GE(gap, 0.95);
        }
    }
}

TEST_F(PoliteCrawl, RefusalsWithoutRetryAfterAreRetriedOnceAfterTwoSeconds) {
    Reset("busy", "on=1");
    const double since = LastArrival("busy");
    const CrawlSession session = RunCrawl(TestOptions(SiteAddress("busy", "/")));
    EXPECT_EQ(session.result.pages.size(), 7u);
    EXPECT_GT(session.result.politeness.slowDowns, 0);
    EXPECT_FALSE(session.result.politeness.singleConnection);  // 503 only
    for (const double gap : RetryGaps("busy", since)) {
        EXPECT_GE(gap, 1.95);
    }
    const bool logged = std::any_of(session.log.begin(), session.log.end(), [](const Text& line) {
        return line.find(u"HTTP 503: waiting 2 s, then trying again") != Text::npos;
    });
    EXPECT_TRUE(logged);
}

TEST_F(PoliteCrawl, CrawlDelayIsTheLeastPauseEvenWithNoDelayChosen) {
    const double since = LastArrival("paced");
    const ScanResult result = RunCrawl(TestOptions(SiteAddress("paced", "/"))).result;
    EXPECT_EQ(result.pages.size(), 4u);
    EXPECT_EQ(result.politeness.crawlDelayMs, 2000);
    std::vector<double> pages;
    for (const LoggedRequest& request : RequestLog("site_paced")) {
        if (request.at > since && request.requestLine.find(".html") != std::string::npos) {
            pages.push_back(request.at);
        }
    }
    ASSERT_EQ(pages.size(), 3u);
    for (size_t i = 1; i < pages.size(); ++i) {
        EXPECT_GE(pages[i] - pages[i - 1], 1.95);
    }

    ScanOptions ignoring = TestOptions(SiteAddress("paced", "/"));
    ignoring.respectRobots = false;
    EXPECT_EQ(RunCrawl(ignoring).result.politeness.crawlDelayMs, 0);
}

TEST_F(PoliteCrawl, ACancelDuringAWaitEndsTheScanWithoutWaitingItOut) {
    // Every refusal asks for a minute; the cancel comes a little after the crawl says it waits.
    Reset("busy", "on=1&retry_after=60");
    std::atomic<bool> cancel{false};
    std::atomic<bool> waiting{false};
    std::chrono::steady_clock::time_point raised;
    std::thread canceller([&] {
        for (int i = 0; i < 600 && !waiting.load(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        raised = std::chrono::steady_clock::now();
        cancel = true;
    });
    const CrawlSession session =
        RunCrawl(TestOptions(SiteAddress("busy", "/")), cancel, [&](const Text& message, int) {
            if (message.find(u"waiting 60 s") != Text::npos) {
                waiting = true;
            }
        });
    const auto after = std::chrono::steady_clock::now() - raised;
    canceller.join();
    Reset("busy", "on=1");
    ASSERT_TRUE(waiting.load());
    EXPECT_TRUE(session.result.cancelled);
    // Not a speed test: only that the minute was not waited out.
    EXPECT_LT(after, std::chrono::seconds(30));
    std::printf("cancel during a wait: the scan returned %lld ms after the cancel\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(after).count()));
}

}  // namespace
}  // namespace bcnk
