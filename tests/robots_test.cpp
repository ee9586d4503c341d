#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "package/robots.h"

namespace bcnk {
namespace {

const Text kDate = u"2026-12-07";

const Text kHeader =
    u"# Beaconsmith - generated robots.txt\n"
    u"# REVIEW BEFORE UPLOAD. robots.txt is a crawler hint, not a\n"
    u"# security or privacy control.\n";

const Text kSitemaps =
    u"# Sitemap references\n"
    u"Sitemap: https://example.com/sitemap.xml\n"
    u"Sitemap: https://example.com/ai-sitemap.xml\n";

ScanResult ScanWithRobots(int status, const Text& robotsTxt) {
    ScanResult scan;
    scan.baseUrl = u"https://example.com";
    scan.robotsStatus = status;
    scan.robotsTxt = robotsTxt;
    scan.robotsFound = !robotsTxt.empty();
    return scan;
}

PackageForm RulesForm(bool allowTraining) {
    PackageForm form;
    form.name = u"Example";
    form.allowTraining = allowTraining;
    form.addRobotsRules = true;
    return form;
}

TEST(RobotsTxtFresh, NotFoundWithBlockingRules) {
    const Text expected = kHeader +
                          u"# No existing robots.txt was found at https://example.com/robots.txt\n"
                          u"# (status 404), so a fresh one was generated.\n"
                          u"\n"
                          u"User-agent: GPTBot\nDisallow: /\n\n"
                          u"User-agent: OAI-SearchBot\nDisallow: /\n\n"
                          u"User-agent: CCBot\nDisallow: /\n\n"
                          u"User-agent: Google-Extended\nDisallow: /\n\n"
                          u"User-agent: anthropic-ai\nDisallow: /\n\n"
                          u"User-agent: Claude-Web\nDisallow: /\n\n"
                          u"User-agent: ClaudeBot\nDisallow: /\n\n"
                          u"User-agent: PerplexityBot\nDisallow: /\n\n"
                          u"User-agent: Bytespider\nDisallow: /\n\n"
                          u"User-agent: Applebot-Extended\nDisallow: /\n\n" +
                          kSitemaps;
    const Text text = MakeRobotsTxt(ScanWithRobots(404, u""), RulesForm(false), kDate);
    EXPECT_EQ(text, expected);
    EXPECT_EQ(std::count(text.begin(), text.end(), u'\n'), 39);
}

TEST(RobotsTxtFresh, StatusNoteFollowsTheAnswer) {
    const Text notPlain =
        u"# The response at https://example.com/robots.txt was not plain-text\n"
        u"# robots.txt (it looked like an HTML page), so a fresh one was generated.\n";
    auto warning = [](const Text& status) {
        return u"# WARNING: your robots.txt could not be read during the scan (status " + status +
               u").\n"
               u"# It was likely blocked by a firewall or was unreachable, which means\n"
               u"# your site MAY ALREADY HAVE a robots.txt. Do NOT replace your live file\n"
               u"# with this one - instead MERGE the AI-crawler rules below into your\n"
               u"# existing robots.txt after retrieving it directly from your server.\n";
    };
    auto notFound = [](const Text& status) {
        return u"# No existing robots.txt was found at https://example.com/robots.txt\n"
               u"# (status " +
               status + u"), so a fresh one was generated.\n";
    };
    struct Row {
        int status;
        Text note;
    };
    const std::vector<Row> rows = {
        {200, notPlain},         {0, warning(u"0")},     {403, warning(u"403")},
        {503, warning(u"503")},  {400, warning(u"400")}, {404, notFound(u"404")},
        {301, notFound(u"301")}, {1, notFound(u"1")},    {399, notFound(u"399")},
    };
    PackageForm noRules = RulesForm(true);
    noRules.addRobotsRules = false;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.status);
        EXPECT_EQ(MakeRobotsTxt(ScanWithRobots(row.status, u""), noRules, kDate),
                  kHeader + row.note + u"\n" + kSitemaps);
    }
}

TEST(RobotsTxtMerge, NothingMissingAddsOnlyTheNote) {
    const Text existing =
        u"User-agent: *\nDisallow: /admin\n\n"
        u"user-agent: gptbot\nuser-agent: OAI-SEARCHBOT\nUser-Agent:CCBot\n"
        u"User-agent: Google-Extended # Gemini\nUser-agent: anthropic-ai\n"
        u"User-agent: Claude-Web\nUser-agent: ClaudeBot\nUser-agent: PerplexityBot\n"
        u"User-agent: Bytespider\nUser-agent: Applebot-Extended\nAllow: /\n\n"
        u"Sitemap: HTTPS://EXAMPLE.COM/sitemap.xml\nsitemap:https://example.com/ai-sitemap.xml\n";
    const Text expected = existing +
                          u"\n# Talvenn's Beaconsmith (2026-12-07): all AI-crawler rules "
                          u"and sitemap references already present - no changes.\n";
    EXPECT_EQ(MakeRobotsTxt(ScanWithRobots(200, existing), RulesForm(false), kDate), expected);
}

TEST(RobotsTxtMerge, CrLfFileGetsMissingCrawlersAndSitemapsInCrLf) {
    const Text existing = u"User-agent: GPTBot\r\nDisallow: /private\r\n";
    const Text expected =
        existing +
        u"\r\n"
        u"# ===== Added by Talvenn's Beaconsmith - 2026-12-07 =====\r\n"
        u"# Everything above is your existing robots.txt, preserved unchanged.\r\n"
        u"# Review the lines below, then replace your live robots.txt with this file.\r\n"
        u"# robots.txt is a crawler hint, not a security or privacy control.\r\n"
        u"\r\n"
        u"User-agent: OAI-SearchBot\r\nAllow: /\r\n\r\n"
        u"User-agent: CCBot\r\nAllow: /\r\n\r\n"
        u"User-agent: Google-Extended\r\nAllow: /\r\n\r\n"
        u"User-agent: anthropic-ai\r\nAllow: /\r\n\r\n"
        u"User-agent: Claude-Web\r\nAllow: /\r\n\r\n"
        u"User-agent: ClaudeBot\r\nAllow: /\r\n\r\n"
        u"User-agent: PerplexityBot\r\nAllow: /\r\n\r\n"
        u"User-agent: Bytespider\r\nAllow: /\r\n\r\n"
        u"User-agent: Applebot-Extended\r\nAllow: /\r\n\r\n"
        u"# Sitemap references\r\n"
        u"Sitemap: https://example.com/sitemap.xml\r\n"
        u"Sitemap: https://example.com/ai-sitemap.xml\r\n";
    EXPECT_EQ(MakeRobotsTxt(ScanWithRobots(200, existing), RulesForm(true), kDate), expected);
}

TEST(RobotsTxtMerge, UnterminatedLastLineAndOnlyOneSitemapMissing) {
    // Without rules wanted only the sitemap references can be missing; a reference under
    // another scheme is a different address.
    const Text existing =
        u"Sitemap: https://example.com/sitemap.xml\nSitemap: http://example.com/ai-sitemap.xml";
    PackageForm form = RulesForm(false);
    form.addRobotsRules = false;
    const Text expected =
        existing +
        u"\n"
        u"\n"
        u"# ===== Added by Talvenn's Beaconsmith - 2026-12-07 =====\n"
        u"# Everything above is your existing robots.txt, preserved unchanged.\n"
        u"# Review the lines below, then replace your live robots.txt with this file.\n"
        u"# robots.txt is a crawler hint, not a security or privacy control.\n"
        u"\n"
        u"# Sitemap references\n"
        u"Sitemap: https://example.com/ai-sitemap.xml\n";
    EXPECT_EQ(MakeRobotsTxt(ScanWithRobots(200, existing), form, kDate), expected);
}

TEST(RobotsTxtMerge, WhichLinesNameACrawler) {
    struct Row {
        Text line;
        bool namesGptBot;
    };
    const std::vector<Row> rows = {
        {u"User-agent: GPTBot", true},
        {u"User-agent: GPTBot # OpenAI", true},
        {u"User-Agent:GPTBot", true},
        {u"  USER-AGENT  :  gptbot  \r", true},
        {u"# User-agent: GPTBot", false},
        {u"User-agent: GPTBot/1.0", false},
        {u"User-agent: *", false},
        {u"Useragent: GPTBot", false},
        {u"Disallow: GPTBot", false},
        {u"User-agent GPTBot", false},
        {u"\uFEFFUser-agent: GPTBot", true},  // a byte-order mark does not hide the name
        {u"\u00A0User-agent:\u3000GPTBot", true},
    };
    const Text block = u"User-agent: GPTBot\nDisallow: /\n";
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.line.begin(), row.line.end()));
        const Text existing = row.line + u"\n";
        const Text text = MakeRobotsTxt(ScanWithRobots(200, existing), RulesForm(false), kDate);
        ASSERT_EQ(text.substr(0, existing.size()), existing);
        const bool added = text.find(block, existing.size()) != Text::npos;
        EXPECT_EQ(added, !row.namesGptBot);
    }
}

TEST(RobotsTxt, MergeStampedWithToday) {
    const ScanResult scan = ScanWithRobots(200, u"User-agent: *\nDisallow:\n");
    const PackageForm form = RulesForm(true);
    const Text before = TodayDate();
    const Text text = MakeRobotsTxt(scan, form);
    const Text after = TodayDate();
    EXPECT_TRUE(text == MakeRobotsTxt(scan, form, before) ||
                text == MakeRobotsTxt(scan, form, after));
}

}  // namespace
}  // namespace bcnk
