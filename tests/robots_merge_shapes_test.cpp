// robots.txt.NEW for owner files of the shapes real sites serve and owners cannot see: bytes
// that are not UTF-8, rule lines without their colon, files near the 500 KiB crawlers read,
// user-agent lines with no rule at the end, and user-agent lines with more than a product
// token. Each file goes through the scan's own reading and the package's merge; our matcher
// then judges both files for every table crawler and a few crawlers outside the table.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "package/package.h"
#include "package/robots.h"
#include "scan/ai_crawlers.h"
#include "scan/discovery_rules.h"
#include "scan/robots_rules.h"

namespace bcnk {
namespace {

const Text kDate = u"2026-12-08";

ScanResult ScanOf(const std::string& owner) {
    ScanResult scan;
    scan.baseUrl = u"https://example.com";
    FetchResult fetched;
    fetched.status = 200;
    fetched.body = owner;
    fetched.contentType = u"text/plain";
    JudgeRobotsTxt(fetched, scan);
    return scan;
}

PackageForm FormOf(int choices) {
    PackageForm form;
    form.allowTraining = (choices & 1) != 0;
    form.allowCitation = (choices & 2) != 0;
    form.allowSummarisation = (choices & 4) != 0;
    form.addRobotsRules = true;
    return form;
}

std::string Filler(std::size_t bytes) {
    std::string out;
    for (int i = 0; out.size() < bytes; ++i) {
        out += "Disallow: /filler/" + std::to_string(i) + "\n";
    }
    return out;
}

struct Shape {
    const char* name;
    std::string owner;
    std::vector<std::string> paths;  // beyond those the owner's own rules give
    std::vector<std::string> outsiders;
};

std::vector<Shape> Shapes() {
    const std::string nearLimit = "User-agent: *\nDisallow: /private\n" +
                                  Filler(kRobotsParseLimit - 600) + "Disallow: /late\n";
    const std::string overLimit =
        "User-agent: *\nDisallow: /private\n" + Filler(kRobotsParseLimit + 300 * 1024);
    std::string roomAtCut = "User-agent: *\nDisallow: /private\n\nUser-agent: Googlebot\n" +
                            Filler(kRobotsParseLimit - 6000);
    while (roomAtCut.size() < kRobotsParseLimit + 4000) {
        roomAtCut += "# Archived rules, kept for reference only.\n";
    }
    roomAtCut += "Disallow: /late\n";
    return {
        {"latin-1",
         "User-agent: *\nDisallow: /Notre-soci\xE9t\xE9/\nDisallow: /caf\xE9\n\n"
         "User-agent: Googlebot\nDisallow: /r\xE9serv\xE9\n",
         {"/Notre-soci%E9t%E9/x", "/caf%E9", "/r%E9serv%E9"},
         {}},
        {"colon-less rules",
         "User-agent: *\nDisallow /*/?adb_id=D*\nDisallow: /cart\nAllow /cart/help\n",
         {"/a/?adb_id=D1", "/cart/help", "/cart/x"},
         {}},
        {"near 500 KiB", nearLimit, {"/private", "/late"}, {}},
        {"over 500 KiB", overLimit, {"/private"}, {}},
        {"over 500 KiB, comments where the cut falls", roomAtCut, {"/private", "/late"}, {}},
        {"rule-less last group of other crawlers",
         "# Our rules\n\nUser-agent: *\nDisallow: /cart\n\nUser-agent: Googlebot\nUser-agent: "
         "Bingbot\n",
         {"/cart"},
         {}},
        {"rule-less last group of table crawlers",
         "User-agent: *\nDisallow: /private\n\nUser-agent: GPTBot\nUser-agent: CCBot\n",
         {"/private"},
         {}},
        {"user-agent lines beyond the product token",
         "User-agent: GPTBot+(+https://example.org/bot)\nDisallow: /\n\n"
         "User-agent: Mediapartners-Google*\nDisallow: /ads\n\n"
         "User-agent: Baiduspider+(+http://example.org/spider.htm)\nDisallow: /\n\n"
         "User-agent: *\nDisallow:\n",
         {"/ads/x", "/tmp/x"},
         {"mediapartners-google", "baiduspider"}},
    };
}

// The owner's bytes, unchanged, with at most one run of added bytes in between.
bool KeepsOwnerBytes(const std::string& owner, const std::string& merged) {
    const auto prefix = std::mismatch(owner.begin(), owner.end(), merged.begin(), merged.end());
    const auto suffix = std::mismatch(owner.rbegin(), owner.rend(), merged.rbegin(), merged.rend());
    return static_cast<std::size_t>((prefix.first - owner.begin()) +
                                    (suffix.first - owner.rbegin())) >= owner.size();
}

// The paths an owner's rules speak about: each pattern with its wildcards filled in, and one
// step below it.
std::set<std::string> PathsOf(const RobotsTxt& file, const Shape& shape) {
    std::set<std::string> paths = {"/", "/index.html"};
    for (const std::string& path : shape.paths) {
        paths.insert(NormaliseRobotsPath(path));
    }
    for (const RobotsGroup& group : file.groups) {
        for (const RobotsRule& rule : group.rules) {
            if (rule.pattern.starts_with("/filler/")) {
                continue;
            }
            std::string path;
            for (const char c : rule.pattern) {
                if (c != '$') {
                    path += c == '*' ? 'x' : c;
                }
            }
            paths.insert(path);
            paths.insert(path + "z");
        }
    }
    return paths;
}

struct Breaches {
    int widened = 0;           // the owner's file disallows, robots.txt.NEW allows
    int outsidersChanged = 0;  // a crawler outside the table reads another verdict
    int refusedButOpen = 0;    // a crawler the owner never named, refused by the form, may read "/"
    int unreviewed = 0;  // the owner's group says otherwise than the form, and no note says so
    bool ownerBytesKept = true;
};

// reviewed: the merge told the owner it could not apply the choices (the file's own groups
// say otherwise, or leave no room where crawlers read).
Breaches Check(const Shape& shape, const std::string& merged, const PackageForm& form,
               bool reviewed) {
    const RobotsTxt before = ParseRobotsTxt(shape.owner);
    const RobotsTxt after = ParseRobotsTxt(merged);
    Breaches found;
    found.ownerBytesKept = KeepsOwnerBytes(shape.owner, merged);
    const std::set<std::string> paths = PathsOf(before, shape);
    std::vector<std::string> outsiders = {"*", "googlebot", "bingbot"};
    outsiders.insert(outsiders.end(), shape.outsiders.begin(), shape.outsiders.end());
    for (const std::string& agent : outsiders) {
        const RobotsRuleSet was = RulesFor(before, agent);
        const RobotsRuleSet now = RulesFor(after, agent);
        for (const std::string& path : paths) {
            const bool allowedBefore = Decide(was, path).allowed;
            const bool allowedNow = Decide(now, path).allowed;
            found.outsidersChanged += allowedBefore != allowedNow;
            found.widened += !allowedBefore && allowedNow;
        }
    }
    const CrawlerPermissions permissions{form.allowTraining, form.allowCitation,
                                         form.allowSummarisation};
    for (const AiCrawler& crawler : AiCrawlers()) {
        const std::string token = RobotsProductToken(Text(crawler.token));
        const RobotsRuleSet was = RulesFor(before, token);
        const RobotsRuleSet now = RulesFor(after, token);
        for (const std::string& path : paths) {
            found.widened += !Decide(was, path).allowed && Decide(now, path).allowed;
        }
        const bool wanted = PermitsPurpose(permissions, crawler.purpose);
        found.refusedButOpen += !reviewed && !was.ownGroup && !wanted && Decide(now, "/").allowed;
        if (was.ownGroup && Decide(was, "/").allowed != wanted) {
            const std::size_t note = merged.find("# REVIEW: your existing rules differ");
            const std::size_t named = merged.find(" " + WideToUtf8(crawler.token), note);
            found.unreviewed += note == std::string::npos || named == std::string::npos ||
                                merged.find('\n', note) < named;
        }
    }
    return found;
}

TEST(RobotsTxtMergeShapes, NothingTheOwnerClosedOpensAndOtherCrawlersReadTheSame) {
    for (const Shape& shape : Shapes()) {
        Breaches total;
        int reviewed = 0;
        for (int choices = 0; choices < 8; ++choices) {
            const PackageForm form = FormOf(choices);
            const ScanResult scan = ScanOf(shape.owner);
            const bool review = RobotsRulesDifferFromChoices(scan, form);
            reviewed += review;
            const Breaches found =
                Check(shape, MakeRobotsTxtBytes(scan, form, kDate), form, review);
            total.widened += found.widened;
            total.outsidersChanged += found.outsidersChanged;
            total.refusedButOpen += found.refusedButOpen;
            total.unreviewed += found.unreviewed;
            total.ownerBytesKept = total.ownerBytesKept && found.ownerBytesKept;
        }
        std::cout << shape.name << ": widened " << total.widened << ", outsiders changed "
                  << total.outsidersChanged << ", refused but open " << total.refusedButOpen
                  << ", unreviewed " << total.unreviewed << ", owner's bytes kept "
                  << (total.ownerBytesKept ? "yes" : "no") << ", flagged for review in " << reviewed
                  << " of 8\n";
        EXPECT_EQ(total.widened, 0) << shape.name;
        EXPECT_EQ(total.outsidersChanged, 0) << shape.name;
        EXPECT_EQ(total.refusedButOpen, 0) << shape.name;
        EXPECT_EQ(total.unreviewed, 0) << shape.name;
        EXPECT_TRUE(total.ownerBytesKept) << shape.name;
    }
}

// Where the section goes when it cannot follow the file: after lines that belong to no group,
// before the owner's first group, in the owner's line ends, with a byte-order mark kept first.
TEST(RobotsTxtMergeShapes, SectionBeforeTheOwnersGroups) {
    struct Row {
        std::string owner;
        std::string head;  // the owner's bytes before the section
    };
    const std::vector<Row> rows = {
        {"# Our rules\r\nDisallow: /nobody\r\n\r\nUser-agent: *\r\nDisallow: /cart\r\n\r\n"
         "User-agent: Googlebot\r\n",
         "# Our rules\r\nDisallow: /nobody\r\n\r\n"},
        {"\xEF\xBB\xBFUser-agent: *\nDisallow: /x\n\nUser-agent: CCBot\n", "\xEF\xBB\xBF"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.owner);
        const std::string merged = MakeRobotsTxtBytes(ScanOf(row.owner), FormOf(0), kDate);
        ASSERT_TRUE(merged.starts_with(row.head + "# ===== Added by")) << merged;
        EXPECT_TRUE(merged.ends_with(row.owner.substr(row.head.size()))) << merged;
        const bool crLf = row.owner.find("\r\n") != std::string::npos;
        for (std::size_t at = merged.find('\n'); at != std::string::npos;
             at = merged.find('\n', at + 1)) {
            EXPECT_EQ(at > 0 && merged[at - 1] == '\r', crLf) << at;
        }
    }
}

TEST(RobotsTxtMergeShapes, PackageWritesTheOwnersBytes) {
    const std::string owner = "User-agent: *\nDisallow: /caf\xE9\n";
    ScanResult scan = ScanOf(owner);
    scan.host = u"example.com";
    for (const PackageFile& file : BuildPackageFiles(scan, FormOf(1))) {
        if (file.fileName == u"robots.txt.NEW") {
            EXPECT_TRUE(file.Bytes().starts_with(owner));
            EXPECT_TRUE(file.content.starts_with(u"User-agent: *\nDisallow: /caf\uFFFD\n"));
        }
    }
}

}  // namespace
}  // namespace bcnk
