#include <gtest/gtest.h>

#include <vector>

#include "scan/crawl_frontier.h"

namespace bcnk {
namespace {

std::vector<Text> Drain(CrawlFrontier& frontier) {
    std::vector<Text> order;
    while (!frontier.Empty()) {
        order.push_back(frontier.Take().address);
    }
    return order;
}

TEST(CrawlFrontier, KeepsFirstFormOfEachPageInArrivalOrder) {
    CrawlFrontier frontier(100);
    frontier.Seed(u"https://example.com/");
    EXPECT_EQ(frontier.Add(u"https://example.com/Blog/", 1), QueueOutcome::Queued);
    EXPECT_EQ(frontier.Add(u"https://EXAMPLE.com/blog/index.html", 1), QueueOutcome::AlreadyKnown);
    EXPECT_EQ(frontier.Add(u"https://example.com/index.php", 1), QueueOutcome::AlreadyKnown);
    EXPECT_EQ(frontier.Add(u"https://example.com:443/about", 2), QueueOutcome::Queued);
    EXPECT_EQ(frontier.Add(u"http://example.com/about", 2), QueueOutcome::Queued);
    EXPECT_EQ(frontier.Add(u"https://example.com/about?x=1", 2), QueueOutcome::Queued);

    const QueuedPage first = frontier.Take();
    EXPECT_EQ(first.address, u"https://example.com/");
    EXPECT_EQ(first.depth, 0);
    EXPECT_EQ(Drain(frontier),
              (std::vector<Text>{u"https://example.com/Blog/", u"https://example.com:443/about",
                                 u"http://example.com/about", u"https://example.com/about?x=1"}));
    // Taking a page does not forget it.
    EXPECT_EQ(frontier.Add(u"https://example.com/blog", 3), QueueOutcome::AlreadyKnown);
}

TEST(CrawlFrontier, CapCountsEveryKeyEverQueued) {
    CrawlFrontier frontier(3);
    frontier.Seed(u"https://example.com/");
    EXPECT_EQ(frontier.Add(u"https://example.com/a", 1), QueueOutcome::Queued);
    frontier.Take();
    frontier.Take();
    EXPECT_EQ(frontier.Add(u"https://example.com/b", 1), QueueOutcome::Queued);
    EXPECT_EQ(frontier.Add(u"https://example.com/c", 1), QueueOutcome::Full);
    // A repeat is still told apart from a new address once the cap is reached.
    EXPECT_EQ(frontier.Add(u"https://example.com/A", 1), QueueOutcome::AlreadyKnown);
    EXPECT_EQ(Drain(frontier), std::vector<Text>{u"https://example.com/b"});
}

TEST(CrawlFrontier, StartAddressGoesInWhateverTheCap) {
    CrawlFrontier frontier(0);
    frontier.Seed(u"https://example.com/start");
    EXPECT_EQ(frontier.Add(u"https://example.com/other", 1), QueueOutcome::Full);
    EXPECT_EQ(Drain(frontier), std::vector<Text>{u"https://example.com/start"});
}

}  // namespace
}  // namespace bcnk
