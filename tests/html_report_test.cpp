// The HTML report: what it shows, that nothing from the site becomes markup, and the safe
// file writing both front ends use for it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "common/safe_file.h"
#include "report/html_report.h"
#include "samples/hostile_report_scan.h"
#include "support/temp_dir.h"

namespace bcnk {
namespace {

size_t Count(const Text& haystack, const Text& needle) {
    size_t count = 0;
    for (size_t at = haystack.find(needle); at != Text::npos; at = haystack.find(needle, at + 1)) {
        ++count;
    }
    return count;
}

// The text between the first start and the next end after it; empty when either is missing.
Text Between(const Text& text, const Text& start, const Text& end) {
    const size_t from = text.find(start);
    if (from == Text::npos) {
        return Text();
    }
    const size_t to = text.find(end, from + start.size());
    return to == Text::npos ? Text() : text.substr(from, to - from);
}

TEST(HtmlEscape, SpecialsAndForbiddenCodePoints) {
    const std::pair<Text, Text> cases[] = {
        {u"a&b<c>\"d\"'e'", u"a&amp;b&lt;c&gt;&quot;d&quot;&#39;e&#39;"},
        {u"tab\tnl\ncr\rff\f", u"tab\tnl\ncr\rff\f"},
        {Text(u"nul\0x", 5), u"nul\uFFFDx"},
        {u"\x01\x1F\x7F\u0085\u009F", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
        {u"\uFDD0\uFFFE\uFFFF\uFDCF", u"\uFFFD\uFFFD\uFFFD\uFDCF"},
        {u"lone \xD800 and \xDC00", u"lone \uFFFD and \uFFFD"},
        {u"\U0001F600 \U0001FFFE \U0010FFFF", u"\U0001F600 \uFFFD \uFFFD"},
        {u"\xD800", u"\uFFFD"},
        {u"\u00E4\u2028", u"\u00E4\u2028"},
    };
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(HtmlEscape(input), expected) << WideToUtf8(input);
    }
}

TEST(IsWebAddress, OnlyHttpAndHttpsAtTheStart) {
    const std::pair<Text, bool> cases[] = {
        {u"http://example.com/", true},
        {u"HTTPS://example.com", true},
        {u"https://", true},
        {u"javascript:alert(1)", false},
        {u" http://example.com/", false},
        {u"//example.com/", false},
        {u"httpx://example.com", false},
        {u"ftp://example.com", false},
        {u"data:text/html,x", false},
        {u"/relative/page.html", false},
        {u"", false},
        {u"http:/example.com", false},
    };
    for (const auto& [address, expected] : cases) {
        EXPECT_EQ(IsWebAddress(address), expected) << WideToUtf8(address);
    }
}

TEST(ReportFileName, SiteFolderWithSuffix) {
    EXPECT_EQ(ReportFileName(u"www.example.com"), u"www.example.com-report.html");
    EXPECT_EQ(ReportFileName(u""), u"site-report.html");
}

TEST(MakeHtmlReport, HostileTextsNeverBecomeMarkup) {
    const ScanResult scan = samples::HostileReportScan();
    const ScanOptions options = samples::HostileReportOptions();
    const ReportPackage package = samples::HostileReportPackage();
    const Text html = MakeHtmlReport(scan, options, &package, samples::HostileText(9));

    // Only the report's own elements: one style sheet, the data block and the table script.
    EXPECT_EQ(Count(html, u"<style"), 1u);
    EXPECT_EQ(Count(html, u"</style"), 1u);
    EXPECT_EQ(Count(html, u"<script"), 2u);
    EXPECT_EQ(Count(html, u"</script"), 2u);
    EXPECT_EQ(Count(html, u"<!--"), 0u);
    for (const char16_t* tag : {u"<img", u"<iframe", u"<b ", u"<b>", u"<svg onload"}) {
        EXPECT_EQ(Count(html, tag), 0u) << WideToUtf8(tag);
    }
    // An attribute can only start after a quote or space the report wrote itself. The
    // data block is JSON, where quotes are escaped its own way (checked below).
    const Text data = Between(html, u"<script type=\"application/json\"", u"</script>");
    ASSERT_FALSE(data.empty());
    Text markup = ToLower(html);
    markup.erase(html.find(data), data.size());
    for (const char16_t* attribute :
         {u"\"onmouseover", u" onmouseover", u"'onfocus", u" onfocus", u"href=\"javascript",
          u"href=\" javascript", u"href=\"data:", u"href=\"vbscript:"}) {
        EXPECT_EQ(Count(markup, attribute), 0u) << WideToUtf8(attribute);
    }
    EXPECT_EQ(Count(html, u"\uFFFE"), 0u);
    EXPECT_EQ(Count(html, u"\x01"), 0u);

    // Links only for the http(s) addresses, their quotes escaped.
    EXPECT_NE(
        html.find(u"<a href=\"https://evil.example/%22onmouseover=%22window.__pwned=17%22\">"
                  u"https://evil.example/&quot;onmouseover=&quot;window.__pwned=17&quot;</a>"),
        Text::npos);
    EXPECT_NE(html.find(u"<td class=\"a\">javascript:window.__pwned=11</td>"), Text::npos);

    // The data block carries the texts with every < > & escaped for JSON.
    EXPECT_EQ(Count(data, u"<"), 1u);  // the element's own start tag
    EXPECT_NE(data.find(u"\\u003c/script\\u003e\\u003cscript\\u003ewindow.__pwned=4"), Text::npos);
    EXPECT_NE(data.find(u"\\\"onmouseover=\\\"window.__pwned=2\\\" x=\\\""), Text::npos);
}

TEST(MakeHtmlReport, SectionsInOrderAndOnlyWhenThereIsSomethingToShow) {
    const ScanResult full = samples::HostileReportScan();
    const ReportPackage package = samples::HostileReportPackage();
    const Text html = MakeHtmlReport(full, ScanOptions(), &package, u"2026-12-08 01:00");
    size_t last = 0;
    for (const Text id : {u"overview", u"checks", u"crawlers", u"classes", u"topics", u"pages",
                          u"skipped", u"package"}) {
        const size_t at = html.find(u"<section id=\"" + id + u"\"");
        ASSERT_NE(at, Text::npos) << WideToUtf8(id);
        EXPECT_GT(at, last) << WideToUtf8(id);
        last = at;
    }

    ScanResult bare;
    bare.host = u"example.com";
    const Text empty = MakeHtmlReport(bare, ScanOptions(), nullptr, u"2026-12-08 01:00");
    for (const Text id : {u"crawlers", u"skipped", u"package"}) {
        EXPECT_EQ(empty.find(u"id=\"" + id + u"\""), Text::npos) << WideToUtf8(id);
    }
    EXPECT_NE(empty.find(u"The discovery checks did not run"), Text::npos);
    EXPECT_NE(empty.find(u"No page could be analysed."), Text::npos);
    EXPECT_NE(empty.find(u"No topics found."), Text::npos);
    EXPECT_EQ(Count(empty, u"<script"), 0u);  // nothing to sort
}

// The menu's links in order, and the sections in order: each section but the overview has
// its link, and each link its section.
TEST(MakeHtmlReport, TheMenuLinksEverySectionTheReportHas) {
    const auto ids = [](const Text& html, const Text& before, const Text& after,
                        size_t from, size_t to) {
        std::vector<Text> found;
        for (size_t at = html.find(before, from); at < to; at = html.find(before, at + 1)) {
            const size_t start = at + before.size();
            found.push_back(html.substr(start, html.find(after, start) - start));
        }
        return found;
    };
    ScanResult withChecks = samples::HostileReportScan();
    AgentAnswer answer;
    answer.token = u"GPTBot";
    withChecks.agentAnswers.push_back(answer);
    withChecks.render.state = RenderState::NoBrowser;
    withChecks.sitemaps.read = true;
    const ReportPackage package = samples::HostileReportPackage();
    ScanResult bare;
    bare.host = u"example.com";
    for (const auto& [scan, withPackage] :
         {std::pair<const ScanResult*, bool>{&withChecks, true}, {&bare, false}}) {
        const Text html =
            MakeHtmlReport(*scan, ScanOptions(), withPackage ? &package : nullptr, u"now");
        const size_t navStart = html.find(u"<nav>");
        const size_t navEnd = html.find(u"</nav>");
        ASSERT_NE(navStart, Text::npos);
        std::vector<Text> sections =
            ids(html, u"<section id=\"", u"\"", navEnd, Text::npos);
        ASSERT_FALSE(sections.empty());
        EXPECT_EQ(sections.front(), u"overview");
        sections.erase(sections.begin());
        EXPECT_EQ(ids(html, u"<a href=\"#", u"\"", navStart, navEnd), sections)
            << "package " << withPackage;
    }
}

TEST(MakeHtmlReport, SitemapSectionListsTheFindingsWithLinks) {
    ScanResult scan;
    scan.host = u"example.com";
    scan.sitemaps.read = true;
    scan.sitemaps.listed = 3;
    scan.sitemaps.orphans = {u"https://example.com/orphan"};
    scan.sitemaps.issues = {{u"https://example.com/old", 200, u"redirect",
                             u"https://example.com/new?a=1&b=2"}};
    scan.sitemaps.issueCount = 1;
    const Text html = MakeHtmlReport(scan, ScanOptions(), nullptr, u"now");
    const size_t section = html.find(u"<section id=\"sitemaps\">");
    ASSERT_NE(section, Text::npos);
    EXPECT_NE(html.find(u"<a href=\"#sitemaps\">"), Text::npos);
    EXPECT_NE(html.find(u"<td>Orphan</td><td class=\"a\"><a href=\"https://example.com/orphan\">",
                        section),
              Text::npos);
    EXPECT_NE(html.find(u"<a href=\"https://example.com/new?a=1&amp;b=2\">", section), Text::npos);

    scan.sitemaps.read = false;
    EXPECT_EQ(MakeHtmlReport(scan, ScanOptions(), nullptr, u"now").find(u"id=\"sitemaps\""),
              Text::npos);
    // A server that asked us to slow down is worth the section even with sitemaps off.
    scan.politeness.slowDowns = 2;
    EXPECT_NE(MakeHtmlReport(scan, ScanOptions(), nullptr, u"now").find(u"slow down 2 times"),
              Text::npos);
}

TEST(MakeHtmlReport, RowsCarryTheirFields) {
    ScanResult scan;
    scan.host = u"example.com";
    scan.baseUrl = u"https://example.com";
    scan.score = 80;
    scan.scanTime = u"2026-12-08T00:15:44Z";
    PageRecord page;
    page.url = u"https://example.com/lamp.html";
    page.title = u"Harbour lamp";
    page.pageClass = PageClass::Product;
    page.wordCount = 412;
    page.mainWordCount = 298;
    page.schemaTypes = {u"Product", u"Offer"};
    page.httpStatus = 203;
    scan.pages = {page};
    scan.checks = {
        {u"llms.txt", u"/llms.txt", CheckState::Ok, u"Present", true},
        {u"ai-discovery.json", u"/ai-discovery.json", CheckState::Missing, u"Missing", true},
        {u"sitemap.xml", u"/sitemap.xml", CheckState::NeedsUpdate, u"Needs update", true},
        {u"robots.txt AI rules", u"/robots.txt", CheckState::Blocking, u"Blocking AI crawlers",
         true}};
    scan.crawlerAccess = {{u"GPTBot", u"OpenAI", CrawlerPurpose::Training,
                           CrawlerAccessLevel::Blocked, u"Disallow: /"}};
    scan.skippedPages = {{u"https://example.com/gone", 2, 0, u"connection refused"}};
    ScanOptions options;
    options.maxDepth = 2;
    options.delayMs = 250;
    options.maxPages = kNoPageLimit;
    options.connections = 1;
    options.respectRobots = false;
    ReportPackage package;
    package.form.name = u"Harbour Light Works";
    package.form.allowTraining = false;
    package.form.allowCitation = true;
    package.outcome.ok = true;
    package.outcome.folderPath = u"/home/q7user/out/example.com";
    package.outcome.zipPath = u"C:\\Users\\q7user\\example.com\\example.com-ai-discovery.zip";
    package.outcome.filePaths = {u"/out/example.com/README.txt", u"C:\\out\\llms.txt"};
    const Text html = MakeHtmlReport(scan, options, &package, u"2026-12-08 01:00");

    const std::vector<Text> expected = {
        u"<dt>Scanned</dt><dd>2026-12-08 00:15:44 UTC</dd>",
        u"<dt>Report written</dt><dd>2026-12-08 01:00</dd>",
        u"depth 2, pause 250 ms, page limit none, 1 connection, robots.txt ignored",
        u"aria-label=\"Readiness score 80 of 100: Good\"",
        u"stroke=\"#3fb950\"",
        u"<span class=\"badge band good\">Good</span>",
        u"<td>Present</td><td>Yes</td><td></td></tr>",
        u"Upload a machine-readable description of the site and of your AI permissions as "
        u"/ai-discovery.json. The package&#39;s ai-discovery.json fixes this.",
        u"Replace /sitemap.xml: it is there but does not read as a valid sitemap.xml. The "
        u"package&#39;s sitemap.xml fixes this.",
        u"robots.txt blocks every crawler and names no AI crawler",
        u"<tr><td><code>GPTBot</code></td><td>OpenAI</td><td>Training</td><td><span "
        u"class=\"badge poor\">Blocked</span></td><td><code>Disallow: /</code></td></tr>",
        u"aria-label=\"Pages per class: Product pages 1, Articles 0, Guides 0, Legal 0, Other 0\"",
        u"<tr><td class=\"a\"><a href=\"https://example.com/lamp.html\">https://example.com/"
        u"lamp.html</a></td><td>Harbour lamp</td><td class=\"c\">Product</td><td "
        u"class=\"n\">412</td><td class=\"n\">298</td><td>Product, Offer</td><td "
        u"class=\"n\">203</td><td>status not 200</td></tr>",
        u"[\"https://example.com/lamp.html\",\"Harbour lamp\",\"Product\",412,298,\"Product, "
        u"Offer\",203,\"status not 200\"]",
        u"<h2>Left out of the package</h2>",
        u"<td class=\"n\">2</td><td class=\"n\">none</td><td>connection refused</td>",
        u"<dt>AI training</dt><dd>not allowed</dd>",
        u"<dt>AI citation</dt><dd>allowed</dd>",
        u"<li><code>llms.txt</code></li>",
        u"<dt>Folder</dt><dd>example.com</dd>",
        u"<dt>Archive</dt><dd>example.com-ai-discovery.zip</dd>",
    };
    for (const Text& piece : expected) {
        EXPECT_NE(html.find(piece), Text::npos) << WideToUtf8(piece);
    }
    EXPECT_EQ(html.find(u"q7user"), Text::npos) << "a local path";
}

TEST(MakeHtmlReport, LinkTargetsAreValidUris) {
    const std::pair<Text, Text> cases[] = {
        {u"http://[::1]:8080/a b#x#y", u"http://[::1]:8080/a%20b#x%23y"},
        {u"https://h.example/caf\u00E9?q=[1]|{2}",
         u"https://h.example/caf%C3%A9?q=%5B1%5D%7C%7B2%7D"},
        {u"https://h.example/100%/%41%4", u"https://h.example/100%25/A%254"},
        {u"https://h.example/\U0001F600\xD800\t", u"https://h.example/%F0%9F%98%80%EF%BF%BD%09"},
        {u"https://h.example/a'b&c", u"https://h.example/a&#39;b&amp;c"},
    };
    ScanResult scan;
    for (const auto& [address, target] : cases) {
        scan.skippedPages.push_back({address, 1, 404, u"HTTP 404"});
    }
    const Text html = MakeHtmlReport(scan, ScanOptions(), nullptr, u"now");
    for (const auto& [address, target] : cases) {
        EXPECT_NE(html.find(u"<a href=\"" + target + u"\">"), Text::npos) << WideToUtf8(address);
    }
}

TEST(WriteFileSafely, WritesReplacesAndLeavesNothingBehindOnFailure) {
    test::TempDir dir;
    const Text path = dir.File(u"r\u00E9port.html");
    EXPECT_EQ(WriteFileSafely(path, "first"), u"");
    EXPECT_EQ(WriteFileSafely(path, "second, longer"), u"");
    EXPECT_EQ(test::ReadFileBytes(std::filesystem::path(path)), "second, longer");

    // A folder where the file should go: the move fails, the folder stays as it was.
    const Text folder = dir.File(u"taken");
    std::filesystem::create_directory(std::filesystem::path(folder));
    EXPECT_NE(WriteFileSafely(folder, "x"), u"");
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(folder)));

    EXPECT_NE(WriteFileSafely(dir.File(u"missing/report.html"), "x"), u"");

    std::vector<Text> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        names.push_back(entry.path().filename().u16string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<Text>{u"r\u00E9port.html", u"taken"}));
}

}  // namespace
}  // namespace bcnk
