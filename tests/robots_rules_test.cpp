#include <gtest/gtest.h>

#include <set>
#include <string>

#include "scan/ai_crawlers.h"
#include "scan/robots_rules.h"

namespace bcnk {
namespace {

struct MatchCase {
    const char* robots;
    const char* agent;
    const char16_t* path;
    bool allowed;
    const char16_t* rule;
};

// Each row: a file, a crawler, a path and the verdict with its deciding line.
const MatchCase kMatchCases[] = {
    // Groups: own group first, "*" only as fallback, several user-agent lines per group,
    // groups naming one crawler combined, product tokens case-insensitive, version cut off.
    {"User-agent: *\nDisallow: /\n\nUser-agent: GPTBot\nAllow: /\n", "gptbot", u"/a", true,
     u"Allow: /"},
    {"User-agent: *\nDisallow: /\n\nUser-agent: GPTBot\nAllow: /\n", "ccbot", u"/a", false,
     u"Disallow: /"},
    {"User-agent: a\nUser-agent: CCBot\nDisallow: /x\n", "ccbot", u"/x/1", false, u"Disallow: /x"},
    {"User-agent: CCBot/2.0\nDisallow: /\n", "CCBot", u"/", false, u"Disallow: /"},
    {"USER-AGENT: ccbot\ndisallow: /p\n", "CCBot", u"/p", false, u"Disallow: /p"},
    {"User-agent: x\nDisallow: /a\n\nUser-agent: x\nDisallow: /b\n", "x", u"/b", false,
     u"Disallow: /b"},
    {"User-agent: x\nDisallow: /a\nUser-agent: y\nDisallow: /b\n", "x", u"/b", true, u""},
    {"User-agent: GPTBot\nDisallow:\n\nUser-agent: *\nDisallow: /\n", "gptbot", u"/", true, u""},
    {"User-agent: Googlebot News\nDisallow: /\n", "googlebot", u"/", false, u"Disallow: /"},
    {"Disallow: /\nUser-agent: *\nDisallow: /x\n", "a", u"/", true, u""},
    // Longest match wins, Allow wins a tie; wildcards and the end anchor.
    {"User-agent: *\nDisallow: /p\nAllow: /p/q\n", "a", u"/p/q/r", true, u"Allow: /p/q"},
    {"User-agent: *\nAllow: /p\nDisallow: /p/q\n", "a", u"/p/q", false, u"Disallow: /p/q"},
    {"User-agent: *\nDisallow: /p\nAllow: /p\n", "a", u"/p", true, u"Allow: /p"},
    {"User-agent: *\nAllow: /page\nDisallow: /*.htm\n", "a", u"/page.htm", false,
     u"Disallow: /*.htm"},
    {"User-agent: *\nDisallow: /*.php$\n", "a", u"/x.php", false, u"Disallow: /*.php$"},
    {"User-agent: *\nDisallow: /*.php$\n", "a", u"/x.php?y", true, u""},
    {"User-agent: *\nDisallow: /fish*\n", "a", u"/fish.html", false, u"Disallow: /fish*"},
    {"User-agent: *\nDisallow: /*?sort=\n", "a", u"/list?sort=asc", false, u"Disallow: /*?sort="},
    {"User-agent: *\nDisallow: /a$b\n", "a", u"/a$b", false, u"Disallow: /a$b"},
    {"User-agent: *\nDisallow: /*a*b*c$\n", "a", u"/xaybzc", false, u"Disallow: /*a*b*c$"},
    {"User-agent: *\nDisallow: /*a*b*c$\n", "a", u"/xaybzcd", true, u""},
    {"User-agent: *\nDisallow: /team/claude-martin/\n", "claudebot", u"/", true, u""},
    // Percent-encoding in one form on both sides.
    {"User-agent: *\nDisallow: /foo/jalape\xC3\xB1o\n", "a", u"/foo/jalape%c3%b1o", false,
     u"Disallow: /foo/jalape\u00F1o"},
    {"User-agent: *\nDisallow: /%62%61%7A\n", "a", u"/baz", false, u"Disallow: /%62%61%7A"},
    {"User-agent: *\nDisallow: /a%2Fb\n", "a", u"/a/b", true, u""},
    // What crawlers forgive: BOM, CR LF and lone CR, comments, odd spacing, misspellings.
    {"\xEF\xBB\xBFUser-agent: *\r\nDisallow: /x\r\n", "a", u"/x", false, u"Disallow: /x"},
    {"User-agent: *\rDisallow: /x\r", "a", u"/x", false, u"Disallow: /x"},
    {"# User-agent: GPTBot\nUser-agent: * # all\n  Disallow :\t/x  # no\n", "gptbot", u"/x", false,
     u"Disallow: /x"},
    {"useragent: *\ndissallow: /a\n", "a", u"/a", false, u"Disallow: /a"},
    {"User agent: *\ndisalow: /a\n", "a", u"/a", false, u"Disallow: /a"},
    // User-agent lines with no rule after them still bind their crawlers, who may then read
    // everything; a rule line without its colon counts when it is two words; a user-agent's
    // product token is its leading run of letters, "_" and "-".
    {"User-agent: *\nDisallow: /x\n\nUser-agent: a\n", "a", u"/x", true, u""},
    {"User-agent: *\nDisallow: /\n\nUser-agent: GPTBot\nUser-agent: CCBot\n", "ccbot", u"/", true,
     u""},
    {"User-agent *\nDisallow /a\n", "a", u"/a", false, u"Disallow: /a"},
    {"User-agent: *\nDisallow /*/?adb_id=D*\n", "a", u"/x/?adb_id=D1", false,
     u"Disallow: /*/?adb_id=D*"},
    {"User-agent: *\nDisallow\t/a\nAllow /a/b\n", "a", u"/a/b", true, u"Allow: /a/b"},
    {"User-agent: *\nDisallow /a b\n", "a", u"/a", true, u""},
    {"User-agent: Baiduspider+(+http://example.org/spider.htm)\nDisallow: /\n", "baiduspider", u"/",
     false, u"Disallow: /"},
    {"User-agent: Mediapartners-Google*\nDisallow: /\n", "Mediapartners-Google", u"/", false,
     u"Disallow: /"},
    {"User-agent: Mediapartners-Google*\nDisallow: /\n", "mediapartners", u"/", true, u""},
    {"User-agent: *bot\nDisallow: /\n", "somebot", u"/", true, u""},
};

TEST(RobotsRules, MatchTable) {
    for (const MatchCase& row : kMatchCases) {
        const RobotsTxt file = ParseRobotsTxt(std::string_view(row.robots));
        const RobotsVerdict verdict = Decide(file, row.agent, row.path);
        EXPECT_EQ(verdict, (RobotsVerdict{row.allowed, row.rule}))
            << row.robots << " | " << row.agent << " | " << WideToUtf8(row.path);
    }
}

TEST(RobotsRules, StatusOfTheAnswerDecidesFirst) {
    const std::string blockAll = "User-agent: *\nDisallow: /\n";
    struct Row {
        int status;
        bool allowed;
    };
    for (const Row row : {Row{200, false}, Row{301, true}, Row{404, true}, Row{403, true},
                          Row{500, false}, Row{503, false}, Row{0, false}}) {
        const RobotsTxt file = RobotsTxtForAnswer(row.status, row.status >= 500 ? "" : blockAll);
        EXPECT_EQ(Decide(file, "a", u"/x").allowed, row.allowed) << row.status;
    }
    EXPECT_EQ(Decide(RobotsTxtForAnswer(503, ""), "a", u"/").rule, u"robots.txt answered HTTP 503");
}

TEST(RobotsRules, ParseLimitDropsTheCutLine) {
    std::string text = "User-agent: *\n";
    while (text.size() < kRobotsParseLimit - 20) {
        text += "Allow: /filler\n";
    }
    text += "Disallow: /private/everything\n";  // crosses the limit
    text += "Disallow: /later\n";
    const RobotsTxt file = ParseRobotsTxt(text);
    EXPECT_TRUE(Decide(file, "a", u"/private").allowed);
    EXPECT_TRUE(Decide(file, "a", u"/later").allowed);
    EXPECT_EQ(file.groups.size(), 1u);
}

TEST(RobotsRules, AnyBytesParse) {
    const std::string odd("User-agent: *\0\xFF\nDisallow: /\xFE\x80*$$\n::\n#\n", 38);
    const RobotsTxt file = ParseRobotsTxt(odd);
    ASSERT_EQ(file.groups.size(), 1u);
    EXPECT_EQ(file.groups[0].rules.size(), 1u);
}

TEST(RobotsRules, PathsOfAddresses) {
    EXPECT_EQ(RobotsPathOf(u"https://example.com"), "/");
    EXPECT_EQ(RobotsPathOf(u"https://example.com/a b?q=1#frag"), "/a%20b?q=1");
    EXPECT_EQ(RobotsPathOf(u"/p?q"), "/p?q");
    EXPECT_EQ(RobotsProductToken(u"TalvennsBeaconsmith/1.0 (+https://x)"), "talvennsbeaconsmith");
}

TEST(AiCrawlerTable, RowsAreWellFormed) {
    const auto table = AiCrawlers();
    EXPECT_GE(table.size(), 25u);
    EXPECT_LE(table.size(), 40u);
    const char16_t* longStanding[] = {u"GPTBot",           u"OAI-SearchBot", u"CCBot",
                                      u"Google-Extended",  u"anthropic-ai",  u"Claude-Web",
                                      u"ClaudeBot",        u"PerplexityBot", u"Bytespider",
                                      u"Applebot-Extended"};
    for (std::size_t i = 0; i < kLongStandingCrawlers; ++i) {
        EXPECT_EQ(Text(table[i].token), longStanding[i]);
    }
    std::set<std::string> tokens;
    for (const AiCrawler& crawler : table) {
        const std::string token = RobotsProductToken(Text(crawler.token));
        // A token must read back as itself, or its own group would never be found.
        EXPECT_EQ(token, RobotsProductToken(WideToUtf8(crawler.token)));
        EXPECT_EQ(token.size(), Text(crawler.token).size()) << token;
        EXPECT_TRUE(tokens.insert(token).second) << token;
        EXPECT_NE(Text(crawler.source).rfind(u"https://", 0), Text::npos) << token;
    }
}

}  // namespace
}  // namespace bcnk
