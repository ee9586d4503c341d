#include <gtest/gtest.h>

#include <chrono>
#include <optional>

#include "scan/politeness.h"
#include "scan/robots_rules.h"

namespace bcnk {
namespace {

using namespace std::chrono;

TEST(CrawlDelay, FromTheCrawlersOwnGroupElseStarCapped) {
    struct Row {
        const char* robots;
        std::optional<int> ms;
    };
    const Row rows[] = {
        {"User-agent: *\nCrawl-delay: 2\nDisallow: /x\n", 2000},
        {"User-agent: *\nCrawl-delay: 0.5\n", 500},
        {"User-agent: *\nDisallow: /x\n", std::nullopt},
        // Our own group decides alone, with or without a delay of its own.
        {"User-agent: *\nCrawl-delay: 9\nDisallow: /y\n\nUser-agent: testbot\nCrawl-delay: 1\n"
         "Allow: /\n",
         1000},
        {"User-agent: *\nCrawl-delay: 9\nDisallow: /y\n\nUser-agent: testbot\nAllow: /\n",
         std::nullopt},
        // A crawl-delay line does not end a run of user-agent lines.
        {"User-agent: other\nCrawl-delay: 3\nUser-agent: testbot\nDisallow: /x\n", 3000},
        {"User-agent: *\nCrawl-delay: 86400\n", kMaxCrawlDelayMs},
        {"User-agent: *\nCrawl-delay: soon\n", std::nullopt},
        {"User-agent: *\nCrawl-delay: -4\n", std::nullopt},
        {"Crawl-delay: 5\nUser-agent: *\nDisallow: /x\n", std::nullopt},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(CrawlDelayMs(ParseRobotsTxt(std::string_view(row.robots)), "testbot"), row.ms)
            << row.robots;
    }
}

TEST(CrawlDelay, LeavesTheRulesAsTheyWere) {
    const RobotsTxt file =
        ParseRobotsTxt(std::string_view("User-agent: a\nCrawl-delay: 3\nUser-agent: b\nDisallow: /x\n"));
    EXPECT_FALSE(Decide(file, "a", u"http://s/x").allowed);
    EXPECT_FALSE(Decide(file, "b", u"http://s/x").allowed);
}

TEST(RetryAfter, SecondsOrAnHttpDate) {
    const system_clock::time_point now = sys_days(year(2026) / 12 / 8) + hours(10);
    EXPECT_EQ(RetryAfterMs(u"5", now), 5000);
    EXPECT_EQ(RetryAfterMs(u" 120 ", now), 120000);
    EXPECT_EQ(RetryAfterMs(u"Tue, 08 Dec 2026 10:00:07 GMT", now), 7000);
    EXPECT_EQ(RetryAfterMs(u"Mon, 07 Dec 2026 10:00:00 GMT", now), 0);
    EXPECT_GT(*RetryAfterMs(u"99999999999999999999", now), 60000);
    for (const Text& bad : {Text(u""), Text(u"-1"), Text(u"1.5"), Text(u"soon"),
                            Text(u"Tue, 32 Dec 2026 10:00:00 GMT"),
                            Text(u"Tue, 08 Foo 2026 10:00:00 GMT")}) {
        EXPECT_EQ(RetryAfterMs(bad, now), std::nullopt);
    }
}

FetchResult Answer(int status, const char16_t* retryAfter = nullptr, const Text& reason = Text()) {
    FetchResult fetched;
    fetched.status = status;
    fetched.reason = reason;
    if (retryAfter != nullptr) {
        fetched.headers.push_back({u"retry-after", retryAfter});
    }
    return fetched;
}

TEST(PlanRetry, RefusalsWaitAndRetryAtMostTwiceOtherFailuresOnce) {
    const system_clock::time_point now = sys_days(year(2026) / 12 / 8);
    struct Row {
        const char* name;
        FetchResult fetched;
        int retriesSoFar;
        bool retry;
        int waitMs;
        bool slowDown;
        bool oneAtATime;
    };
    const Row rows[] = {
        {"429 with seconds", Answer(429, u"3"), 0, true, 3000, true, true},
        {"429, second retry", Answer(429, u"3"), 1, true, 3000, true, true},
        {"429, no third", Answer(429, u"3"), 2, false, 3000, true, true},
        {"503 capped", Answer(503, u"3600"), 0, true, kMaxRetryAfterMs, true, false},
        {"503 without Retry-After", Answer(503), 0, true, kDefaultRetryWaitMs, true, false},
        {"503 without, once only", Answer(503), 1, false, kDefaultRetryWaitMs, true, false},
        {"429 unreadable value", Answer(429, u"later"), 0, true, kDefaultRetryWaitMs, true, true},
        {"time-out", Answer(0, nullptr, kReasonTimedOut), 0, true, 0, false, false},
        {"reset, once only", Answer(0, nullptr, kReasonConnectionLost), 1, false, 0, false, false},
        {"refused connection", Answer(0, nullptr, kReasonRefused), 0, false, 0, false, false},
        {"cancelled", Answer(0, nullptr, kReasonCancelled), 0, false, 0, false, false},
        {"404", Answer(404, u"3"), 0, false, 0, false, false},
        {"500", Answer(500), 0, false, 0, false, false},
    };
    for (const Row& row : rows) {
        const RetryPlan plan = PlanRetry(row.fetched, row.retriesSoFar, now);
        EXPECT_EQ(plan.retry, row.retry) << row.name;
        if (plan.retry) {
            EXPECT_EQ(plan.waitMs, row.waitMs) << row.name;
        }
        EXPECT_EQ(plan.slowDown, row.slowDown) << row.name;
        EXPECT_EQ(plan.oneAtATime, row.oneAtATime) << row.name;
    }
}

}  // namespace
}  // namespace bcnk
