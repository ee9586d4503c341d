#include <gtest/gtest.h>

#include <vector>

#include "scan/crawl_frontier.h"
#include "scan/crawl_scope.h"

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
    EXPECT_EQ(frontier.Add(u"https://EXAMPLE.com/Blog/index.html#top", 1),
              QueueOutcome::AlreadyKnown);
    // Another spelling of the path is another page.
    EXPECT_EQ(frontier.Add(u"https://example.com/blog/", 1), QueueOutcome::Queued);
    EXPECT_EQ(frontier.Add(u"https://example.com/index.php", 1), QueueOutcome::AlreadyKnown);
    EXPECT_EQ(frontier.Add(u"https://example.com:443/about", 2), QueueOutcome::Queued);
    EXPECT_EQ(frontier.Add(u"http://example.com/about", 2), QueueOutcome::Queued);
    EXPECT_EQ(frontier.Add(u"https://example.com/about?x=1", 2), QueueOutcome::Queued);

    const QueuedPage first = frontier.Take();
    EXPECT_EQ(first.address, u"https://example.com/");
    EXPECT_EQ(first.depth, 0);
    EXPECT_EQ(Drain(frontier),
              (std::vector<Text>{u"https://example.com/Blog/", u"https://example.com/blog/",
                                 u"https://example.com:443/about", u"http://example.com/about",
                                 u"https://example.com/about?x=1"}));
    // Taking a page does not forget it.
    EXPECT_EQ(frontier.Add(u"https://example.com/Blog", 3), QueueOutcome::AlreadyKnown);
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
    EXPECT_EQ(frontier.Add(u"https://EXAMPLE.com/a", 1), QueueOutcome::AlreadyKnown);
    EXPECT_EQ(Drain(frontier), std::vector<Text>{u"https://example.com/b"});
}

TEST(CrawlFrontier, StartAddressGoesInWhateverTheCap) {
    CrawlFrontier frontier(0);
    frontier.Seed(u"https://example.com/start");
    EXPECT_EQ(frontier.Add(u"https://example.com/other", 1), QueueOutcome::Full);
    EXPECT_EQ(Drain(frontier), std::vector<Text>{u"https://example.com/start"});
}

// A redirect makes two addresses one page: whichever form a later link uses, it is not
// fetched again, and a page already queued under the target is not fetched a second time.
TEST(CrawlFrontier, RequestedAndArrivedAddressesAreBothSeen) {
    CrawlFrontier frontier(100);
    frontier.Seed(u"https://example.com/");
    frontier.Add(u"https://example.com/about", 1);
    frontier.Add(u"https://example.com/docs", 1);
    frontier.Add(u"https://example.com/company/about-us.html", 1);
    frontier.Add(u"https://example.com/team", 1);

    EXPECT_TRUE(frontier.Arrive(frontier.Take().address, u"https://example.com/"));
    EXPECT_TRUE(
        frontier.Arrive(frontier.Take().address, u"https://example.com/company/about-us.html"));
    EXPECT_TRUE(frontier.Arrive(frontier.Take().address, u"https://example.com/docs/"));
    // The queued target of the first redirect is dropped; the next page is /team.
    const QueuedPage team = frontier.Take();
    EXPECT_EQ(team.address, u"https://example.com/team");
    EXPECT_FALSE(frontier.Arrive(team.address, u"https://example.com/docs/index.html"));
    EXPECT_TRUE(frontier.Empty());

    for (const char16_t* address : {u"https://example.com/company/about-us.html",
                                    u"https://example.com/docs/", u"https://example.com/team"}) {
        EXPECT_EQ(frontier.Add(address, 2), QueueOutcome::AlreadyKnown)
            << WideToUtf8(Text(address));
    }
}

// Scope patterns read like robots.txt paths: from the start of the path, "*" any run, a
// final "$" the end; an exclusion wins; the start folder is cut at the last "/".
TEST(CrawlScope, PatternsAndTheStartFolder) {
    struct Row {
        std::vector<Text> include, exclude;
        bool withinStartFolder;
        const char16_t* address;
        bool contained;
    };
    const Text start = u"https://example.com/docs/ko/index.html?lang=ko";
    const std::vector<Row> rows = {
        {{}, {}, false, u"https://example.com/anything", true},
        {{}, {}, true, u"https://example.com/docs/ko/", true},
        {{}, {}, true, u"https://example.com/docs/ko/mod/x.html", true},
        {{}, {}, true, u"https://example.com/docs/kor.html", false},
        {{}, {}, true, u"https://example.com/docs/en/", false},
        {{u"/blog/", u"shop"}, {}, false, u"https://example.com/shop/cart", true},
        {{u"/blog/", u"shop"}, {}, false, u"https://example.com/about", false},
        {{u"/*.html$"}, {}, false, u"https://example.com/a/b.html", true},
        {{u"/*.html$"}, {}, false, u"https://example.com/a/b.html?x=1", false},
        {{}, {u"/*/archive/"}, false, u"https://example.com/en/archive/1", false},
        {{}, {u"/*/archive/"}, false, u"https://example.com/archive/1", true},
        {{u"/docs/"}, {u"/docs/ko/old"}, true, u"https://example.com/docs/ko/old.html", false},
        {{}, {u"/caf\u00E9/"}, false, u"https://example.com/caf%C3%A9/menu", false},
    };
    for (const Row& row : rows) {
        ScanOptions options;
        options.includePaths = row.include;
        options.excludePaths = row.exclude;
        options.withinStartFolder = row.withinStartFolder;
        CrawlScope scope(options);
        scope.SetStart(start);
        EXPECT_EQ(scope.Contains(row.address), row.contained) << WideToUtf8(row.address);
    }
    EXPECT_EQ(SplitPathList(u" /a/, /b/ ,,/c* "), (std::vector<Text>{u"/a/", u"/b/", u"/c*"}));
}

}  // namespace
}  // namespace bcnk
