#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "package/readme.h"
#include "package/robots.h"
#include "scan/ai_crawlers.h"
#include "scan/robots_rules.h"

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

PackageForm RulesForm(bool training, bool citation, bool summarisation) {
    PackageForm form;
    form.name = u"Example";
    form.allowTraining = training;
    form.allowCitation = citation;
    form.allowSummarisation = summarisation;
    form.addRobotsRules = true;
    return form;
}

PackageForm RulesForm(bool allowAll) {
    return RulesForm(allowAll, allowAll, allowAll);
}

// The "*" group that says what the content may be used for, as the generator writes it.
Text UsageGroup(const Text& signal, const Text& lineEnd) {
    return u"# What your content may be used for, said to every crawler." + lineEnd +
           u"User-agent: *" + lineEnd + u"Content-Signal: " + signal + lineEnd + u"Disallow:" +
           lineEnd + lineEnd;
}

// The two-line groups of the table crawlers after the long-standing ten, in table order.
Text NewerCrawlerGroups(const Text& rule, const Text& lineEnd, std::size_t skip = 0) {
    Text out;
    for (const AiCrawler& crawler : AiCrawlers().subspan(kLongStandingCrawlers + skip)) {
        out += u"User-agent: " + Text(crawler.token) + lineEnd + rule + lineEnd + lineEnd;
    }
    return out;
}

bool Wanted(const AiCrawler& crawler, const PackageForm& form) {
    return PermitsPurpose({form.allowTraining, form.allowCitation, form.allowSummarisation},
                          crawler.purpose);
}

TEST(RobotsTxtFresh, NotFoundWithBlockingRules) {
    const Text expected = kHeader +
                          u"# No existing robots.txt was found at https://example.com/robots.txt\n"
                          u"# (status 404), so a fresh one was generated.\n"
                          u"\n" +
                          UsageGroup(u"search=no, ai-input=no, ai-train=no", u"\n") +
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
                          NewerCrawlerGroups(u"Disallow: /", u"\n") + kSitemaps;
    EXPECT_EQ(MakeRobotsTxt(ScanWithRobots(404, u""), RulesForm(false), kDate), expected);
}

TEST(RobotsTxtFresh, EachCrawlerFollowsThePermissionOfItsPurpose) {
    for (int choices = 0; choices < 8; ++choices) {
        const PackageForm form = RulesForm(choices & 1, choices & 2, choices & 4);
        const RobotsTxt file = ParseRobotsTxt(MakeRobotsTxt(ScanWithRobots(404, u""), form, kDate));
        for (const AiCrawler& crawler : AiCrawlers()) {
            const auto token = RobotsProductToken(Text(crawler.token));
            EXPECT_EQ(Decide(file, token, u"/any/page").allowed, Wanted(crawler, form))
                << choices << " " << token;
        }
        EXPECT_TRUE(Decide(file, "googlebot", u"/").allowed);
    }
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

// Every table token after the long-standing ten, one user-agent line each.
Text NewerAgents() {
    Text out;
    for (const AiCrawler& crawler : AiCrawlers().subspan(kLongStandingCrawlers)) {
        out += u"User-agent: " + Text(crawler.token) + u"\n";
    }
    return out;
}

TEST(RobotsTxtMerge, NothingMissingAddsOnlyTheNote) {
    const Text existing =
        u"User-agent: *\nContent-Signal: search=no, ai-input=no, ai-train=no\nDisallow: /admin\n\n"
        u"user-agent: gptbot\nuser-agent: OAI-SEARCHBOT\nUser-Agent:CCBot\n"
        u"User-agent: Google-Extended # Gemini\nUser-agent: anthropic-ai\n"
        u"User-agent: Claude-Web\nUser-agent: ClaudeBot\nUser-agent: PerplexityBot\n"
        u"User-agent: Bytespider\nUser-agent: Applebot-Extended\n" +
        NewerAgents() +
        u"Disallow: /\n\n"
        u"Sitemap: HTTPS://EXAMPLE.COM/sitemap.xml\nsitemap:https://example.com/ai-sitemap.xml\n";
    const Text expected = existing +
                          u"\n# Talvenn's Beaconsmith (2026-12-07): all AI-crawler rules "
                          u"and sitemap references already present - no changes.\n";
    const ScanResult scan = ScanWithRobots(200, existing);
    EXPECT_EQ(MakeRobotsTxt(scan, RulesForm(false), kDate), expected);
    EXPECT_FALSE(RobotsRulesDifferFromChoices(scan, RulesForm(false)));

    // The same groups against the opposite choice: left alone, but named for review.
    const Text reviewed =
        expected +
        u"# REVIEW: your existing rules differ from your choices for OAI-SearchBot, "
        u"PerplexityBot, Claude-SearchBot, Meta-WebIndexer, Amzn-SearchBot, DuckAssistBot, "
        u"MistralAI-Index, YouBot.\n"
        u"# They were left exactly as you wrote them; change them above if you want your\n"
        u"# choices to apply.\n\n"
        u"# REVIEW: your existing usage preferences differ from your choices: "
        u"search=no (Content-Signal).\n"
        u"# They were left exactly as you wrote them; change them above if you want your\n"
        u"# choices to apply.\n\n";
    EXPECT_EQ(MakeRobotsTxt(scan, RulesForm(false, true, false), kDate), reviewed);
    EXPECT_TRUE(RobotsRulesDifferFromChoices(scan, RulesForm(false, true, false)));
    EXPECT_NE(MakeUploadMap(true).find(u"review: your rules differ from your choices"), Text::npos);
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
        u"\r\n" +
        UsageGroup(u"search=yes, ai-input=yes, ai-train=yes", u"\r\n") +
        u"User-agent: OAI-SearchBot\r\nAllow: /\r\n\r\n"
        u"User-agent: CCBot\r\nAllow: /\r\n\r\n"
        u"User-agent: Google-Extended\r\nAllow: /\r\n\r\n"
        u"User-agent: anthropic-ai\r\nAllow: /\r\n\r\n"
        u"User-agent: Claude-Web\r\nAllow: /\r\n\r\n"
        u"User-agent: ClaudeBot\r\nAllow: /\r\n\r\n"
        u"User-agent: PerplexityBot\r\nAllow: /\r\n\r\n"
        u"User-agent: Bytespider\r\nAllow: /\r\n\r\n"
        u"User-agent: Applebot-Extended\r\nAllow: /\r\n\r\n" +
        NewerCrawlerGroups(u"Allow: /", u"\r\n") +
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
        {u"User-agent: GPTBot/1.0", true},
        {u"User-agent: *", false},
        {u"Useragent: GPTBot", true},
        {u"Disallow: GPTBot", false},
        {u"User-agent GPTBot", true},
        {u"User-agent: GPTBot+(+https://example.org/bot)", true},
        {u"User-agent: GPTBotX2", false},
        {u"\uFEFFUser-agent: GPTBot", true},  // a byte-order mark does not hide the name
        {u"\u00A0User-agent:\u3000GPTBot", true},
    };
    const Text block = u"User-agent: GPTBot\nDisallow: /\n";
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.line.begin(), row.line.end()));
        const Text existing = row.line + u"\nDisallow: /x\n";
        const Text text = MakeRobotsTxt(ScanWithRobots(200, existing), RulesForm(false), kDate);
        ASSERT_EQ(text.substr(0, existing.size()), existing);
        const bool added = text.find(block, existing.size()) != Text::npos;
        EXPECT_EQ(added, !row.namesGptBot);
    }
}

const char16_t* const kProbePaths[] = {
    u"/",
    u"/cart",
    u"/checkout/pay",
    u"/account/",
    u"/wp-admin/",
    u"/wp-admin/admin-ajax.php",
    u"/blog/post-1",
    u"/search?q=x",
    u"/product/1?sort=asc",
    u"/private/x",
    u"/files/a.pdf",
    u"/tmp/",
    u"/index.html",
    u"/?s=term",
    u"/feed/",
    u"/wp-content/up.png",
    u"/team/claude-martin/",
    u"/my-account/orders",
    u"/cgi-bin/x",
    u"/Cart",
    u"/checkout",
    u"/api/v1/items",
    u"/a%2Fb",
};

// The merged file must keep the owner's meaning for every crawler it already addressed and
// for crawlers outside the table, block the AI crawlers the form keeps out, and open the
// others no wider than the owner's "*" group.
void ExpectMergeKeepsMeaning(const Text& owner, const PackageForm& form) {
    const RobotsTxt before = ParseRobotsTxt(owner);
    const RobotsTxt after = ParseRobotsTxt(MakeRobotsTxt(ScanWithRobots(200, owner), form, kDate));
    for (const char* other : {"googlebot", "bingbot", "*", "somebot"}) {
        for (const char16_t* path : kProbePaths) {
            EXPECT_EQ(Decide(after, other, path), Decide(before, other, path))
                << other << " " << WideToUtf8(path);
        }
    }
    for (const AiCrawler& crawler : AiCrawlers()) {
        const auto token = RobotsProductToken(Text(crawler.token));
        const bool ownGroup = RulesFor(before, token).ownGroup;
        for (const char16_t* path : kProbePaths) {
            const bool was = Decide(before, token, path).allowed;
            const bool now = Decide(after, token, path).allowed;
            const bool expected = ownGroup ? was : was && Wanted(crawler, form);
            EXPECT_EQ(now, expected) << token << " " << WideToUtf8(path);
        }
    }
}

TEST(RobotsTxtMerge, OwnersRulesKeepTheirMeaning) {
    const Text wordPress =
        u"User-agent: *\nDisallow: /wp-admin/\nAllow: /wp-admin/admin-ajax.php\n\n"
        u"Sitemap: https://example.com/wp-sitemap.xml\n";
    const Text shop =
        u"# shop rules\nUser-agent: *\nDisallow: /cart\nDisallow: /checkout\n"
        u"Disallow: /account/\nDisallow: /my-account/\nDisallow: /*?sort=\nDisallow: /*?s=\n"
        u"Disallow: /search\nAllow: /search/help\nDisallow: /*.pdf$\n"
        u"Sitemap: https://example.com/sitemap_index.xml\nSitemap: https://example.com/p.xml\n";
    const std::vector<Text> owners = {
        wordPress,
        shop,
        u"User-agent: *\nDisallow: /\n",
        u"User-agent: GPTBot\nDisallow: /private/\n\nUser-agent: *\nDisallow: /tmp/\n",
        u"\uFEFFUser-agent: *\r\nDisallow: /private/\r\n\r\nUser-agent: ccbot/2.0\r\n"
        u"Disallow: /\r\n",
        u"  user-AGENT :googlebot   # search\n\tdisallow:/tmp/ #x\nUser-agent:*\n"
        u"DISALLOW : /cgi-bin/\n",
        u"User-agent: Googlebot\nUser-agent: Bingbot\nUser-agent: *\nDisallow: /private/\n"
        u"Allow: /private/x\n",
        u"User-agent: *\nDisallow: /cart\n\nUser-agent: Googlebot\nUser-agent: Bingbot\n",
        u"User-agent: *\nDisallow:\n",
        u"Sitemap: https://example.com/sitemap.xml\n",
    };
    for (const Text& owner : owners) {
        for (int choices = 0; choices < 8; ++choices) {
            SCOPED_TRACE(WideToUtf8(owner) + " choices " + std::to_string(choices));
            ExpectMergeKeepsMeaning(owner, RulesForm(choices & 1, choices & 2, choices & 4));
        }
    }
}

TEST(RobotsTxtMerge, AllowedCrawlersRepeatTheRulesForEveryone) {
    const Text owner = u"User-agent: *\nDisallow: /cart\nAllow: /cart/help\n";
    const Text text =
        MakeRobotsTxt(ScanWithRobots(200, owner), RulesForm(false, true, false), kDate);
    const Text shared =
        u"# These crawlers follow the same rules as every other crawler (User-agent: *).\n"
        u"User-agent: OAI-SearchBot\nUser-agent: PerplexityBot\nUser-agent: Claude-SearchBot\n"
        u"User-agent: Meta-WebIndexer\nUser-agent: Amzn-SearchBot\nUser-agent: DuckAssistBot\n"
        u"User-agent: MistralAI-Index\nUser-agent: YouBot\nDisallow: /cart\nAllow: /cart/help\n\n";
    EXPECT_NE(text.find(u"User-agent: GPTBot\nDisallow: /\n\nUser-agent: CCBot\n"), Text::npos);
    EXPECT_NE(text.find(shared), Text::npos) << WideToUtf8(text);
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
