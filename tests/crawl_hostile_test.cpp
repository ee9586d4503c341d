// Sites built to hurt a crawler. Each must end with a consistent result in bounded time; the
// comment on each test names the limit that ends it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "scan/crawler.h"
#include "net/http.h"
#include "support/crawl_session.h"
#include "support/fixture.h"

namespace bcnk {
namespace {

using namespace test;

Text Hostile(const std::string& path) {
    return test::SiteAddress("hostile", path);
}

std::vector<Text> Urls(const ScanResult& result) {
    std::vector<Text> urls;
    for (const PageRecord& page : result.pages) {
        urls.push_back(page.url);
    }
    return urls;
}

std::vector<Text> CheckDetails(const ScanResult& result) {
    std::vector<Text> details;
    for (const DiscoveryCheck& check : result.checks) {
        details.push_back(check.details);
    }
    return details;
}

// Nine files missing; robots.txt described by `robots`.
std::vector<Text> NothingPublished(const Text& robots) {
    std::vector<Text> details(9, u"Missing");
    details.push_back(robots);
    return details;
}

// A site that yields no page at all still gets its checks, the default language and an
// empty topic list.
void ExpectNoPages(const CrawlSession& session, const Text& robots) {
    const ScanResult& result = session.result;
    EXPECT_TRUE(result.pages.empty());
    EXPECT_EQ(result.language, u"en");
    EXPECT_TRUE(result.topics.empty());
    EXPECT_EQ(result.siteDescription, u"");
    EXPECT_EQ(CheckDetails(result), NothingPublished(robots));
    EXPECT_EQ(result.score, 0);
    EXPECT_FALSE(result.pageLimitReached);
    EXPECT_EQ(session.progress.size(), 3u);
}

int SkipLines(const CrawlSession& session) {
    int count = 0;
    for (const Text& line : session.log) {
        count += line.rfind(u"skip [", 0) == 0 ? 1 : 0;
    }
    return count;
}

TEST(CrawlHostile, TenThousandLinksStopAtThePageLimit) {
    BCNK_REQUIRE_FIXTURE();
    const CrawlSession session = RunCrawl(TestOptions(Hostile("/many-links.html"), 3, 100));
    const ScanResult& result = session.result;
    std::vector<Text> urls = {Hostile("/many-links.html")};
    for (int i = 0; i < 99; ++i) {
        urls.push_back(Hostile("/item/" + std::to_string(i) + ".html"));
    }
    EXPECT_EQ(Urls(result), urls);
    EXPECT_TRUE(result.pageLimitReached);
    ASSERT_EQ(result.pages.size(), 100u);
    EXPECT_EQ(result.pages[0].wordCount, 10002);
    EXPECT_EQ(result.pages[0].pageClass, PageClass::Index);
    EXPECT_EQ(result.pages[1].title, u"/item/0.html");
    EXPECT_EQ(result.pages[1].depth, 1);
    EXPECT_EQ(result.pages[1].pageClass, PageClass::Utility);
    EXPECT_EQ(CheckDetails(result), NothingPublished(u"Missing"));
    EXPECT_EQ(session.progress.size(), 102u);
}

TEST(CrawlHostile, KeyCapBoundsTheQueueOfALinkFarm) {
    BCNK_REQUIRE_FIXTURE();
    // Every link is dead, so nothing counts against the page limit and only the cap on
    // known addresses (three per allowed page, the start page included) ends the crawl.
    const CrawlSession session = RunCrawl(TestOptions(Hostile("/dead-links.html"), 3, 100));
    const ScanResult& result = session.result;
    EXPECT_EQ(Urls(result), std::vector<Text>{Hostile("/dead-links.html")});
    EXPECT_FALSE(result.pageLimitReached);
    EXPECT_EQ(SkipLines(session), 299);
    ASSERT_EQ(session.progress.size(), 302u);
    EXPECT_EQ(session.progress[299], (ProgressCall{u"Crawling: " + Hostile("/gone/298.html"), 1}));
    EXPECT_EQ(session.log[300], u"skip [404] d1 (HTTP 404) - " + Hostile("/gone/298.html"));
}

TEST(CrawlHostile, EndlessCalendarStopsAtTheDepthLimit) {
    BCNK_REQUIRE_FIXTURE();
    const CrawlSession session =
        RunCrawl(TestOptions(Hostile("/calendar/2026-06"), 5, kNoPageLimit));
    const ScanResult& result = session.result;
    // Each level adds the month before and the month after.
    const std::vector<std::pair<std::string, int>> months = {
        {"2026-06", 0}, {"2026-05", 1}, {"2026-07", 1}, {"2026-04", 2},
        {"2026-08", 2}, {"2026-03", 3}, {"2026-09", 3}, {"2026-02", 4},
        {"2026-10", 4}, {"2026-01", 5}, {"2026-11", 5}};
    ASSERT_EQ(result.pages.size(), months.size());
    for (size_t i = 0; i < months.size(); ++i) {
        EXPECT_EQ(result.pages[i].url, Hostile("/calendar/" + months[i].first));
        EXPECT_EQ(result.pages[i].title, u"Calendar " + Utf8ToWide(months[i].first));
        EXPECT_EQ(result.pages[i].depth, months[i].second);
    }
    EXPECT_FALSE(result.pageLimitReached);
    EXPECT_EQ(result.topics, std::vector<Text>{u"calendar 2026"});
}

TEST(CrawlHostile, RedirectLoopIsOneFailedFetch) {
    BCNK_REQUIRE_FIXTURE();
    // The fetcher gives up after its redirect limit and reports no response.
    const CrawlSession session = RunCrawl(TestOptions(Hostile("/loop-a")));
    ExpectNoPages(session, u"Missing");
    EXPECT_EQ(SkipLines(session), 1);
    EXPECT_EQ(session.log[1], u"skip [0] d0 (too many redirects) - " + Hostile("/loop-a"));
}

TEST(CrawlHostile, BodiesAreCutAtTwoMebibytes) {
    BCNK_REQUIRE_FIXTURE();
    struct Row {
        std::string path;
        int words;
    };
    // The endless body is one long word; the 5.7 MB link page is cut inside the start tag
    // of its 37,181st link, so the title, the heading and 37,180 link texts remain.
    const Row rows[] = {{"/endless.html", 1}, {"/huge.html", 37182}};
    for (const Row& row : rows) {
        const CrawlSession session = RunCrawl(TestOptions(Hostile(row.path), 0));
        ASSERT_EQ(session.result.pages.size(), 1u) << row.path;
        EXPECT_EQ(session.result.pages[0].httpStatus, 200);
        EXPECT_EQ(session.result.pages[0].wordCount, row.words) << row.path;
        EXPECT_EQ(session.result.checks.size(), 10u);
    }
}

TEST(CrawlHostile, TricklingServerIsCutByTheTotalTimeLimit) {
    BCNK_REQUIRE_FIXTURE();
    // A byte every two seconds never trips the per-read time-out; the limit on the whole
    // fetch ends the page, which is kept with what arrived.
    const auto productLimit = Http::TimeLimit();
    Http::SetTimeLimit(std::chrono::milliseconds(3000));
    const CrawlSession session = RunCrawl(TestOptions(Hostile("/trickle.html")));
    Http::SetTimeLimit(productLimit);
    const ScanResult& result = session.result;
    ASSERT_EQ(result.pages.size(), 1u);
    EXPECT_EQ(result.pages[0].httpStatus, 200);
    EXPECT_EQ(result.pages[0].wordCount, 1);
    EXPECT_EQ(result.checks.size(), 10u);
    // The 1,000-byte body would take over half an hour at this pace.
    EXPECT_LT(result.elapsedSeconds, 30);
}

TEST(CrawlHostile, StartPageThatFails) {
    BCNK_REQUIRE_FIXTURE();
    struct Row {
        std::string path;
        int status;
    };
    for (const Row& row : {Row{"/nothing-here", 404}, Row{"/server-error", 500}}) {
        const CrawlSession session = RunCrawl(TestOptions(Hostile(row.path)));
        ExpectNoPages(session, u"Missing");
        EXPECT_EQ(session.result.robotsStatus, 404);
        EXPECT_EQ(session.log[1], u"skip [" + NumberText(row.status) + u"] d0 (HTTP " +
                                      NumberText(row.status) + u") - " + Hostile(row.path));
        EXPECT_EQ(session.progress[1], (ProgressCall{u"Checking AI discovery files...", 0}));
    }
}

TEST(CrawlHostile, RefusedConnectionStopsTheScanAtOnce) {
    BCNK_REQUIRE_FIXTURE();
    // Nothing listens on port 1 of the loopback interface. A site that never answered is
    // not judged: no probes, no crawler verdicts, no score.
    const CrawlSession session = RunCrawl(TestOptions(u"http://127.0.0.1:1/#top"));
    const ScanResult& result = session.result;
    EXPECT_FALSE(result.reachable);
    EXPECT_EQ(result.unreachableReason, u"connection refused");
    EXPECT_TRUE(result.pages.empty());
    EXPECT_TRUE(result.checks.empty());
    EXPECT_TRUE(result.crawlerAccess.empty());
    EXPECT_EQ(result.score, 0);
    EXPECT_EQ(session.progress, (std::vector<ProgressCall>{{u"Crawling: http://127.0.0.1:1/", 0}}));
    EXPECT_EQ(session.result.robotsStatus, 0);
    EXPECT_FALSE(session.result.robotsFound);
    EXPECT_EQ(session.result.baseUrl, u"http://127.0.0.1:1");
    EXPECT_EQ(session.log[1], u"skip [0] d0 (connection refused) - http://127.0.0.1:1/");
}

TEST(CrawlHostile, CatchAllErrorPageIsNoDiscoveryFile) {
    BCNK_REQUIRE_FIXTURE();
    const CrawlSession session = RunCrawl(TestOptions(test::SiteAddress("soft404", "/")));
    const ScanResult& result = session.result;
    // The error page answers 200 with HTML, so it is a page of the site like any other...
    ASSERT_EQ(result.pages.size(), 2u);
    EXPECT_EQ(result.pages[1].title, u"Not found");
    EXPECT_EQ(result.pages[1].wordCount, 6);  // tags join "found", "Sorry" and "Nothing"
    EXPECT_EQ(result.siteDescription, u"A shop that never says 404.");
    // ...but not a published file, and not a robots.txt to keep.
    EXPECT_EQ(CheckDetails(result), NothingPublished(u"Missing AI rules"));
    EXPECT_EQ(result.checks[9].state, CheckState::NeedsUpdate);
    EXPECT_EQ(result.robotsStatus, 200);
    EXPECT_FALSE(result.robotsFound);
    EXPECT_EQ(result.robotsTxt, u"");
    EXPECT_EQ(result.score, 7);
}

TEST(CrawlHostile, CancelDuringTheChecksKeepsTheRowsMadeSoFar) {
    BCNK_REQUIRE_FIXTURE();
    // The fifth probe is answered after three seconds; the flag is raised while it waits,
    // and the probe is given up without a row.
    std::atomic<bool> cancel{false};
    std::atomic<bool> checking{false};
    std::thread canceller([&] {
        for (int i = 0; i < 800 && !checking; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));
        cancel = true;
    });
    const CrawlSession session = RunCrawl(
        TestOptions(test::SiteAddress("slowprobe", "/")), cancel, [&](const Text& message, int) {
            checking = checking || message == u"Checking AI discovery files...";
        });
    canceller.join();
    const ScanResult& result = session.result;
    EXPECT_EQ(result.pages.size(), 1u);
    EXPECT_EQ(CheckDetails(result),
              (std::vector<Text>{u"Present", u"Missing", u"Missing", u"Missing"}));
    // Rows 1 and 3 are the only scored ones made: one of two present.
    EXPECT_EQ(result.score, 50);
    EXPECT_FALSE(result.robotsFound);
    EXPECT_EQ(result.robotsStatus, 0);
    std::vector<Text> adpLines;
    for (const Text& line : session.log) {
        if (line.rfind(u"ADP: ", 0) == 0) {
            adpLines.push_back(line);
        }
    }
    EXPECT_EQ(adpLines.size(), 4u);
    EXPECT_EQ(session.log.back(), u"Crawl complete: 1 pages, score 50%, " +
                                      NumberText(result.elapsedSeconds) + u"s (cancelled)");
    EXPECT_EQ(session.progress.back(), (ProgressCall{u"Scan complete", 1}));
}

}  // namespace
}  // namespace bcnk
