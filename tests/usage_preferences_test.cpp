#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/structured_fields.h"
#include "package/package.h"
#include "package/robots.h"
#include "package/server_setup.h"
#include "scan/crawler.h"
#include "scan/usage_preferences.h"
#include "support/crawl_session.h"
#include "support/fixture.h"

namespace bcnk {
namespace {

using namespace test;

constexpr UsageAnswer U = UsageAnswer::Unknown;
constexpr UsageAnswer Y = UsageAnswer::Yes;
constexpr UsageAnswer N = UsageAnswer::No;

TEST(StructuredFields, RepeatedKeyKeepsItsPlaceAndTakesTheLastValue) {
    const auto dictionary = ParseSfDictionary("a=1, b=2, a=3;p");
    ASSERT_TRUE(dictionary.has_value());
    ASSERT_EQ(dictionary->size(), 2u);
    EXPECT_EQ((*dictionary)[0].key, "a");
    EXPECT_EQ((*dictionary)[0].items.front().value.number, 3);
    EXPECT_EQ((*dictionary)[0].items.front().parameters.size(), 1u);
    EXPECT_FALSE(ParseSfDictionary(std::string(kSfMaxInputBytes + 1, 'a')).has_value());
}

TEST(UsagePreferences, ContentUsageValues) {
    struct Row {
        const char* value;
        UsageAnswers answers;
        bool readable;
    };
    const Row rows[] = {
        {"train-ai=n, search=y", {N, Y, U}, true},
        {"search=y,train-ai=n", {N, Y, U}, true},
        {"train-ai=n, train-ai=y", {Y, U, U}, true},     // the last of a repeated key wins
        {"train-ai=n;reason=\"x\"", {N, U, U}, true},    // parameters change nothing
        {"train-ai=\"n\", search=yes", {U, U, U}, true},  // only the tokens y and n count
        {"train-ai=N", {U, U, U}, true},
        {"train-ai=(n)", {U, U, U}, true},
        {"train-ai", {U, U, U}, true},  // a bare key is the boolean true, not a token
        {"ai-train=n, search=y, future-use=n", {U, Y, U}, true},
        {"", {U, U, U}, true},
        {"train-ai=n,", {U, U, U}, false},  // one fault makes every preference unknown
        {"Train-AI=n, search=y", {U, U, U}, false},
        {"train-ai=n search=y", {U, U, U}, false},
    };
    for (const Row& row : rows) {
        bool readable = !row.readable;
        EXPECT_EQ(ReadContentUsage(row.value, &readable), row.answers) << row.value;
        EXPECT_EQ(readable, row.readable) << row.value;
    }
}

TEST(UsagePreferences, ContentSignalValues) {
    EXPECT_EQ(ReadContentSignal("search=yes, ai-input=yes, ai-train=no"), (UsageAnswers{N, Y, Y}));
    EXPECT_EQ(ReadContentSignal("ai-train=n, search=y"), (UsageAnswers{U, U, U}));
    EXPECT_EQ(ReadContentSignal("search=yes,"), (UsageAnswers{U, U, U}));
}

TEST(UsagePreferences, WrittenValuesFollowThePermissions) {
    EXPECT_EQ(ContentSignalValue({false, true, true}), "search=yes, ai-input=yes, ai-train=no");
    EXPECT_EQ(ContentSignalValue({true, false, false}), "search=no, ai-input=no, ai-train=yes");
    EXPECT_EQ(ContentUsageValue({false, true, true}), "train-ai=n, search=y");
    EXPECT_EQ(ContentUsageValue({true, false, true}), "train-ai=y, search=n");
    // What we write, we read back the same.
    EXPECT_EQ(ReadContentSignal(ContentSignalValue({false, true, false})), (UsageAnswers{N, Y, N}));
    EXPECT_EQ(ReadContentUsage(ContentUsageValue({true, false, false})), (UsageAnswers{Y, N, U}));
}

TEST(UsagePreferences, RobotsLinesStayInTheirGroups) {
    const RobotsTxt file = ParseRobotsTxt(std::string(
        "Content-Signal: ai-train=no\n"  // before any group: nobody's
        "User-agent: a\n"
        "content-signal: ai-train=no\n"
        "User-agent: b\n"  // still the same group: the line is no rule
        "Content-Usage: /blog/  train-ai=n # comment\n"
        "Content-Usage: search=y\n"
        "Disallow: /x\n"
        "User-agent: c\n"
        "Content-Usage:\n"
        "Allow: /\n"));
    ASSERT_EQ(file.groups.size(), 2u);
    EXPECT_EQ(file.groups[0].agents, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(file.groups[0].usageLines,
              (std::vector<RobotsUsageLine>{{true, "/", "ai-train=no"},
                                            {false, "/blog/", "train-ai=n"},
                                            {false, "/", "search=y"}}));
    EXPECT_TRUE(file.groups[1].usageLines.empty());
    EXPECT_EQ(file.groups[0].rules.size(), 1u);
}

// The same site read from its files alone: what each form gives, where, with conflicts.
TEST(UsagePreferences, FindingsPerPurpose) {
    const RobotsTxt file = ParseRobotsTxt(std::string(
        "User-agent: *\n"
        "Content-Signal: search=yes, ai-train=no\n"
        "Content-Usage: /blog/ train-ai=n\n"
        "Disallow: /private/\n"
        "Content-Usage: /private/ train-ai=y\n"));
    std::vector<PageRecord> pages(4);
    pages[0].url = u"https://example.com/";
    pages[1].url = u"https://example.com/blog/a";
    pages[2].url = u"https://example.com/blog/b";
    pages[3].url = u"https://example.com/private/c";
    PageUsageCounts counts;
    CountPageUsage({{u"content-usage", u"search=n"}, {u"content-usage", u"train-ai=n"}}, u"1",
                   u"https://example.com/policy", counts);
    CountPageUsage({{u"content-usage", u"search=n"}, {u"tdm-reservation", u"1"}}, u"", u"", counts);
    CountPageUsage({{u"content-usage", u"search=n,,"}}, u"maybe", u"", counts);
    CountPageUsage({}, u"", u"", counts);
    const UsageFindings findings = FindUsagePreferences(file, pages, counts);

    EXPECT_EQ(findings.pagesRead, 4);
    EXPECT_EQ(findings.unreadableContentUsage, 1);
    EXPECT_EQ(findings.tdmPolicy, u"https://example.com/policy");
    const UsagePurposeFindings& training = findings.purposes[0];
    EXPECT_EQ(training.answer, N);
    EXPECT_FALSE(training.conflict);  // the private line covers no page the crawler may fetch
    EXPECT_EQ(UsagePurposeText(training, 4),
              u"no: ai-train=no (robots.txt, Content-Signal, group *); "
              u"train-ai=n (robots.txt, Content-Usage, group *, path /blog/: 2 pages); "
              u"train-ai=n (HTTP header on 1 of 4 pages); "
              u"tdm-reservation: 1 (HTTP header on 1 of 4 pages); "
              u"tdm-reservation: 1 (meta tag on 1 of 4 pages)");
    const UsagePurposeFindings& search = findings.purposes[1];
    EXPECT_EQ(search.answer, N);
    EXPECT_TRUE(search.conflict);
    EXPECT_EQ(UsageConflictText(search), u"robots.txt says search=yes, 2 pages send search=n");
    EXPECT_EQ(UsagePurposeText(findings.purposes[2], 4), u"unknown");
}

// A training "yes" and "no" in one purpose is a conflict; with the meta tag's 0 too.
TEST(UsagePreferences, ConflictsNameTheirGroupAndPath) {
    const RobotsTxt file = ParseRobotsTxt(std::string(
        "User-agent: GPTBot\nContent-Usage: /open/ train-ai=y\nAllow: /\n"
        "User-agent: *\nContent-Signal: ai-train=no\nAllow: /\n"));
    std::vector<PageRecord> pages(1);
    pages[0].url = u"https://example.com/open/x";
    const UsageFindings findings = FindUsagePreferences(file, pages, PageUsageCounts());
    EXPECT_EQ(UsageConflictText(findings.purposes[0]),
              u"robots.txt says train-ai=y to gptbot under /open/, robots.txt says ai-train=no");
}

// A file of thousands of groups is read only as far as a bounded number of lines.
TEST(UsagePreferences, ManyGroupsAreReadToABound) {
    std::string text;
    for (int i = 0; i < 5000; ++i) {
        text += "User-agent: bot" + std::to_string(i) + "\nContent-Usage: train-ai=n\nAllow: /\n";
    }
    std::vector<PageRecord> pages(500);
    for (PageRecord& page : pages) {
        page.url = u"https://example.com/p";
    }
    const UsageFindings findings = FindUsagePreferences(ParseRobotsTxt(text), pages, {});
    EXPECT_EQ(findings.purposes[0].declarations.size(), 256u);
    EXPECT_EQ(findings.purposes[0].answer, N);
}

PackageForm Form(bool training, bool citation, bool summarisation, bool contentUsage) {
    PackageForm form;
    form.name = u"Example";
    form.allowTraining = training;
    form.allowCitation = citation;
    form.allowSummarisation = summarisation;
    form.addRobotsRules = true;
    form.contentUsageInRobots = contentUsage;
    return form;
}

ScanResult SiteWithRobots(const Text& robotsTxt) {
    ScanResult scan;
    scan.host = u"example.com";
    scan.baseUrl = u"https://example.com";
    scan.robotsStatus = 200;
    scan.robotsFound = !robotsTxt.empty();
    scan.robotsTxt = robotsTxt;
    return scan;
}

// robots.txt.NEW's usage lines: added to a "*" group that binds, never weakening an owner's.
TEST(UsagePreferences, RobotsTxtNewLines) {
    struct Row {
        const char* name;
        Text existing;
        PackageForm form;
        std::vector<Text> present;
        std::vector<Text> absent;
    };
    const Row rows[] = {
        {"fresh file", u"", Form(false, true, true, false),
         {u"User-agent: *\nContent-Signal: search=yes, ai-input=yes, ai-train=no\nDisallow:\n"},
         {u"Content-Usage:"}},
        {"fresh file with the IETF line", u"", Form(true, false, true, true),
         {u"Content-Signal: search=no, ai-input=yes, ai-train=yes\n"
          u"Content-Usage: train-ai=y, search=n\nDisallow:\n"},
         {}},
        {"owner's no stays and ours leaves the term out",
         u"User-agent: *\nContent-Usage: train-ai=n\nDisallow: /admin\n", Form(true, true, true, false),
         {u"Content-Signal: search=yes, ai-input=yes\n",
          u"# REVIEW: your existing usage preferences differ from your choices: "
          u"train-ai=no (Content-Usage)."},
         {u"ai-train=yes"}},
        {"owner's Content-Signal is the only one",
         u"User-agent: *\nContent-Signal: ai-train=no\nAllow: /\n", Form(false, true, true, false),
         {},
         {u"Content-Signal: search"}},
        {"an open last group: the usage group goes before the owner's groups",
         u"User-agent: *\nDisallow: /cart\nUser-agent: SomeBot\n", Form(false, true, true, false),
         {u"User-agent: *\nContent-Signal: search=yes, ai-input=yes, ai-train=no\nDisallow:\n",
          u"# ===== End of the added lines =====\n\nUser-agent: *\nDisallow: /cart\n"},
         {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Text made = MakeRobotsTxt(SiteWithRobots(row.existing), row.form, u"2026-12-08");
        for (const Text& piece : row.present) {
            EXPECT_NE(made.find(piece), Text::npos) << WideToUtf8(piece) << "\nin\n" << WideToUtf8(made);
        }
        for (const Text& piece : row.absent) {
            EXPECT_EQ(made.find(piece), Text::npos) << WideToUtf8(piece) << "\nin\n" << WideToUtf8(made);
        }
        // The owner's text stays, byte for byte, and every usage line reads as something.
        EXPECT_NE(made.find(row.existing), Text::npos);
        const RobotsTxt reread = ParseRobotsTxt(made);
        for (const RobotsGroup& group : reread.groups) {
            for (const RobotsUsageLine& line : group.usageLines) {
                const UsageAnswers answers = line.contentSignal ? ReadContentSignal(line.value)
                                                                : ReadContentUsage(line.value);
                EXPECT_NE(answers, (UsageAnswers{U, U, U})) << line.value;
            }
        }
    }
}

TEST(UsagePreferences, ServerFilesCarryTheSameHeaders) {
    ScanResult scan = SiteWithRobots(u"");
    const ServerSetup refused = ServerSetupFor(scan, Form(false, true, false, false));
    ASSERT_EQ(refused.headers.size(), 4u);
    EXPECT_EQ(refused.headers[0].value, u"train-ai=n, search=y");
    EXPECT_EQ(refused.headers[1].name, u"tdm-reservation");
    EXPECT_EQ(refused.headers[2].value, u"https://example.com/");
    EXPECT_EQ(ServerSetupFor(scan, Form(true, true, true, false)).headers.size(), 2u);
    // An address nginx would expand or Apache read as a format is left to the owner.
    scan.baseUrl = u"https://ex$ample.com";
    const ServerSetup odd = ServerSetupFor(scan, Form(false, true, true, false));
    EXPECT_EQ(odd.omittedTdmPolicy, u"https://ex$ample.com/");
    for (const PackageFile& file : ServerSetupFiles(scan, Form(false, true, true, false))) {
        EXPECT_NE(file.content.find(u"Where it goes:"), Text::npos) << WideToUtf8(file.fileName);
        EXPECT_EQ(file.content.find(u"add_header tdm-policy"), Text::npos) << WideToUtf8(file.fileName);
        EXPECT_NE(file.content.find(u"tdm-policy is left out"), Text::npos) << WideToUtf8(file.fileName);
    }
}

// A site with every form: group-scoped lines, paths, several groups, malformed values, and
// headers and meta tags on some pages only (tests/sites/usage).
TEST(UsagePreferences, CrawlReadsEveryForm) {
    BCNK_REQUIRE_FIXTURE();
    ScanOptions options;
    options.startUrl = SiteAddress("usage", "/");
    options.delayMs = 0;
    options.maxDepth = 2;
    std::atomic<bool> cancel{false};
    const ScanResult result = RunCrawl(options, cancel).result;
    const UsageFindings& usage = result.usage;
    EXPECT_EQ(usage.pagesRead, 6);  // /private/ is kept out by robots.txt
    EXPECT_EQ(usage.unreadableContentUsage, 1);
    EXPECT_EQ(usage.tdmPolicy, u"https://usage.example/tdm-policy.json");
    EXPECT_EQ(UsagePurposeText(usage.purposes[0], usage.pagesRead),
              u"no: ai-train=no (robots.txt, Content-Signal, group *); "
              u"train-ai=n (robots.txt, Content-Usage, group *, path /blog/: 2 pages); "
              u"train-ai=y (robots.txt, Content-Usage, group *, path /blog/open: 1 page); "
              u"train-ai=y (robots.txt, Content-Usage, group gptbot); "
              u"train-ai=n (HTTP header on 2 of 6 pages); "
              u"tdm-reservation: 1 (HTTP header on 1 of 6 pages); "
              u"tdm-reservation: 1 (meta tag on 2 of 6 pages); "
              u"tdm-reservation: 0 (HTTP header on 1 of 6 pages)");
    EXPECT_EQ(UsageConflictText(usage.purposes[1]),
              u"robots.txt says search=yes, 2 pages send search=n");
    EXPECT_EQ(UsagePurposeText(usage.purposes[2], usage.pagesRead),
              u"no: ai-input=no (robots.txt, Content-Signal, group *)");
    // A statement is not a block: the crawler rows keep their robots.txt verdicts.
    for (const CrawlerAccess& row : result.crawlerAccess) {
        if (row.token == u"GPTBot") {
            EXPECT_EQ(row.access, CrawlerAccessLevel::Allowed);
        }
    }
}

}  // namespace
}  // namespace bcnk
