#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "scan/ai_crawlers.h"
#include "scan/crawler.h"
#include "scan/markdown_spool.h"
#include "net/url.h"
#include "support/crawl_session.h"
#include "support/fixture.h"
#include "support/platform.h"

namespace bcnk {
namespace {

using namespace test;

Text Harbour(const std::string& path) {
    return test::SiteAddress("harbour", path);
}

PageRecord Page(const std::string& path, const Text& title, const Text& h1,
                std::vector<Text> headings, int words, int depth, PageClass pageClass) {
    PageRecord page;
    page.url = Harbour(path);
    page.title = title;
    page.h1 = h1;
    page.headings = std::move(headings);
    page.wordCount = words;
    page.httpStatus = 200;
    page.depth = depth;
    page.pageClass = pageClass;
    return page;
}

// The records without what the page analysis adds for classes and languages, which its own
// tests cover; the crawl's tests judge what it stores and in which order.
std::vector<PageRecord> Stored(std::vector<PageRecord> pages) {
    for (PageRecord& page : pages) {
        const PageRecord facts = page;
        page = Page("/", u"", u"", {}, 0, 0, PageClass::Other);
        page.url = facts.url;
        page.title = facts.title;
        page.description = facts.description;
        page.h1 = facts.h1;
        page.lastModified = facts.lastModified;
        page.headings = facts.headings;
        page.schemaTypes = facts.schemaTypes;
        page.productName = facts.productName;
        page.wordCount = facts.wordCount;
        page.httpStatus = facts.httpStatus;
        page.depth = facts.depth;
        page.pageClass = facts.pageClass;
    }
    return pages;
}

// Everything the harbour site yields at depth 2, in the order the crawl stores it.
std::vector<PageRecord> HarbourPages() {
    PageRecord home = Page("/", u"Harbour Tools", u"Harbour Tools",
                           {u"Harbour Tools", u"Rope Care Kits"}, 37, 0, PageClass::Index);
    home.description = u"Hand-forged harbour tools & rope care.";
    home.schemaTypes = {u"Organization"};
    PageRecord products =
        Page("/products/", u"Our Tools", u"Rope Care Kits",
             {u"Rope Care Kits", u"Harbour Tools Catalogue"}, 15, 1, PageClass::Utility);
    products.description = u"Every tool we make.";
    PageRecord journal = Page("/blog/index.html", u"Harbour Journal", u"Harbour Journal",
                              {u"Harbour Journal"}, 8, 1, PageClass::Article);
    journal.description = u"Notes from the quay.";
    // Stored where the redirect led, not under the address the link named.
    PageRecord about = Page("/company/about-us.html", u"Our Crew", u"Our Crew", {u"Our Crew"}, 12,
                            1, PageClass::Utility);
    about.description = u"Who we are.";
    about.schemaTypes = {u"Person"};
    PageRecord raw = Page("/raw", u"Harbour Raw Notes", u"Harbour Raw Notes",
                          {u"Harbour Raw Notes"}, 15, 1, PageClass::Article);
    raw.schemaTypes = {u"BlogPosting"};
    PageRecord privacy = Page("/privacy.html", u"Privacy Notice", u"Privacy Notice",
                              {u"Privacy Notice"}, 7, 1, PageClass::Legal);
    PageRecord hammer = Page("/products/hammer.html", u"Caulking Hammer", u"Caulking Hammer",
                             {u"Caulking Hammer"}, 10, 2, PageClass::Utility);
    hammer.lastModified = u"Wed, 02 Dec 2026 10:00:00 GMT";
    PageRecord kit =
        Page("/products/rope-care-kit.html", u"Rope Care Kit Deluxe", u"Rope Care Kit Deluxe",
             {u"Rope Care Kit Deluxe"}, 18, 2, PageClass::Product);
    kit.schemaTypes = {u"Product"};
    kit.productName = u"Rope Care Kit Deluxe";
    PageRecord post =
        Page("/blog/first-post.html", u"Tide Tables Explained", u"Tide Tables Explained",
             {u"Tide Tables Explained", u"Reading Tide Tables"}, 15, 2, PageClass::Article);
    PageRecord setup =
        Page("/guide/setup.html", u"Setting Up", u"Setting Up Mooring Lines",
             {u"Setting Up Mooring Lines", u"Mooring Lines Checklist"}, 9, 2, PageClass::Guide);
    // Linked from /about as "team.html": resolved against the redirect target.
    PageRecord team = Page("/company/team.html", u"Meet the Team", u"Meet the Team",
                           {u"Meet the Team"}, 6, 2, PageClass::Utility);
    return {home, products, journal, about, raw, privacy, hammer, kit, post, setup, team};
}

std::vector<DiscoveryCheck> HarbourChecks() {
    using S = CheckState;
    return {
        {u"llms.txt", u"/llms.txt", S::Ok, u"Present", true},
        {u"llms-lite.txt", u"/llms-lite.txt", S::Missing, u"Missing", false},
        {u"ai-discovery.json", u"/ai-discovery.json", S::NeedsUpdate, u"Needs update", true},
        {u"ai-discovery.json (.well-known)", u"/.well-known/ai-discovery.json", S::Ok, u"Valid",
         false},
        {u"ai-discovery.md", u"/ai-discovery.md", S::Missing, u"Missing", false},
        {u"knowledge-graph.json", u"/knowledge-graph.json", S::Missing, u"Missing", true},
        {u"ai-sitemap.xml", u"/ai-sitemap.xml", S::Missing, u"Missing", true},
        {u"sitemap.xml", u"/sitemap.xml", S::Ok, u"Valid", true},
        {u"tdmrep.json", u"/.well-known/tdmrep.json", S::Missing, u"Missing", true},
        {u"robots.txt AI rules", u"/robots.txt", S::Ok, u"AI rules present", true},
    };
}

// Addresses in the order they are fetched, with the pages stored before each fetch.
std::vector<std::pair<std::string, int>> HarbourFetches() {
    return {{"/", 0},
            {"/products/", 1},
            {"/blog/index.html", 2},
            {"/Products/", 3},
            {"/about", 3},
            {"/plain", 4},
            {"/missing", 4},
            {"/broken", 4},
            {"/empty", 4},
            {"/raw", 4},
            {"/privacy.html", 5},
            {"/products/hammer.html", 6},
            {"/products/rope-care-kit.html", 7},
            {"/blog/first-post.html", 8},
            {"/guide/setup.html", 9},
            {"/company/team.html", 10}};
}

Text StartLine(int depth, int maxPages) {
    const Text base = Harbour("");
    return u"Crawl start: base=" + base + u" host=127.0.0.1 depth=" + NumberText(depth) +
           u" delay=0ms maxPages=" + NumberText(maxPages);
}

TEST(Crawl, HarbourSiteWhole) {
    BCNK_REQUIRE_FIXTURE();
    // No path: the crawl starts at "/".
    const CrawlSession session = RunCrawl(TestOptions(Harbour(""), 2));
    const ScanResult& result = session.result;

    EXPECT_EQ(result.host, u"127.0.0.1");
    EXPECT_EQ(result.baseUrl, Harbour(""));
    EXPECT_EQ(result.language, u"nl");
    EXPECT_EQ(result.siteDescription, u"Hand-forged harbour tools & rope care.");
    EXPECT_EQ(result.organizationName, u"Harbour Tools Ltd");
    EXPECT_EQ(result.personName, u"Mara Quill");
    EXPECT_EQ(Stored(result.pages), HarbourPages());
    // Each page's main content is counted and spooled as its Markdown twin.
    for (const PageRecord& page : result.pages) {
        const std::string twin = PageTwin(result, page);
        EXPECT_NE(twin.find("\n\n<" + test::Narrow(page.url) + ">\n"), std::string::npos)
            << twin;
        EXPECT_GT(page.mainWordCount, 0) << test::Narrow(page.url);
    }
    EXPECT_EQ(result.checks, HarbourChecks());
    EXPECT_EQ(result.topics, (std::vector<Text>{u"rope care kits", u"harbour tools",
                                                u"mooring lines", u"tide tables"}));
    // llms.txt, sitemap.xml and robots.txt count whole, ai-discovery.json half: 3.5 of 7.
    EXPECT_EQ(result.score, 50);
    EXPECT_FALSE(result.pageLimitReached);
    EXPECT_EQ(result.robotsTxt,
              u"User-agent: GPTBot\r\nDisallow: /\r\n\r\nUser-agent: *\r\nAllow: /\r\n");
    EXPECT_EQ(result.robotsStatus, 200);
    EXPECT_TRUE(result.robotsFound);
    EXPECT_EQ(result.requestedUrl, Harbour("/"));
    EXPECT_EQ(result.finalUrl, Harbour("/"));
    EXPECT_EQ(result.skippedPages,
              (std::vector<SkippedPage>{
                  // Paths are case-sensitive: another spelling is another page.
                  {Harbour("/Products/"), 1, 404, u"HTTP 404", Harbour("/")},
                  {Harbour("/plain"), 1, 200, u"not HTML (text/plain)", Harbour("/")},
                  {Harbour("/missing"), 1, 404, u"HTTP 404", Harbour("/")},
                  {Harbour("/broken"), 1, 500, u"HTTP 500", Harbour("/")},
                  {Harbour("/empty"), 1, 200, u"empty body", Harbour("/")}}));
    EXPECT_FALSE(result.cancelled);
    // UTC to the second, as RFC 3339 writes it.
    ASSERT_EQ(result.scanTime.size(), 20u);
    EXPECT_EQ(result.scanTime.substr(10, 1) + result.scanTime.substr(19), u"TZ");

    std::vector<ProgressCall> progress;
    for (const auto& [path, stored] : HarbourFetches()) {
        progress.push_back({u"Crawling: " + Harbour(path), stored});
    }
    progress.push_back({u"Checking AI discovery files...", 11});
    progress.push_back({u"Scan complete", 11});
    EXPECT_EQ(session.progress, progress);

    std::vector<Text> log = {StartLine(2, 500)};
    const std::vector<Text> pageLines = {
        u"page #1 [200] d0 Index - " + Harbour("/"),
        u"page #2 [200] d1 Utility - " + Harbour("/products/"),
        u"page #3 [200] d1 Article - " + Harbour("/blog/index.html"),
        u"skip [404] d1 (HTTP 404) - " + Harbour("/Products/"),
        u"page #4 [200] d1 Utility - " + Harbour("/company/about-us.html"),
        u"skip [200] d1 (not HTML (text/plain)) - " + Harbour("/plain"),
        u"skip [404] d1 (HTTP 404) - " + Harbour("/missing"),
        u"skip [500] d1 (HTTP 500) - " + Harbour("/broken"),
        u"skip [200] d1 (empty body) - " + Harbour("/empty"),
        u"page #5 [200] d1 Article - " + Harbour("/raw"),
        u"page #6 [200] d1 Legal - " + Harbour("/privacy.html"),
        u"page #7 [200] d2 Utility - " + Harbour("/products/hammer.html"),
        u"page #8 [200] d2 Product - " + Harbour("/products/rope-care-kit.html"),
        u"page #9 [200] d2 Article - " + Harbour("/blog/first-post.html"),
        u"page #10 [200] d2 Guide - " + Harbour("/guide/setup.html"),
        u"page #11 [200] d2 Utility - " + Harbour("/company/team.html"),
    };
    log.insert(log.end(), pageLines.begin(), pageLines.end());
    for (const DiscoveryCheck& check : HarbourChecks()) {
        log.push_back(u"ADP: " + check.label + u" = " + check.details);
    }
    log.push_back(u"Crawl complete: 11 pages, score 50%, " + NumberText(result.elapsedSeconds) +
                  u"s");
    EXPECT_EQ(session.log, log);
}

TEST(Crawl, DepthOneFollowsOnlyTheStartPagesLinks) {
    BCNK_REQUIRE_FIXTURE();
    const ScanResult result = RunCrawl(TestOptions(Harbour("/"), 1)).result;
    const std::vector<PageRecord> all = HarbourPages();
    EXPECT_EQ(Stored(result.pages), std::vector<PageRecord>(all.begin(), all.begin() + 6));
    EXPECT_FALSE(result.pageLimitReached);
}

TEST(Crawl, PageLimitIsReportedOnlyWhileAddressesWait) {
    BCNK_REQUIRE_FIXTURE();
    const std::vector<PageRecord> all = HarbourPages();
    struct Row {
        int maxPages;
        size_t stored;
        bool limited;
    };
    // The eleventh page is the last one queued, so a limit of 11 is never felt.
    for (const Row& row : {Row{3, 3, true}, Row{10, 10, true}, Row{11, 11, false}}) {
        const CrawlSession session = RunCrawl(TestOptions(Harbour("/"), 2, row.maxPages));
        EXPECT_EQ(Stored(session.result.pages),
                  std::vector<PageRecord>(all.begin(), all.begin() + row.stored))
            << row.maxPages;
        EXPECT_EQ(session.result.pageLimitReached, row.limited) << row.maxPages;
        EXPECT_EQ(session.result.checks.size(), 10u);
    }
}

TEST(Crawl, StartAddressKeepsItsPathAndOnlyItIsTheStartPage) {
    BCNK_REQUIRE_FIXTURE();
    // Started inside the site: the journal becomes the start page and the home page, reached
    // through no link, is never seen.
    const CrawlSession session = RunCrawl(TestOptions(Harbour("/blog/index.html"), 1));
    const ScanResult& result = session.result;
    ASSERT_EQ(result.pages.size(), 3u);
    EXPECT_EQ(result.pages[0].url, Harbour("/blog/index.html"));
    EXPECT_EQ(result.pages[0].pageClass, PageClass::Index);
    EXPECT_EQ(result.pages[1].url, Harbour("/blog/first-post.html"));
    EXPECT_EQ(result.pages[2].url, Harbour("/guide/setup.html"));
    EXPECT_EQ(result.siteDescription, u"Notes from the quay.");
    EXPECT_EQ(result.language, u"de");
    EXPECT_EQ(result.organizationName, u"");
    EXPECT_EQ(session.log.front(), StartLine(1, 500));
}

TEST(Crawl, InvalidStartAddressLeavesEverythingEmpty) {
    const Text inputs[] = {u"", u"   ", u"https://", u"http:///path"};
    for (const Text& input : inputs) {
        const CrawlSession session = RunCrawl(TestOptions(input));
        EXPECT_EQ(session.result, ScanResult()) << test::Narrow(input);
        EXPECT_EQ(session.progress, (std::vector<ProgressCall>{{u"Invalid URL", 0}}));
        EXPECT_EQ(session.log, std::vector<Text>{u"Crawl aborted: invalid URL '" + input + u"'"});
    }
}

TEST(Crawl, CancelFromProgressDropsThePageAboutToBeFetched) {
    BCNK_REQUIRE_FIXTURE();
    const Text trigger = u"Crawling: " + Harbour("/blog/index.html");
    // One request at a time, or that page already fetched ahead: the same outcome.
    for (int connections : {1, 4}) {
        std::atomic<bool> cancel{false};
        ScanOptions options = TestOptions(Harbour("/"), 2);
        options.connections = connections;
        const CrawlSession session = RunCrawl(options, cancel, [&](const Text& message, int) {
            if (message == trigger) {
                cancel = true;
            }
        });
        const std::vector<PageRecord> all = HarbourPages();
        const ScanResult& result = session.result;
        EXPECT_EQ(Stored(result.pages), std::vector<PageRecord>(all.begin(), all.begin() + 2));
        EXPECT_TRUE(result.checks.empty());
        EXPECT_EQ(result.score, 0);
        EXPECT_EQ(result.topics, (std::vector<Text>{u"rope care kits", u"harbour tools"}));
        EXPECT_EQ(result.language, u"nl");
        EXPECT_FALSE(result.robotsFound);
        EXPECT_EQ(session.progress,
                  (std::vector<ProgressCall>{{u"Crawling: " + Harbour("/"), 0},
                                             {u"Crawling: " + Harbour("/products/"), 1},
                                             {trigger, 2},
                                             {u"Scan complete", 2}}));
        ASSERT_EQ(session.log.size(), 4u);
        EXPECT_TRUE(result.cancelled);
        EXPECT_EQ(session.log.back(), u"Crawl complete: 2 pages, score 0%, " +
                                          NumberText(result.elapsedSeconds) + u"s (cancelled)");
    }
}

TEST(Crawl, CancelBeforeTheChecksSkipsThemAll) {
    BCNK_REQUIRE_FIXTURE();
    std::atomic<bool> cancel{false};
    const CrawlSession session =
        RunCrawl(TestOptions(Harbour("/"), 2), cancel, [&](const Text& message, int) {
            if (message == u"Checking AI discovery files...") {
                cancel = true;
            }
        });
    EXPECT_EQ(Stored(session.result.pages), HarbourPages());
    EXPECT_TRUE(session.result.checks.empty());
    EXPECT_EQ(session.result.score, 0);
    EXPECT_EQ(session.result.topics.size(), 4u);
    EXPECT_EQ(session.progress.back(), (ProgressCall{u"Scan complete", 11}));
    for (const Text& line : session.log) {
        EXPECT_NE(line.rfind(u"ADP: ", 0), 0u) << test::Narrow(line);
    }
    EXPECT_EQ(session.log.back(), u"Crawl complete: 11 pages, score 0%, " +
                                      NumberText(session.result.elapsedSeconds) + u"s (cancelled)");
}

TEST(Crawl, CancelFromAnotherThreadCutsThePauseShort) {
    BCNK_REQUIRE_FIXTURE();
    ScanOptions options = TestOptions(Harbour("/"), 2);
    options.delayMs = 2000;
    std::atomic<bool> cancel{false};
    std::atomic<bool> firstFetch{false};
    using Clock = std::chrono::steady_clock;
    Clock::time_point cancelledAt;
    std::thread canceller([&] {
        for (int i = 0; i < 400 && !firstFetch; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        cancelledAt = Clock::now();
        cancel = true;
    });
    const CrawlSession session =
        RunCrawl(options, cancel, [&](const Text&, int) { firstFetch = true; });
    const Clock::time_point returnedAt = Clock::now();
    canceller.join();
    // The flag arrives while the crawl pauses after the first page.
    ASSERT_EQ(session.result.pages.size(), 1u);
    EXPECT_EQ(Stored(session.result.pages)[0], HarbourPages()[0]);
    EXPECT_TRUE(session.result.checks.empty());
    EXPECT_EQ(session.progress.size(), 2u);
    // The rest of the two-second pause is not sat out.
    EXPECT_LT(returnedAt - cancelledAt, std::chrono::milliseconds(1000));
}

std::vector<Text> Urls(const std::vector<PageRecord>& pages) {
    std::vector<Text> urls;
    for (const PageRecord& page : pages) {
        urls.push_back(page.url);
    }
    return urls;
}

const CrawlerAccess& AccessOf(const ScanResult& result, const Text& token) {
    for (const CrawlerAccess& row : result.crawlerAccess) {
        if (row.token == token) {
            return row;
        }
    }
    static const CrawlerAccess none;
    return none;
}

TEST(Crawl, HonoursRobotsTxtForOurOwnToken) {
    BCNK_REQUIRE_FIXTURE();
    auto fenced = [](const std::string& path) { return test::SiteAddress("fenced", path); };
    const std::size_t earlier = RequestLog("site_fenced").size();
    ScanOptions options = TestOptions(fenced("/"), 2);
    options.userAgent = DefaultUserAgent();
    const CrawlSession session = RunCrawl(options);
    const ScanResult& result = session.result;
    std::vector<std::string> requests;
    for (const LoggedRequest& request : RequestLog("site_fenced")) {
        requests.push_back(request.requestLine);
    }
    requests.erase(requests.begin(), requests.begin() + static_cast<std::ptrdiff_t>(earlier));
    EXPECT_EQ(Urls(result.pages),
              (std::vector<Text>{fenced("/"), fenced("/open.html"), fenced("/private/a.html"),
                                 fenced("/members/join.html")}));
    EXPECT_EQ(result.skippedPages,
              (std::vector<SkippedPage>{
                  {fenced("/members/x.html"), 1, 0, u"blocked by robots.txt", fenced("/")}}));
    // robots.txt was read once, before the first page, and that answer made the row.
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.front(), "GET /robots.txt HTTP/1.1");
    EXPECT_EQ(std::count(requests.begin(), requests.end(), requests.front()), 1);
    EXPECT_EQ(std::count(requests.begin(), requests.end(), "GET /members/x.html HTTP/1.1"), 0);
    EXPECT_EQ(result.checks.back().details, u"AI rules present");

    ASSERT_EQ(result.crawlerAccess.size(), AiCrawlers().size());
    EXPECT_EQ(AccessOf(result, u"ClaudeBot"),
              (CrawlerAccess{u"ClaudeBot", u"Anthropic", CrawlerPurpose::Training,
                             CrawlerAccessLevel::Blocked, u"Disallow: /"}));
    EXPECT_EQ(AccessOf(result, u"GPTBot").access, CrawlerAccessLevel::Partly);
    EXPECT_EQ(AccessOf(result, u"GPTBot").decidingRule, u"Disallow: /members/");
    EXPECT_EQ(AccessOf(result, u"CCBot").access, CrawlerAccessLevel::Partly);
    EXPECT_EQ(AccessOf(result, u"CCBot").decidingRule, u"Disallow: /private/");

    ScanOptions ignoring = options;
    ignoring.respectRobots = false;
    const ScanResult all = RunCrawl(ignoring).result;
    EXPECT_EQ(all.pages.size(), 5u);
    EXPECT_TRUE(all.skippedPages.empty());
}

// What a crawl of a redirecting site comes to: where it settled and what it kept.
struct Landing {
    Text host;
    Text baseUrl;
    Text requestedUrl;
    Text finalUrl;
    std::vector<std::pair<Text, int>> pages;  // url, depth
    std::vector<SkippedPage> skipped;
    bool operator==(const Landing&) const = default;
};

void PrintTo(const Landing& landing, std::ostream* os) {
    *os << "host=" << Narrow(landing.host) << " base=" << Narrow(landing.baseUrl)
        << " requested=" << Narrow(landing.requestedUrl) << " final=" << Narrow(landing.finalUrl)
        << "\n";
    for (const auto& [url, depth] : landing.pages) {
        *os << "  page d" << depth << " " << Narrow(url) << "\n";
    }
    for (const SkippedPage& page : landing.skipped) {
        *os << "  skip d" << page.depth << " [" << page.httpStatus << "] " << Narrow(page.url)
            << " (" << Narrow(page.reason) << ")\n";
    }
}

Landing LandingOf(const ScanResult& result) {
    Landing landing{result.host, result.baseUrl,     result.requestedUrl, result.finalUrl,
                    {},          result.skippedPages};
    for (const PageRecord& page : result.pages) {
        landing.pages.emplace_back(page.url, page.depth);
    }
    return landing;
}

// The documentation site, found at `origin` after the start address redirected there.
Landing MovedDocs(const Text& requested, const Text& origin, const Text& away) {
    const Text docs = origin + u"/docs/";
    return {HostKey(origin),
            origin,
            requested,
            docs,
            {{docs, 0},
             {docs + u"intro.html", 1},
             {docs + u"guide/", 1},
             {docs + u"based.html", 1},
             {docs + u"guide/step.html", 2},
             {docs + u"guide/more.html", 2}},
            {{docs + u"away", 1, 200, u"redirect to another site (" + away + u")", docs},
             {docs + u"missing.html", 1, 404, u"HTTP 404", docs},
             {docs + u"data", 1, 200, u"not HTML (application/pdf)", docs},
             {docs + u"empty", 1, 200, u"empty body", docs}}};
}

TEST(Crawl, StartThatRedirectsMovesTheScanAndPagesKeepTheirFinalAddress) {
    BCNK_REQUIRE_FIXTURE();
    const std::string port = FixtureValue("site_moved_port");
    const std::string securePort = FixtureValue("site_moved_https_port");
    const Text plain = AsciiToText("http://127.0.0.1:" + port);
    const Text secure = AsciiToText("https://127.0.0.1:" + securePort);
    const Text moved = AsciiToText("http://localhost:" + port);
    const Text movedSecure = AsciiToText("https://localhost:" + securePort);
    const Text away = secure + u"/docs/intro.html";

    // WinHTTP under Wine fails a redirect from https to http; elsewhere its own response
    // is the page.
    Landing toHttp{u"127.0.0.1", secure, secure + u"/to-http", secure + u"/to-http", {}, {}};
    if (RunningUnderWine()) {
        toHttp.finalUrl.clear();
        toHttp.skipped = {{secure + u"/to-http", 0, 0, u"redirect to another scheme", u""}};
    } else {
        toHttp.pages = {{secure + u"/to-http", 0}};
    }
    struct Row {
        Text start;
        Landing expected;
    };
    const std::vector<Row> rows = {
        // Two hops: to another host, then the folder without its slash.
        {plain + u"/start", MovedDocs(plain + u"/start", moved, away)},
        // From plain HTTP to HTTPS on another host name.
        {plain + u"/secure-start", MovedDocs(plain + u"/secure-start", movedSecure, away)},
        {secure + u"/to-http", toHttp},
        // A start that leads nowhere leaves the scan where it began.
        {plain + u"/loop",
         {u"127.0.0.1",
          plain,
          plain + u"/loop",
          u"",
          {},
          {{plain + u"/loop", 0, 0, u"too many redirects", u""}}}},
        {plain + u"/elsewhere",
         {u"127.0.0.1",
          plain,
          plain + u"/elsewhere",
          u"",
          {},
          {{plain + u"/elsewhere", 0, 0, u"redirect to another scheme", u""}}}},
    };
    for (const Row& row : rows) {
        const CrawlSession session = RunCrawl(TestOptions(row.start, 2));
        EXPECT_EQ(LandingOf(session.result), row.expected) << Narrow(row.start);
        if (row.expected.baseUrl != plain && row.expected.baseUrl != secure) {
            EXPECT_EQ(session.log.at(1), u"Site moved: " + row.start + u" redirects to " +
                                             row.expected.finalUrl + u"; crawling " +
                                             row.expected.baseUrl);
            // The probes went to the new origin, where the llms.txt is.
            EXPECT_EQ(session.result.checks.at(0).details, u"Present");
            // Reached again through another redirect, the introduction is not stored twice.
            EXPECT_NE(std::find(session.log.begin(), session.log.end(),
                                u"skip [200] d2 (same page as " + row.expected.baseUrl +
                                    u"/docs/intro.html) - " + row.expected.baseUrl +
                                    u"/docs/intro-again"),
                      session.log.end());
        }
    }
}

Text Edges(const std::string& path) {
    return test::SiteAddress("edges", path);
}

// Which pages a crawl of the edges site keeps, by the scope it is given; links of other
// schemes are never requested, paths keep their case, and a <meta> refresh is a redirect.
TEST(Crawl, ScopeSchemesCaseAndRefresh) {
    BCNK_REQUIRE_FIXTURE();
    struct Row {
        const char* name;
        std::string start;
        std::vector<Text> include, exclude;
        bool withinStartFolder;
        std::vector<std::string> pages;
    };
    const std::vector<Row> rows = {
        {"whole site",
         "/#top",
         {},
         {},
         false,
         {"/", "/ABOUT.html", "/about.html", "/docs/", "/docs/landed.html", "/archive/old.html",
          "/docs/a.html"}},
        {"start folder", "/docs/", {}, {}, true, {"/docs/", "/docs/a.html"}},
        {"include and exclude with a wildcard",
         "/",
         {u"/docs/", u"/*bout"},
         {u"/ABOUT*", u"/docs/a."},
         false,
         {"/", "/about.html", "/docs/"}},
    };
    for (const Row& row : rows) {
        ScanOptions options = TestOptions(Edges(row.start), 3);
        options.includePaths = row.include;
        options.excludePaths = row.exclude;
        options.withinStartFolder = row.withinStartFolder;
        const std::size_t earlier = RequestLog("site_edges").size();
        const ScanResult result = RunCrawl(options).result;
        std::vector<Text> expected;
        for (const std::string& path : row.pages) {
            expected.push_back(Edges(path));
        }
        EXPECT_EQ(Urls(result.pages), expected) << row.name;
        EXPECT_EQ(result.requestedUrl, Edges(row.start.substr(0, row.start.find('#'))));
        const std::vector<LoggedRequest> requests = RequestLog("site_edges");
        for (std::size_t index = earlier; index < requests.size(); ++index) {
            const std::string& line = requests[index].requestLine;
            EXPECT_EQ(line.find(':'), std::string::npos) << row.name << ": " << line;
            EXPECT_EQ(line.find('#'), std::string::npos) << row.name << ": " << line;
        }
    }
}

TEST(Crawl, PagesNotStoredNameThePageThatLinkedThem) {
    BCNK_REQUIRE_FIXTURE();
    const ScanResult result = RunCrawl(TestOptions(Edges("/docs/"), 2)).result;
    ASSERT_FALSE(result.pages.empty());
    EXPECT_EQ(result.pages[0].title, u"Docs S\u00E3o Paulo");
    EXPECT_EQ(result.skippedPages, (std::vector<SkippedPage>{{Edges("/docs/missing.html"), 1, 404,
                                                              u"HTTP 404", Edges("/docs/")}}));
}

TEST(Crawl, RobotsTxtThatBlocksEveryPageIsSaidSo) {
    BCNK_REQUIRE_FIXTURE();
    const ScanResult result = RunCrawl(TestOptions(test::SiteAddress("closed", "/"))).result;
    EXPECT_TRUE(result.robotsBlockAll);
    EXPECT_TRUE(result.reachable);
    EXPECT_TRUE(result.pages.empty());
    EXPECT_EQ(result.checks.size(), 10u);
    ScanOptions ignoring = TestOptions(test::SiteAddress("closed", "/"));
    ignoring.respectRobots = false;
    const ScanResult all = RunCrawl(ignoring).result;
    EXPECT_FALSE(all.robotsBlockAll);
    EXPECT_EQ(all.pages.size(), 1u);
}

}  // namespace
}  // namespace bcnk
