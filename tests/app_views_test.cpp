#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "app/agent_views.h"
#include "app/layout.h"
#include "app/result_views.h"

namespace bcnk {
namespace {

PageRecord Page(const Text& url, const Text& title, PageClass pageClass, int words,
                std::vector<Text> types = {}) {
    PageRecord page;
    page.url = url;
    page.title = title;
    page.pageClass = pageClass;
    page.wordCount = words;
    page.schemaTypes = std::move(types);
    page.httpStatus = 200;
    return page;
}

std::vector<Text> Urls(const std::vector<PageRecord>& pages) {
    std::vector<Text> urls;
    for (const PageRecord& page : pages) {
        urls.push_back(page.url);
    }
    return urls;
}

std::vector<PageRecord> SamplePages() {
    std::vector<PageRecord> pages = {
        Page(u"/c", u"beta", PageClass::Product, 300, {u"Product"}),
        Page(u"/a", u"Alpha", PageClass::Index, 50, {u"Organization", u"WebSite"}),
        Page(u"/b", u"alpha", PageClass::Article, 1200),
    };
    pages[0].robotsDirectives = {u"noindex"};
    pages[2].duplicateOf = u"https://x.example/a";
    // Main content need not follow the page's whole word count.
    pages[0].mainWordCount = 20;
    pages[1].mainWordCount = 40;
    pages[2].mainWordCount = 900;
    return pages;
}

TEST(SortPagesByColumn, ClicksToggleDirectionPerColumn) {
    std::vector<PageRecord> pages = SamplePages();
    PageSortState state;
    struct Click {
        int column;
        std::vector<Text> order;
    };
    const std::vector<Click> clicks = {
        {3, {u"/a", u"/c", u"/b"}},  // Words ascending
        {3, {u"/b", u"/c", u"/a"}},  // Words again: descending
        {1, {u"/a", u"/b", u"/c"}},  // Title ascending, ordinal: "Alpha" < "alpha" < "beta"
        {2, {u"/b", u"/a", u"/c"}},  // Class by display name: Article, Index, Product
        {4, {u"/b", u"/a", u"/c"}},  // Schema: none first, "Organization,WebSite" < "Product"
        {5, {u"/a", u"/b", u"/c"}},  // Indexable: "Yes" < "duplicate of ..." < "noindex"
        {6, {u"/c", u"/a", u"/b"}},  // Main words ascending
        {0, {u"/a", u"/b", u"/c"}}, {0, {u"/c", u"/b", u"/a"}},
    };
    for (const Click& click : clicks) {
        ASSERT_TRUE(SortPagesByColumn(pages, click.column, state));
        EXPECT_EQ(Urls(pages), click.order) << "column " << click.column;
    }
}

TEST(SortPagesByColumn, StateSurvivesANewResultAndEmptyListsAreLeftAlone) {
    PageSortState state;
    std::vector<PageRecord> first = SamplePages();
    SortPagesByColumn(first, 2, state);

    std::vector<PageRecord> none;
    EXPECT_FALSE(SortPagesByColumn(none, 2, state));
    EXPECT_FALSE(SortPagesByColumn(first, 7, state));
    EXPECT_EQ(state.column, 2);
    EXPECT_TRUE(state.ascending);

    std::vector<PageRecord> second = SamplePages();
    SortPagesByColumn(second, 2, state);  // same column again: descending
    EXPECT_EQ(Urls(second), (std::vector<Text>{u"/c", u"/a", u"/b"}));
}

TEST(PageCellText, ColumnsShowTheRecord) {
    const PageRecord page =
        Page(u"https://x.example/", u"Home", PageClass::Guide, 42, {u"Organization", u"WebSite"});
    EXPECT_EQ(PageCellText(page, 0), u"https://x.example/");
    EXPECT_EQ(PageCellText(page, 1), u"Home");
    EXPECT_EQ(PageCellText(page, 2), u"Guide");
    EXPECT_EQ(PageCellText(page, 3), u"42");
    EXPECT_EQ(PageCellText(page, 4), u"Organization, WebSite");
    EXPECT_EQ(PageCellText(page, 5), u"Yes");
    EXPECT_EQ(PageCellText(page, 6), u"0");
    EXPECT_EQ(PageCellText(page, 7), u"");
    PageRecord copy = page;
    copy.mainWordCount = 31;
    EXPECT_EQ(PageCellText(copy, 6), u"31");
    copy.duplicateOf = u"https://x.example/a/one.html";
    EXPECT_EQ(PageCellText(copy, 5), u"duplicate of /a/one.html");
    copy.canonical = u"https://x.example/a/one.html";
    EXPECT_EQ(PageCellText(copy, 5), u"canonical \u2192 /a/one.html");

    PageRecord many = page;
    many.schemaTypes.assign(200, u"Thing");
    EXPECT_EQ(PageCellText(many, 4).size(), 1023u);
    many.pageClass = static_cast<PageClass>(17);
    EXPECT_EQ(PageCellText(many, 2), u"Other");
}

TEST(RenderStatusText, TheStatusBarSaysHowManyPagesNeedScripts) {
    RenderCheck check;
    EXPECT_EQ(RenderStatusText(check), u"");
    check.state = RenderState::NoBrowser;
    EXPECT_EQ(RenderStatusText(check), u"JavaScript not checked: no browser found");
    check.state = RenderState::Cancelled;
    EXPECT_EQ(RenderStatusText(check), u"JavaScript check cancelled");
    check.state = RenderState::Done;
    for (RenderVerdict verdict : {RenderVerdict::NeedsJavaScript, RenderVerdict::SameWithoutScripts,
                                  RenderVerdict::NeedsJavaScript, RenderVerdict::NotRendered}) {
        PageRender page;
        page.verdict = verdict;
        check.pages.push_back(page);
    }
    // A page the browser could not render counts neither way.
    EXPECT_EQ(RenderStatusText(check), u"content needs JavaScript on 2 of 3 pages");
    check.pages.resize(1);
    EXPECT_EQ(RenderStatusText(check), u"content needs JavaScript on 1 of 1 page");
}

TEST(CrawlerAnswerCells, VerdictAndMeaningBesideTheRobotsTxtAccess) {
    ScanResult result;
    const CrawlerAccess extended{u"Google-Extended", u"Google", CrawlerPurpose::Training,
                                 CrawlerAccessLevel::Allowed, u""};
    EXPECT_EQ(CrawlerAnswerCellText(result, extended), u"not checked");
    EXPECT_EQ(CrawlerMeaningCellText(result, extended), u"");
    AgentAnswer answer;
    answer.token = u"Google-Extended";
    answer.probedAs = u"Googlebot";
    answer.verdict = AgentVerdict::RateLimited;
    answer.status = 429;
    result.agentAnswers.push_back(answer);
    EXPECT_EQ(CrawlerAnswerCellText(result, extended), u"rate limited (HTTP 429)");
    EXPECT_EQ(CrawlerMeaningCellText(result, extended),
              u"robots.txt allows it, the server refuses it; same as Googlebot's answer: this "
              u"token has no crawler of its own");
}

TEST(CrawlerCellText, ColumnsShowTheRow) {
    const CrawlerAccess row{u"CCBot", u"Common Crawl", CrawlerPurpose::UserTriggered,
                            CrawlerAccessLevel::Partly, u"Disallow: /private/"};
    std::vector<Text> cells;
    for (int column = 0; column <= kCrawlerColumnCount; ++column) {
        cells.push_back(CrawlerCellText(row, column));
    }
    EXPECT_EQ(cells, (std::vector<Text>{u"CCBot", u"Common Crawl", u"User-triggered", u"Partly",
                                        u"Disallow: /private/", u""}));
    const CrawlerAccess undecided{u"GPTBot", u"OpenAI", CrawlerPurpose::Training,
                                  CrawlerAccessLevel::Allowed, u""};
    EXPECT_EQ(CrawlerCellText(undecided, 4), u"no rule applies");
}

TEST(SitemapListRows, SummaryAndPaceFirstThenEveryFinding) {
    ScanResult result;
    result.sitemaps.read = true;
    result.sitemaps.files = {{u"http://s/sitemap.xml", 200, u"urlset", 4, false, false, u""},
                             {u"http://s/broken.xml", 200, u"HTML page", 0, false, false,
                              u"an HTML page, not a sitemap"}};
    result.sitemaps.listed = 4;
    result.sitemaps.otherSite = 1;
    result.sitemaps.orphans = {u"http://s/o"};
    result.sitemaps.notListed = {u"http://s/n"};
    result.sitemaps.notListedJudged = true;
    result.sitemaps.issues = {{u"http://x/", 0, u"on another site", u""},
                              {u"http://s/r", 200, u"redirect", u"http://s/t"}};
    result.sitemaps.issueCount = 2;
    result.politeness.slowDowns = 3;
    result.politeness.retries = 3;
    result.politeness.waitedMs = 6500;
    result.politeness.crawlDelayMs = 30000;
    result.politeness.crawlDelayCapped = true;
    const std::vector<SitemapFindingRow> expected = {
        {u"Sitemaps", u"",
         u"2 sitemap files, 4 addresses: 1 orphan, 1 stored page in no sitemap, 2 bad entries "
         u"(1 on another site)"},
        {u"Server pace", u"",
         u"The server asked us to slow down 3 times (3 retries, 7 s waited); Crawl-delay 30 s "
         u"honoured (capped at 30 s)"},
        {u"Orphan", u"http://s/o", u"only a sitemap leads here"},
        {u"Not in any sitemap", u"http://s/n", u""},
        {u"On another site", u"http://x/", u""},
        {u"Redirect", u"http://s/r", u"http://s/t"},
        {u"Sitemap file not read", u"http://s/broken.xml", u"an HTML page, not a sitemap"},
    };
    EXPECT_EQ(SitemapListRows(result), expected);

    ScanResult unread;
    EXPECT_EQ(SitemapListRows(unread),
              (std::vector<SitemapFindingRow>{{u"Sitemaps", u"not read (Settings)", u""}}));
    unread.sitemaps.read = true;
    unread.sitemaps.files = {{u"http://s/sitemap.xml", 404, u"empty", 0, false, false, u"HTTP 404"}};
    EXPECT_EQ(SitemapListRows(unread).front().detail,
              u"No sitemap entries found (http://s/sitemap.xml: HTTP 404)");
}

TEST(AddSitemapCounts, TheSitemapRowKeepsItsStateAndGainsTheCount) {
    std::vector<DiscoveryCheck> checks = {{u"sitemap.xml", u"/sitemap.xml", CheckState::Ok,
                                           u"Valid", true},
                                          {u"llms.txt", u"/llms.txt", CheckState::Ok, u"Present",
                                           true}};
    SitemapAudit audit;
    audit.read = true;
    audit.issueCount = 12;
    AddSitemapCounts(audit, checks);
    EXPECT_EQ(checks[0].details, u"Valid; 12 entries are not indexable pages");
    EXPECT_EQ(checks[0].state, CheckState::Ok);
    EXPECT_EQ(checks[1].details, u"Present");
}

TEST(UsageRows, OneRowPerPurposeAboveTheCrawlers) {
    ScanResult result;
    EXPECT_TRUE(UsageRows(result).empty());  // nothing was read
    result.usage.pagesRead = 40;
    UsagePurposeFindings& search = result.usage.purposes[1];
    search.answer = UsageAnswer::No;
    search.conflict = true;
    search.declarations = {
        {UsageSource::RobotsContentSignal, UsageAnswer::Yes, u"search=yes", u"*", u"/", 0},
        {UsageSource::HttpContentUsage, UsageAnswer::No, u"search=n", u"", u"", 3}};
    const auto rows = UsageRows(result);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (std::vector<Text>{u"Declared use", u"this site", u"Training",
                                          u"Not said", u"nothing declared"}));
    EXPECT_EQ(rows[1][3], u"Says no");
    EXPECT_EQ(rows[1][4],
              u"Conflict: robots.txt says search=yes, 3 pages send search=n. "
              u"search=yes (robots.txt, Content-Signal, group *); "
              u"search=n (HTTP header on 3 of 40 pages)");
    EXPECT_EQ(rows[1].size(), static_cast<std::size_t>(kCrawlerColumnCount));
}

TEST(Gauge, ScoreColoursAndArc) {
    const std::vector<std::pair<int, Rgb>> rows = {
        {100, {63, 185, 80}}, {75, {63, 185, 80}}, {74, {226, 176, 51}},
        {45, {226, 176, 51}}, {44, {224, 85, 85}}, {0, {224, 85, 85}},
    };
    for (const auto& [score, color] : rows) {
        EXPECT_EQ(ScoreColor(score), color) << score;
    }
    EXPECT_EQ(ArcEndPoint(120, 80, 70, 100), (Point{120, 10}));  // full circle: back at the top
    EXPECT_EQ(ArcEndPoint(120, 80, 70, 25), (Point{190, 80}));
    EXPECT_EQ(ArcEndPoint(120, 80, 70, 50), (Point{120, 150}));
    EXPECT_EQ(ArcEndPoint(120, 80, 70, 74), (Point{51, 84}));
}

TEST(Layout, ScalesLikeMulDiv) {
    EXPECT_EQ(Scale(11, 144), 17);  // 16.5 rounds up
    EXPECT_EQ(Scale(28, 144), 42);
    EXPECT_EQ(Scale(14, 144), 21);
    EXPECT_EQ(Scale(900, 144), 1350);
    EXPECT_EQ(Scale(640, 144), 960);
    EXPECT_EQ(Scale(-11, 144), -17);
    EXPECT_EQ(Scale(7, 120), 9);  // 8.75
}

TEST(Layout, TopRowFillsTheWidthAtEveryDpi) {
    for (int dpi : {96, 120, 144, 192}) {
        const int width = Scale(900, dpi) - 16;
        const MainLayout layout = ComputeMainLayout(width, Scale(640, dpi), dpi);
        const int gap = Scale(8, dpi);
        EXPECT_EQ(layout.scan.x, layout.address.x + layout.address.width + gap) << dpi;
        EXPECT_EQ(layout.depth.x, layout.scan.x + layout.scan.width + gap) << dpi;
        EXPECT_EQ(layout.delay.x, layout.depth.x + layout.depth.width + gap) << dpi;
        EXPECT_EQ(layout.pageLimit.x, layout.delay.x + layout.delay.width + gap) << dpi;
        EXPECT_EQ(layout.pageLimit.x + layout.pageLimit.width, width - Scale(14, dpi)) << dpi;
        EXPECT_GT(layout.address.width, 0) << dpi;
    }
    const MainLayout at144 = ComputeMainLayout(1334, 900, 144);
    EXPECT_EQ(at144.address, (Rect{21, 21, 1334 - 48 - 42 - 198 - 168 - 150 - 135, 42}));
    EXPECT_EQ(at144.tabs, (Rect{21, 84, 1292, 900 - 84 - 21 - 39}));
    EXPECT_EQ(at144.scanProgress, (Rect{21, 69, 1292, 9}));
}

TEST(Layout, TabViewsShareTheDisplayArea) {
    const TabViewsLayout views = ComputeTabViews(20, 60, 860, 560, 96);
    EXPECT_EQ(views.statusList, (Rect{28, 68, 824 - 240 - 12, 484}));
    EXPECT_EQ(views.gauge, (Rect{28 + 584, 68, 240, 484}));
    EXPECT_EQ(views.pageList, (Rect{28, 68, 824, 484}));
    EXPECT_EQ(views.generatePanel, (Rect{20, 60, 840, 500}));
}

TEST(Layout, GeneratePanelRowsAt96Dpi) {
    const GeneratePanelLayout panel = ComputeGeneratePanel(700, 96);
    const int q = 700 - 144;
    EXPECT_EQ(panel.nameLabel, (Rect{12, 16, 112, 20}));
    EXPECT_EQ(panel.name, (Rect{132, 12, q, 28}));
    EXPECT_EQ(panel.descriptionLabel, (Rect{12, 50, 112, 20}));
    EXPECT_EQ(panel.email, (Rect{132, 80, q, 28}));
    EXPECT_EQ(panel.industry, (Rect{132, 114, q, 220}));
    EXPECT_EQ(panel.foundedLabel, (Rect{12, 152, 112, 20}));
    EXPECT_EQ(panel.founded, (Rect{132, 148, 120, 28}));
    // The TDM policy address shares the year's row, up to the fields' right edge.
    EXPECT_EQ(panel.tdmPolicyLabel, (Rect{264, 152, 128, 20}));
    EXPECT_EQ(panel.tdmPolicy, (Rect{400, 148, 288, 28}));
    EXPECT_EQ(panel.training.y, 186);
    EXPECT_EQ(panel.citation.y, 212);
    EXPECT_EQ(panel.summarisation.y, 238);
    EXPECT_EQ(panel.robots, (Rect{132, 264, q, 22}));
    EXPECT_EQ(panel.contentUsage, (Rect{132, 290, q, 22}));
    // The Markdown choice and llms-full.txt's size share a row.
    EXPECT_EQ(panel.publishMarkdown, (Rect{132, 316, 250, 22}));
    EXPECT_EQ(panel.fullTextLabel, (Rect{394, 318, 140, 20}));
    EXPECT_EQ(panel.fullText, (Rect{542, 315, 80, 24}));
    EXPECT_EQ(panel.generate, (Rect{132, 350, q, 34}));
    EXPECT_EQ(panel.progress, (Rect{132, 390, q, 12}));
    EXPECT_EQ(panel.result, (Rect{132, 408, q - 120, 28}));
    EXPECT_EQ(panel.openFolder, (Rect{700 - 12 - 110, 408, 110, 28}));
    EXPECT_EQ(panel.auditLink, (Rect{132, 442, q, 20}));
}

// At the narrowest panel of the smallest window and at both DPIs the form's controls do not
// overlap, stay inside the panel's width and end no lower than the form did before the
// Markdown row (462 at 96 DPI, give or take rounding), which the panel of the smallest
// window still shows.
TEST(Layout, GeneratePanelControlsStayApartAtEveryDpi) {
    for (const int dpi : {96, 120, 144, 192}) {
        const int width = Scale(830, dpi);
        const GeneratePanelLayout p = ComputeGeneratePanel(width, dpi);
        const Rect rects[] = {p.nameLabel,   p.name,           p.descriptionLabel, p.description,
                              p.emailLabel,  p.email,          p.industryLabel,    p.foundedLabel,
                              p.founded,     p.tdmPolicyLabel, p.tdmPolicy,        p.training,
                              p.citation,    p.summarisation,  p.robots,           p.contentUsage,
                              p.publishMarkdown, p.fullTextLabel, p.fullText,      p.generate,
                              p.progress,    p.result,         p.openFolder,       p.auditLink};
        // The industry list's rectangle is its opened height; its closed box is a row.
        Rect industry = p.industry;
        industry.height = Scale(28, dpi);
        std::vector<Rect> all(std::begin(rects), std::end(rects));
        all.push_back(industry);
        int bottom = 0;
        for (size_t i = 0; i < all.size(); ++i) {
            const Rect& a = all[i];
            EXPECT_GE(a.x, 0) << dpi << " dpi, control " << i;
            EXPECT_LE(a.x + a.width, width) << dpi << " dpi, control " << i;
            bottom = std::max(bottom, a.y + a.height);
            for (size_t j = i + 1; j < all.size(); ++j) {
                const Rect& b = all[j];
                const bool apart = a.x + a.width <= b.x || b.x + b.width <= a.x ||
                                   a.y + a.height <= b.y || b.y + b.height <= a.y;
                EXPECT_TRUE(apart) << dpi << " dpi: controls " << i << " and " << j;
            }
        }
        // Each of the dozen sizes down the form is scaled and rounded on its own.
        EXPECT_LE(bottom, Scale(462, dpi) + 6) << dpi << " dpi";
    }
}

TEST(Layout, GaugeAndSettingsGeometry) {
    const GaugeLayout gauge = ComputeGaugeLayout(240, 96);
    EXPECT_EQ(gauge.centerX - gauge.radius, 50);
    EXPECT_EQ(gauge.centerX + gauge.radius, 190);
    EXPECT_EQ(gauge.centerY - gauge.radius, 10);
    EXPECT_EQ(gauge.rating, (Rect{0, 162, 240, 20}));
    EXPECT_EQ(gauge.heading, (Rect{16, 200, 208, 20}));
    EXPECT_EQ(gauge.firstRowLabel, (Rect{16, 226, 104, 18}));
    EXPECT_EQ(gauge.firstRowCount, (Rect{120, 226, 104, 18}));
    EXPECT_EQ(gauge.firstRowLabel.y + 4 * gauge.rowStep, 314);

    const SettingsLayout settings = ComputeSettingsLayout(100, 50, 1000, 690, 144);
    EXPECT_EQ(settings.window, (Rect{100 + (900 - 518) / 2, 50 + (640 - 744) / 2, 518, 744}));
    EXPECT_EQ(settings.robotsCheck, (Rect{24, 162, 465, 33}));
    EXPECT_EQ(settings.sitemapsCheck, (Rect{24, 204, 465, 33}));
    EXPECT_EQ(settings.trackingCheck, (Rect{24, 246, 465, 33}));
    EXPECT_EQ(settings.renderPages, (Rect{375, 333, 117, 36}));
    EXPECT_EQ(settings.startFolderCheck, (Rect{24, 558, 465, 33}));
    EXPECT_EQ(settings.ok, (Rect{225, 612, 120, 42}));
    const SettingsLayout narrow = ComputeSettingsLayout(0, 0, 345 - 1, 200 - 1, 96);
    EXPECT_EQ(narrow.window.x, 0);  // (−1) / 2 rounds toward zero
}

}  // namespace
}  // namespace bcnk
