#include "package/robots.h"

#include <algorithm>
#include <vector>

#include "net/url.h"
#include "package/robots_usage.h"
#include "scan/ai_crawlers.h"
#include "scan/robots_rules.h"

namespace bcnk {
namespace {

CrawlerPermissions PermissionsOf(const PackageForm& form) {
    return CrawlerPermissions{form.allowTraining, form.allowCitation, form.allowSummarisation};
}

bool Wanted(const AiCrawler& crawler, const PackageForm& form) {
    return PermitsPurpose(PermissionsOf(form), crawler.purpose);
}

// robots.txt can only allow or block; each crawler follows the permission its purpose needs.
Text RuleLine(bool allowed) {
    return allowed ? u"Allow: /" : u"Disallow: /";
}

Text CrawlerBlock(const Text& token, const Text& rule, const Text& lineEnd) {
    return u"User-agent: " + token + lineEnd + rule + lineEnd;
}

Text PlainSitemapAddress(const ScanResult& scan) {
    return UriEscape(scan.baseUrl) + u"/sitemap.xml";
}

Text AiSitemapAddress(const ScanResult& scan) {
    return UriEscape(scan.baseUrl) + u"/ai-sitemap.xml";
}

Text FreshStatusNote(const ScanResult& scan) {
    const Text status = NumberText(scan.robotsStatus);
    const Text base = UriEscape(scan.baseUrl);
    if (scan.robotsStatus == 200) {
        return u"# The response at " + base + u"/robots.txt was not plain-text\n" +
               u"# robots.txt (it looked like an HTML page), so a fresh one was generated.\n";
    }
    // Without a readable answer the site may well have a robots.txt of its own, and
    // replacing it blindly could undo rules the owner relies on.
    if (scan.robotsStatus == 0 || (scan.robotsStatus >= 400 && scan.robotsStatus != 404)) {
        return u"# WARNING: your robots.txt could not be read during the scan (status " + status +
               u").\n" +
               u"# It was likely blocked by a firewall or was unreachable, which means\n"
               u"# your site MAY ALREADY HAVE a robots.txt. Do NOT replace your live file\n"
               u"# with this one - instead MERGE the AI-crawler rules below into your\n"
               u"# existing robots.txt after retrieving it directly from your server.\n";
    }
    return u"# No existing robots.txt was found at " + base + u"/robots.txt\n" + u"# (status " +
           status + u"), so a fresh one was generated.\n";
}

Text FreshRobotsTxt(const ScanResult& scan, const PackageForm& form) {
    Text out;
    out += u"# Beaconsmith - generated robots.txt\n";
    out += u"# REVIEW BEFORE UPLOAD. robots.txt is a crawler hint, not a\n";
    out += u"# security or privacy control.\n";
    out += FreshStatusNote(scan);
    out += u"\n";
    out += RobotsUsageGroup(PlanRobotsUsage(RobotsTxt(), form), u"\n");
    if (form.addRobotsRules) {
        for (const AiCrawler& crawler : AiCrawlers()) {
            out += CrawlerBlock(crawler.token, RuleLine(Wanted(crawler, form)), u"\n") + u"\n";
        }
    }
    out += u"# Sitemap references\n";
    out += u"Sitemap: " + PlainSitemapAddress(scan) + u"\n";
    out += u"Sitemap: " + AiSitemapAddress(scan) + u"\n";
    return out;
}

// What the merge adds for the AI crawlers, and where the owner's own groups already say
// something else than the form.
struct MissingCrawler {
    Text token;
    bool allowed = false;
};
struct CrawlerPlan {
    std::vector<MissingCrawler> missing;  // no group of their own yet, in table order
    std::vector<Text> differing;          // have a group whose verdict at "/" is not the chosen one
};

CrawlerPlan PlanCrawlers(const RobotsTxt& file, const PackageForm& form) {
    CrawlerPlan plan;
    if (!form.addRobotsRules) {
        return plan;
    }
    for (const AiCrawler& crawler : AiCrawlers()) {
        const bool wanted = Wanted(crawler, form);
        // Groups are found as crawlers find them, so a crawler the owner already addresses
        // (under any spelling a crawler accepts) never gets a second group that would be
        // combined with the owner's and change its meaning.
        const RobotsRuleSet rules = RulesFor(file, RobotsProductToken(Text(crawler.token)));
        if (rules.ownGroup) {
            if (Decide(rules, "/").allowed != wanted) {
                plan.differing.push_back(crawler.token);
            }
        } else {
            plan.missing.push_back(MissingCrawler{crawler.token, wanted});
        }
    }
    return plan;
}

bool HasSitemap(const RobotsTxt& file, const Text& address) {
    for (const Text& sitemap : file.sitemaps) {
        if (ToLower(sitemap) == ToLower(address)) {
            return true;
        }
    }
    return false;
}

Text JoinTokens(const std::vector<Text>& tokens) {
    Text out;
    for (const Text& token : tokens) {
        out += (out.empty() ? u"" : u", ") + token;
    }
    return out;
}

// What the merge writes is ASCII text of ours around the owner's bytes, so it is put
// together as bytes: the owner's file may not be UTF-8, and must not pass through a decoding.
std::string Ascii(const Text& text) {
    return WideToUtf8(text);
}

// where: "above" or "below", where the owner's rules stand from the note.
std::string DifferingNote(const CrawlerPlan& plan, const std::string& lineEnd,
                          const char* where = "above") {
    if (plan.differing.empty()) {
        return "";
    }
    return "# REVIEW: your existing rules differ from your choices for " +
           Ascii(JoinTokens(plan.differing)) + "." + lineEnd +
           "# They were left exactly as you wrote them; change them " + where +
           " if you want your" + lineEnd + "# choices to apply." + lineEnd + lineEnd;
}

std::string Block(const Text& token, bool allowed, const std::string& lineEnd) {
    return Ascii(CrawlerBlock(token, RuleLine(allowed), Utf8ToWide(lineEnd)));
}

// A crawler given a group of its own stops reading the "*" group, so when that group has
// rules an allowed crawler is listed above a copy of them (in the owner's own bytes): paths
// the owner closed to everyone stay closed to it. Otherwise every crawler gets the usual
// two-line group, in table order.
std::string AddedCrawlerGroups(const CrawlerPlan& plan, const RobotsRuleSet& everyone,
                               const std::string& lineEnd) {
    std::string out;
    std::vector<Text> sharingEveryonesRules;
    for (const MissingCrawler& crawler : plan.missing) {
        if (crawler.allowed && !everyone.rules.empty()) {
            sharingEveryonesRules.push_back(crawler.token);
        } else {
            out += Block(crawler.token, crawler.allowed, lineEnd) + lineEnd;
        }
    }
    if (sharingEveryonesRules.empty()) {
        return out;
    }
    out +=
        "# These crawlers follow the same rules as every other crawler (User-agent: *)." + lineEnd;
    for (const Text& token : sharingEveryonesRules) {
        out += "User-agent: " + Ascii(token) + lineEnd;
    }
    for (const RobotsRule* rule : everyone.rules) {
        out += rule->WrittenLine() + lineEnd;
    }
    return out + lineEnd;
}

// The owner's file as served; scans made before the bytes were kept have only the text.
std::string OwnerBytes(const ScanResult& scan) {
    return scan.robotsBytes.empty() ? WideToUtf8(scan.robotsTxt) : scan.robotsBytes;
}

// Where the added section goes when it cannot follow the owner's file: crawlers read only
// the first kRobotsParseLimit bytes, and user-agent lines after a group with no rule would
// join that group. Before the owner's first group, then, after any lines that belong to no
// group (rules there bind nobody, and would bind our last group if they followed it). npos
// when no group starts early enough.
std::size_t InsertionPoint(const RobotsTxt& file, std::size_t sectionSize) {
    if (!file.groups.empty() && file.groups.front().start + sectionSize <= kRobotsParseLimit) {
        return file.groups.front().start;
    }
    return std::string::npos;
}

// Lines inserted near the top push as many bytes of the owner's file past the point where
// crawlers stop reading. That is harmless only when those bytes hold no user-agent line and
// no rule, which a probe group around them shows.
bool PushedOutLinesAreInert(const std::string& owner, std::size_t sectionSize) {
    if (owner.size() + sectionSize <= kRobotsParseLimit) {
        return true;
    }
    const std::size_t from = sectionSize >= kRobotsParseLimit ? 0 : kRobotsParseLimit - sectionSize;
    const std::size_t lineStart = owner.find_last_of("\r\n", from);
    const std::size_t begin = lineStart == std::string::npos ? 0 : lineStart + 1;
    const std::string probe =
        "User-agent: a\n" + owner.substr(begin, std::min(owner.size(), kRobotsParseLimit) - begin) +
        "\nUser-agent: b\n";
    const RobotsTxt read = ParseRobotsTxt(std::string_view(probe));
    return read.groups.size() == 1 && read.groups[0].agents.size() == 2 && read.endsInOpenGroup;
}

// Groups that crawlers would read only in part, or not at all while longer readers still
// would, are written as comments the owner can move up once the file is shorter.
std::string LateGroups(const std::string& groups, const std::string& lineEnd) {
    std::string out =
        "# REVIEW: your robots.txt is longer than the 500 KiB crawlers read, and adding the" +
        lineEnd + "# groups below near its top would push your own last rules out of reach." +
        lineEnd + "# Shorten the file, then move them up and remove the \"# \" before each." +
        lineEnd;
    std::size_t start = 0;
    while (start < groups.size()) {
        const std::size_t end = groups.find(lineEnd, start);
        const std::string line = groups.substr(start, end - start);
        out += (line.empty() ? "#" : "# " + line) + lineEnd;
        start = end + lineEnd.size();
    }
    return out + lineEnd;
}

struct Merge {
    std::string bytes;
    bool needsReview = false;  // the owner's rules say otherwise, or ours come too late
};

Merge MergedRobotsTxt(const ScanResult& scan, const PackageForm& form, const Text& date) {
    const std::string owner = OwnerBytes(scan);
    // Whatever we add follows the owner's own line ends, so the file does not end up mixed.
    const std::string lineEnd =
        owner.size() >= 2 && owner.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    const RobotsTxt file = ParseRobotsTxt(std::string_view(owner));
    const CrawlerPlan plan = PlanCrawlers(file, form);
    const RobotsUsagePlan usage = PlanRobotsUsage(file, form);
    std::vector<Text> missingSitemaps;
    for (const Text& address : {PlainSitemapAddress(scan), AiSitemapAddress(scan)}) {
        if (!HasSitemap(file, address)) {
            missingSitemaps.push_back(address);
        }
    }

    // What follows the owner's text starts on a line of its own.
    const std::string terminated =
        owner.empty() || owner.back() == '\n' || owner.back() == '\r' ? owner : owner + lineEnd;
    const std::string stamp = Ascii(date);
    const Text wideLineEnd = Utf8ToWide(lineEnd);
    const std::string usageNote = WideToUtf8(RobotsUsageNote(usage, wideLineEnd));
    const bool needsReview = !plan.differing.empty() || !usage.differing.empty();
    if (plan.missing.empty() && missingSitemaps.empty() && usage.lines.empty()) {
        // Comments only: they change nothing wherever they fall.
        std::string out = terminated + lineEnd;
        out += "# Talvenn's Beaconsmith (" + stamp +
               "): all AI-crawler rules and sitemap references already present - no changes." +
               lineEnd;
        return Merge{out + DifferingNote(plan, lineEnd) + usageNote, needsReview};
    }
    // The usage group is a group like the crawlers' and goes wherever they go.
    const std::string groups = WideToUtf8(RobotsUsageGroup(usage, wideLineEnd)) +
                               AddedCrawlerGroups(plan, RulesFor(file, "*"), lineEnd);
    std::string sitemaps;
    if (!missingSitemaps.empty()) {
        sitemaps += "# Sitemap references" + lineEnd;
        for (const Text& address : missingSitemaps) {
            sitemaps += "Sitemap: " + Ascii(address) + lineEnd;
        }
    }
    const std::string added = groups + sitemaps;
    const std::string opening = "# ===== Added by Talvenn's Beaconsmith - " + stamp + " =====";
    const std::string warning =
        "# robots.txt is a crawler hint, not a security or privacy control." + lineEnd;
    const std::string appended =
        lineEnd + opening + lineEnd +
        "# Everything above is your existing robots.txt, preserved unchanged." + lineEnd +
        "# Review the lines below, then replace your live robots.txt with this file." + lineEnd +
        warning + lineEnd + DifferingNote(plan, lineEnd) + usageNote + added;
    // Sitemap lines belong to no group, so they may follow anything.
    if (groups.empty() ||
        (!file.endsInOpenGroup && terminated.size() + appended.size() <= kRobotsParseLimit)) {
        return Merge{terminated + appended, needsReview};
    }
    const std::string section =
        opening + lineEnd +
        "# Placed before your own rules so that every crawler reads it: crawlers stop" + lineEnd +
        "# reading at 500 KiB, and a group with no rule at the end would absorb it." + lineEnd +
        "# Everything outside this section is your existing robots.txt, preserved unchanged." +
        lineEnd + "# Review the lines below, then replace your live robots.txt with this file." +
        lineEnd + warning + lineEnd + DifferingNote(plan, lineEnd, "below") + usageNote + added +
        "# ===== End of the added lines =====" + lineEnd + lineEnd;
    const std::size_t insertAt = InsertionPoint(file, section.size());
    if (insertAt == std::string::npos || !PushedOutLinesAreInert(owner, section.size())) {
        std::string out = terminated + lineEnd + opening + lineEnd +
                          "# Everything above is your existing robots.txt, preserved unchanged." +
                          lineEnd + warning + lineEnd + DifferingNote(plan, lineEnd) + usageNote +
                          LateGroups(groups, lineEnd) + sitemaps;
        return Merge{out, true};
    }
    std::string out = owner;
    out.insert(insertAt, section);
    return Merge{out, needsReview};
}

}  // namespace

std::string MakeRobotsTxtBytes(const ScanResult& scan, const PackageForm& form, const Text& date) {
    if (!scan.robotsFound) {
        return WideToUtf8(FreshRobotsTxt(scan, form));
    }
    return MergedRobotsTxt(scan, form, date).bytes;
}

std::string MakeRobotsTxtBytes(const ScanResult& scan, const PackageForm& form) {
    return MakeRobotsTxtBytes(scan, form, TodayDate());
}

Text MakeRobotsTxt(const ScanResult& scan, const PackageForm& form, const Text& date) {
    return Utf8ToWide(MakeRobotsTxtBytes(scan, form, date));
}

Text MakeRobotsTxt(const ScanResult& scan, const PackageForm& form) {
    return MakeRobotsTxt(scan, form, TodayDate());
}

bool RobotsRulesDifferFromChoices(const ScanResult& scan, const PackageForm& form) {
    return scan.robotsFound && MergedRobotsTxt(scan, form, TodayDate()).needsReview;
}

}  // namespace bcnk
