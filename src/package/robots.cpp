#include "package/robots.h"

#include <vector>

#include "package/robots_usage.h"
#include "scan/ai_crawlers.h"
#include "scan/robots_rules.h"
#include "net/url.h"

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

Text DifferingNote(const CrawlerPlan& plan, const Text& lineEnd) {
    if (plan.differing.empty()) {
        return u"";
    }
    return u"# REVIEW: your existing rules differ from your choices for " +
           JoinTokens(plan.differing) + u"." + lineEnd +
           u"# They were left exactly as you wrote them; change them above if you want your" +
           lineEnd + u"# choices to apply." + lineEnd + lineEnd;
}

// A crawler given a group of its own stops reading the "*" group, so when that group has
// rules an allowed crawler is listed above a copy of them: paths the owner closed to everyone
// stay closed to it. Otherwise every crawler gets the usual two-line group, in table order.
Text AddedCrawlerGroups(const CrawlerPlan& plan, const RobotsRuleSet& everyone,
                        const Text& lineEnd) {
    Text out;
    std::vector<Text> sharingEveryonesRules;
    for (const MissingCrawler& crawler : plan.missing) {
        if (crawler.allowed && !everyone.rules.empty()) {
            sharingEveryonesRules.push_back(crawler.token);
        } else {
            out += CrawlerBlock(crawler.token, RuleLine(crawler.allowed), lineEnd) + lineEnd;
        }
    }
    if (sharingEveryonesRules.empty()) {
        return out;
    }
    out +=
        u"# These crawlers follow the same rules as every other crawler (User-agent: *)." + lineEnd;
    for (const Text& token : sharingEveryonesRules) {
        out += u"User-agent: " + token + lineEnd;
    }
    for (const RobotsRule* rule : everyone.rules) {
        out += rule->Line() + lineEnd;
    }
    return out + lineEnd;
}

Text MergedRobotsTxt(const ScanResult& scan, const PackageForm& form, const Text& date) {
    const Text& existing = scan.robotsTxt;
    // Whatever we add follows the owner's own line ends, so the file does not end up mixed.
    const Text lineEnd =
        existing.size() >= 2 && existing.find(u"\r\n") != Text::npos ? u"\r\n" : u"\n";
    const RobotsTxt file = ParseRobotsTxt(existing);
    const CrawlerPlan plan = PlanCrawlers(file, form);
    const RobotsUsagePlan usage = PlanRobotsUsage(file, form);
    std::vector<Text> missingSitemaps;
    for (const Text& address : {PlainSitemapAddress(scan), AiSitemapAddress(scan)}) {
        if (!HasSitemap(file, address)) {
            missingSitemaps.push_back(address);
        }
    }

    Text out = existing;
    if (!out.empty() && out.back() != u'\n') {
        out += lineEnd;
    }
    if (plan.missing.empty() && missingSitemaps.empty() && usage.lines.empty()) {
        out += lineEnd;
        out += u"# Talvenn's Beaconsmith (" + date +
               u"): all AI-crawler rules and sitemap references already present - no changes." +
               lineEnd;
        if (!plan.differing.empty()) {
            out += DifferingNote(plan, lineEnd);
        }
        out += RobotsUsageNote(usage, lineEnd);
        return out;
    }
    out += lineEnd;
    out += u"# ===== Added by Talvenn's Beaconsmith - " + date + u" =====" + lineEnd;
    out += u"# Everything above is your existing robots.txt, preserved unchanged." + lineEnd;
    out += u"# Review the lines below, then replace your live robots.txt with this file." + lineEnd;
    out += u"# robots.txt is a crawler hint, not a security or privacy control." + lineEnd;
    out += lineEnd;
    const RobotsRuleSet everyone = RulesFor(file, "*");
    if (file.endsInOpenGroup && (!plan.missing.empty() || !usage.lines.empty())) {
        // The owner's last user-agent lines have no rule yet, so they follow the "*" group;
        // a copy of its rules ends their group without changing that, and keeps the crawlers
        // below from joining it.
        out +=
            u"# Ends the group above with the rules it already followed (User-agent: *)." + lineEnd;
        out += everyone.rules.empty() ? u"Disallow:" + lineEnd : Text();
        for (const RobotsRule* rule : everyone.rules) {
            out += rule->Line() + lineEnd;
        }
        out += lineEnd;
    }
    out += DifferingNote(plan, lineEnd);
    out += RobotsUsageNote(usage, lineEnd);
    out += RobotsUsageGroup(usage, lineEnd);
    out += AddedCrawlerGroups(plan, everyone, lineEnd);
    if (!missingSitemaps.empty()) {
        out += u"# Sitemap references" + lineEnd;
        for (const Text& address : missingSitemaps) {
            out += u"Sitemap: " + address + lineEnd;
        }
    }
    return out;
}

}  // namespace

Text MakeRobotsTxt(const ScanResult& scan, const PackageForm& form) {
    return MakeRobotsTxt(scan, form, TodayDate());
}

bool RobotsRulesDifferFromChoices(const ScanResult& scan, const PackageForm& form) {
    if (!scan.robotsFound) {
        return false;
    }
    const RobotsTxt file = ParseRobotsTxt(scan.robotsTxt);
    return !PlanCrawlers(file, form).differing.empty() ||
           !PlanRobotsUsage(file, form).differing.empty();
}

Text MakeRobotsTxt(const ScanResult& scan, const PackageForm& form, const Text& date) {
    if (!scan.robotsFound) {
        return FreshRobotsTxt(scan, form);
    }
    return MergedRobotsTxt(scan, form, date);
}

}  // namespace bcnk
