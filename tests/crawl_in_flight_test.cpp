// A crawl with several requests in flight must give what the crawl fetching one page at a
// time gives, to the byte, whichever answer arrives first.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "scan/crawler.h"
#include "scan/markdown_spool.h"
#include "support/crawl_session.h"
#include "support/fixture.h"

namespace bcnk {
namespace {

using namespace test;
using Clock = std::chrono::steady_clock;

// How long the crawl took is the one thing two runs may differ in.
CrawlSession WithoutTimes(CrawlSession session) {
    session.result.elapsedSeconds = 0;
    session.result.scanTime.clear();
    if (!session.log.empty()) {
        Text& last = session.log.back();
        const size_t seconds = last.find(u"%, ");
        if (last.rfind(u"Crawl complete: ", 0) == 0 && seconds != Text::npos) {
            last.erase(seconds + 3, last.find(u's', seconds) - seconds - 3);
        }
    }
    return session;
}

CrawlSession CrawlWith(ScanOptions options, int connections) {
    options.connections = connections;
    return WithoutTimes(RunCrawl(options));
}

void ExpectSameAsOneAtATime(const ScanOptions& options, int connections) {
    const CrawlSession alone = CrawlWith(options, 1);
    const CrawlSession overlapped = CrawlWith(options, connections);
    const std::string label = Narrow(options.startUrl) + " limit " +
                              std::to_string(options.maxPages) + " depth " +
                              std::to_string(options.maxDepth);
    // Each run spools its own twins: compare what they hold, then the rest.
    ScanResult overlappedResult = overlapped.result;
    ScanResult aloneResult = alone.result;
    ASSERT_EQ(overlappedResult.pages.size(), aloneResult.pages.size()) << label;
    for (size_t index = 0; index < aloneResult.pages.size(); ++index) {
        EXPECT_EQ(PageTwin(overlappedResult, overlappedResult.pages[index]),
                  PageTwin(aloneResult, aloneResult.pages[index]))
            << label;
    }
    overlappedResult.markdown = aloneResult.markdown = nullptr;
    EXPECT_EQ(overlappedResult, aloneResult) << label;
    EXPECT_EQ(overlapped.progress, alone.progress) << label;
    EXPECT_EQ(overlapped.log, alone.log) << label;
}

TEST(CrawlInFlight, EveryTestSiteGivesTheResultOfOneRequestAtATime) {
    BCNK_REQUIRE_FIXTURE();
    struct Row {
        const char* site;
        const char* path;
        int depth;
        int maxPages;
    };
    const Row rows[] = {
        {"harbour", "/", 3, 500},
        {"harbour", "/", 2, 4},  // the limit falls while fetches are under way
        {"harbour", "/blog/index.html", 1, 500},
        {"hostile", "/many-links.html", 3, 100},
        {"hostile", "/dead-links.html", 3, 100},  // the key cap ends it
        {"hostile", "/calendar/2026-06", 5, kNoPageLimit},
        {"hostile", "/loop-a", 3, 500},
        {"hostile", "/server-error", 3, 500},
        {"moved", "/start", 3, 500},  // the start page moves the scan to another host
        {"moved", "/docs/", 3, 500},  // redirects that reach queued addresses early
        {"soft404", "/", 3, 500},
        {"encodings", "/", 3, 500},
        {"slowprobe", "/", 3, 500},
        {"sample", "/", 3, 500},
        // Answers come after shuffled pauses, so they arrive out of queue order.
        {"relay", "/", 3, 500},
        {"relay", "/", 3, 5},
        {"relay", "/", 3, 14},
    };
    for (const Row& row : rows) {
        ExpectSameAsOneAtATime(
            TestOptions(SiteAddress(row.site, row.path), row.depth, row.maxPages), 8);
    }
}

TEST(CrawlInFlight, WorkersKeepTheirConnectionsAlive) {
    BCNK_REQUIRE_FIXTURE();
    const size_t before = RequestLog("site_relay").size();
    ScanOptions options = TestOptions(SiteAddress("relay", "/"));
    options.connections = 4;
    const CrawlSession session = RunCrawl(options);
    const std::vector<LoggedRequest> log = RequestLog("site_relay");
    ASSERT_GT(log.size(), before);
    std::set<int> connections;
    for (size_t i = before; i < log.size(); ++i) {
        connections.insert(log[i].connection);
    }
    // Every page and probe was asked for once, over no more connections than requests in
    // flight.
    EXPECT_EQ(log.size() - before, session.progress.size() - 2 + session.result.checks.size());
    EXPECT_LE(connections.size(), 4u);
}

// Pages that never answer: the cancel must not wait for them, however many are in flight.
TEST(CrawlInFlight, CancelGivesUpHungRequests) {
    BCNK_REQUIRE_FIXTURE();
    for (int connections : {1, 8}) {
        ScanOptions options = TestOptions(SiteAddress("relay", "/hang.html"));
        options.connections = connections;
        std::atomic<bool> cancel{false};
        std::atomic<bool> hanging{false};
        Clock::time_point cancelledAt;
        std::thread canceller([&] {
            for (int i = 0; i < 400 && !hanging; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(25));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            cancelledAt = Clock::now();
            cancel = true;
        });
        const Text firstHung = u"Crawling: " + SiteAddress("relay", "/hang/1.html");
        const CrawlSession session = RunCrawl(options, cancel, [&](const Text& message, int) {
            hanging = hanging || message == firstHung;
        });
        const Clock::time_point returnedAt = Clock::now();
        canceller.join();
        ASSERT_EQ(session.result.pages.size(), 1u) << connections;
        EXPECT_TRUE(session.result.checks.empty());
        EXPECT_EQ(session.progress.back(), (ProgressCall{u"Scan complete", 1}));
        EXPECT_EQ(session.log.size(), 3u) << connections;  // start, the one page, complete
        // The pages stay silent for a minute; giving up takes about a second.
        EXPECT_LT(returnedAt - cancelledAt, std::chrono::seconds(5)) << connections;
    }
}

}  // namespace
}  // namespace bcnk
