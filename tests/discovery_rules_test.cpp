#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan/discovery.h"
#include "scan/discovery_rules.h"

namespace bcnk {
namespace {

FetchResult Answer(int status, const std::string& body, const Text& contentType = u"") {
    FetchResult fetched;
    fetched.status = status;
    fetched.body = body;
    fetched.contentType = contentType;
    return fetched;
}

const DiscoveryFile& FileRow(const Text& label) {
    for (const DiscoveryFile& file : kDiscoveryFiles) {
        if (label == file.label) {
            return file;
        }
    }
    ADD_FAILURE() << "no row";
    return kDiscoveryFiles[0];
}

TEST(JudgeDiscoveryFile, OutcomeFollowsStatusBodyAndFormat) {
    struct Row {
        Text label;
        FetchResult fetched;
        CheckState state;
        Text details;
    };
    const std::vector<Row> rows = {
        {u"llms.txt", Answer(200, "# Site\n"), CheckState::Ok, u"Present"},
        {u"llms.txt", Answer(200, ""), CheckState::Missing, u"Missing"},
        {u"llms.txt", Answer(404, "not here"), CheckState::Missing, u"Missing"},
        {u"llms.txt", Answer(0, ""), CheckState::Missing, u"Missing"},
        // A redirect the fetcher did not follow is not the file.
        {u"ai-discovery.md", Answer(301, "moved"), CheckState::Missing, u"Missing"},
        {u"ai-discovery.json", Answer(200, "{\"a\":1}"), CheckState::Ok, u"Valid"},
        {u"ai-discovery.json", Answer(200, "[]"), CheckState::NeedsUpdate, u"Needs update"},
        {u"ai-discovery.json (.well-known)", Answer(200, "x{"), CheckState::NeedsUpdate,
         u"Needs update"},
        {u"knowledge-graph.json", Answer(200, "{"), CheckState::NeedsUpdate, u"Needs update"},
        {u"sitemap.xml", Answer(200, "<urlset>"), CheckState::NeedsUpdate, u"Needs update"},
        {u"tdmrep.json", Answer(200, std::string("\x1F\x8B\x08{<\x00", 6)), CheckState::NeedsUpdate,
         u"Needs update"},
        {u"tdmrep.json", Answer(200, "tdm"), CheckState::NeedsUpdate, u"Needs update"},
        {u"sitemap.xml", Answer(200, "<urlset/>"), CheckState::Ok, u"Valid"},
        {u"ai-sitemap.xml", Answer(200, "{}"), CheckState::NeedsUpdate, u"Needs update"},
        // A served HTML page is a catch-all page, not the file: by its type or by how it begins.
        {u"sitemap.xml", Answer(200, "<?xml?><urlset/>", u"Text/HTML; charset=utf-8"),
         CheckState::Missing, u"Missing"},
        {u"sitemap.xml", Answer(200, "<urlset/>", u"application/xhtml+xml"), CheckState::Ok,
         u"Valid"},
        {u"llms.txt", Answer(200, "\xEF\xBB\xBF \r\n<html lang=en>"), CheckState::Missing,
         u"Missing"},
        {u"llms.txt", Answer(200, "# Embedding\n\n    <html><body>...</body></html>\n"),
         CheckState::Ok, u"Present"},
        {u"ai-discovery.md", Answer(200, "Use <b>bold</b>, not <!DOCTYPE html>"), CheckState::Ok,
         u"Present"},
        {u"sitemap.xml", Answer(200, "<HTML><body>Not found</body></HTML>"), CheckState::Missing,
         u"Missing"},
        {u"llms.txt", Answer(200, "\n<!DOCTYPE html>\n<title>Shop</title>"), CheckState::Missing,
         u"Missing"},
        {u"tdmrep.json", Answer(200, "<!doctype html><p>{x}</p>"), CheckState::Missing, u"Missing"},
        {u"ai-discovery.md", Answer(200, "Use <b>bold</b>", u"text/html"), CheckState::Missing,
         u"Missing"},
        {u"knowledge-graph.json", Answer(500, "{}"), CheckState::Missing, u"Missing"},
    };
    for (const Row& row : rows) {
        const DiscoveryFile& file = FileRow(row.label);
        const DiscoveryCheck check = JudgeDiscoveryFile(file, row.fetched);
        SCOPED_TRACE(std::string(row.fetched.body));
        EXPECT_EQ(check.label, row.label);
        EXPECT_EQ(check.path, file.path);
        EXPECT_EQ(check.scored, file.scored);
        EXPECT_EQ(check.state, row.state);
        EXPECT_EQ(check.details, row.details);
    }
}

TEST(JudgeRobotsTxt, OutcomeAndKeptFile) {
    struct Row {
        const char* name;
        FetchResult fetched;
        CheckState state;
        Text details;
        bool kept;
    };
    const std::string blockAll = "User-agent: *\r\nDisallow: /\r\n";
    const std::vector<Row> rows = {
        {"plain rules", Answer(200, "User-agent: *\nDisallow: /tmp\n"), CheckState::NeedsUpdate,
         u"Missing AI rules", true},
        {"ai crawler", Answer(200, "User-agent: GPTBot\nDisallow: /\n"), CheckState::Ok,
         u"AI rules present", true},
        {"crawler in a comment", Answer(200, "# ask Claude\nUser-agent: *\n"),
         CheckState::NeedsUpdate, u"Missing AI rules", true},
        {"crawler name in a path", Answer(200, "User-agent: *\nDisallow: /team/claude-martin/\n"),
         CheckState::NeedsUpdate, u"Missing AI rules", true},
        {"newer crawlers",
         Answer(200,
                "User-agent: Bytespider\nUser-agent: OAI-SearchBot\n"
                "Disallow: /\n"),
         CheckState::Ok, u"AI rules present", true},
        {"versioned token", Answer(200, "User-agent: ccbot/2.0\nDisallow: /x\n"), CheckState::Ok,
         u"AI rules present", true},
        {"token with a comment", Answer(200, "User-agent: CCBot+(+https://x)\nDisallow: /\n"),
         CheckState::Ok, u"AI rules present", true},
        {"ai group without a rule",
         Answer(200, "User-agent: *\nDisallow: /\n\nUser-agent: GPTBot\n"), CheckState::Ok,
         u"AI rules present", true},
        {"colon-less lines", Answer(200, "User-agent *\nDisallow /\n"), CheckState::Blocking,
         u"Blocking AI crawlers", true},
        {"blanket block", Answer(200, blockAll), CheckState::Blocking, u"Blocking AI crawlers",
         true},
        {"blanket block and ai group", Answer(200, blockAll + "User-agent: CCBot\nAllow: /\n"),
         CheckState::Ok, u"AI rules present", true},
        {"html content type", Answer(200, "User-agent: *\n", u"text/html; charset=utf-8"),
         CheckState::NeedsUpdate, u"Missing AI rules", false},
        {"html body", Answer(200, "  \n<!doctype html><p>Not found</p>"), CheckState::NeedsUpdate,
         u"Missing AI rules", false},
        {"html tag inside", Answer(200, "oops <HTML> google-extended"), CheckState::NeedsUpdate,
         u"Missing AI rules", false},
        {"empty body", Answer(200, ""), CheckState::Missing, u"Missing", false},
        {"not found", Answer(404, "nope"), CheckState::Missing, u"Missing", false},
        {"unfollowed redirect", Answer(302, ""), CheckState::Missing, u"Missing", false},
        {"forbidden", Answer(403, "no"), CheckState::Missing, u"Blocked / unreadable", false},
        {"server error", Answer(500, "x"), CheckState::Missing, u"Blocked / unreadable", false},
        {"no answer", Answer(0, ""), CheckState::Missing, u"Blocked / unreadable", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ScanResult result;
        const DiscoveryCheck check = JudgeRobotsTxt(row.fetched, result);
        EXPECT_EQ(check.label, u"robots.txt AI rules");
        EXPECT_EQ(check.path, u"/robots.txt");
        EXPECT_TRUE(check.scored);
        EXPECT_EQ(check.state, row.state);
        EXPECT_EQ(check.details, row.details);
        EXPECT_EQ(result.robotsStatus, row.fetched.status);
        EXPECT_EQ(result.robotsFound, row.kept);
        EXPECT_EQ(result.robotsTxt, row.kept ? Utf8ToWide(row.fetched.body) : Text());
    }
}

TEST(JudgeRobotsTxt, KeepsTheFileExactlyAsServed) {
    ScanResult result;
    const std::string body = "\xEF\xBB\xBFUser-agent: *  \r\nAllow: /caf\xC3\xA9\r\n\r\n";
    JudgeRobotsTxt(Answer(200, body, u"text/plain"), result);
    EXPECT_EQ(result.robotsTxt, u"\uFEFFUser-agent: *  \r\nAllow: /caf\u00E9\r\n\r\n");
    EXPECT_EQ(result.robotsBytes, body);
    // Not UTF-8: the text is for display only, the bytes are the file.
    const std::string latin1 = "User-agent: *\nDisallow: /caf\xE9\n";
    JudgeRobotsTxt(Answer(200, latin1, u"text/plain"), result);
    EXPECT_EQ(result.robotsBytes, latin1);
}

TEST(JudgeRobotsTxt, BlockingOnlyWhenEveryoneIsKeptFromTheRoot) {
    struct Row {
        Text robots;
        bool blocks;
    };
    const std::vector<Row> rows = {
        {u"user-agent: *\ndisallow: /", true},
        {u"user-agent:*\ndisallow:/", true},
        {u"  user-agent :  *  # all\n\tdisallow : /*\n", true},
        {u"user-agent: a\nuser-agent: *\ndisallow: /\n", true},
        {u"user-agent: *\r\nallow: /public\r\ndisallow: /\r\n", true},
        {u"user-agent: *\ndisallow: /private\n", false},
        {u"user-agent: *\ndisallow:\n", false},
        {u"user-agent: *\n# disallow: /\n", false},
        {u"user-agent: badbot\ndisallow: /\n\nuser-agent: *\ndisallow: /tmp\n", false},
        {u"user-agent: *\ndisallow: /tmp\nuser-agent: badbot\ndisallow: /\n", false},
        {u"disallow: /\n", false},
        {u"user-agent: *\ndisallow: /\nallow: /$\n", false},
    };
    for (const Row& row : rows) {
        ScanResult result;
        const std::string body = WideToUtf8(row.robots) + "\n";
        EXPECT_EQ(JudgeRobotsTxt(Answer(200, body), result).state,
                  row.blocks ? CheckState::Blocking : CheckState::NeedsUpdate)
            << body;
    }
}

// `scored` rows of which the first `ok` are Ok and the next `halves` NeedsUpdate, the rest
// Missing, followed by `unscored` Ok rows that must not count.
std::vector<DiscoveryCheck> Rows(int scored, int ok, int halves, int unscored = 0) {
    std::vector<DiscoveryCheck> checks;
    for (int i = 0; i < scored + unscored; ++i) {
        const CheckState state = i >= scored       ? CheckState::Ok
                                 : i < ok          ? CheckState::Ok
                                 : i < ok + halves ? CheckState::NeedsUpdate
                                                   : CheckState::Missing;
        checks.push_back({u"row", u"/row", state, u"", i < scored});
    }
    return checks;
}

TEST(ReadinessScore, AveragesScoredRowsRoundingHalvesUp) {
    struct Row {
        int scored, ok, halves, unscored;
        int score;
    };
    const std::vector<Row> rows = {
        {7, 7, 0, 3, 100}, {7, 0, 0, 3, 0},
        {7, 0, 7, 0, 50},  {7, 1, 1, 3, 21},  // 1.5 of 7 is 21.4
        {7, 1, 0, 0, 14},                     // 14.3
        {7, 6, 1, 0, 93},                     // 92.9
        {1, 0, 1, 0, 50},  {8, 1, 0, 0, 13},  // 12.5 rounds up
        {2, 1, 0, 1, 50},  {0, 0, 0, 2, 0},   // nothing scored
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ReadinessScore(Rows(row.scored, row.ok, row.halves, row.unscored)), row.score)
            << row.scored << " scored, " << row.ok << " ok, " << row.halves << " half";
    }
    std::vector<DiscoveryCheck> blocking = Rows(7, 6, 0);
    blocking[6].state = CheckState::Blocking;
    EXPECT_EQ(ReadinessScore(blocking), 86);
    EXPECT_EQ(ReadinessScore({}), 0);
}

}  // namespace
}  // namespace bcnk
