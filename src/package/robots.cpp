#include "package/robots.h"

#include <set>
#include <vector>

#include "scan/url.h"

namespace bcnk {
namespace {

struct AiCrawler {
    const char16_t* token;          // written into the file exactly like this
    const char16_t* operatorLabel;  // who runs it; for readers of this table only
};

// Kept apart from the scanner's list of AI crawlers: this one decides what the package
// proposes, that one only what the scan reports.
// clang-format off
const AiCrawler kAiCrawlers[] = {
    {u"GPTBot", u"OpenAI training"},
    {u"OAI-SearchBot", u"OpenAI search"},
    {u"CCBot", u"Common Crawl"},
    {u"Google-Extended", u"Google AI"},
    {u"anthropic-ai", u"Anthropic"},
    {u"Claude-Web", u"Anthropic"},
    {u"ClaudeBot", u"Anthropic"},
    {u"PerplexityBot", u"Perplexity"},
    {u"Bytespider", u"ByteDance"},
    {u"Applebot-Extended", u"Apple AI"},
};
// clang-format on

// robots.txt can only allow or block, so the training choice alone decides the rule.
Text RuleLine(const PackageForm& form) {
    return form.allowTraining ? u"Allow: /" : u"Disallow: /";
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
    if (form.addRobotsRules) {
        for (const AiCrawler& crawler : kAiCrawlers) {
            out += CrawlerBlock(crawler.token, RuleLine(form), u"\n") + u"\n";
        }
    }
    out += u"# Sitemap references\n";
    out += u"Sitemap: " + PlainSitemapAddress(scan) + u"\n";
    out += u"Sitemap: " + AiSitemapAddress(scan) + u"\n";
    return out;
}

struct RobotsNames {
    std::set<Text> userAgents;  // lower-cased
    std::set<Text> sitemaps;    // lower-cased
};

// Only which names appear matters: a crawler counts as present as soon as any User-agent
// line names it, whatever its group says, so the owner's own rules are never second-guessed.
RobotsNames ReadRobotsNames(const Text& robotsTxt) {
    RobotsNames names;
    // A file saved with a byte-order mark would otherwise hide the name on its first line,
    // and a second, possibly contradicting group for that crawler would be appended.
    std::size_t lineStart = !robotsTxt.empty() && robotsTxt[0] == u'\uFEFF' ? 1 : 0;
    while (true) {
        const std::size_t lineEnd = robotsTxt.find(u'\n', lineStart);
        Text line =
            robotsTxt.substr(lineStart, lineEnd == Text::npos ? Text::npos : lineEnd - lineStart);
        const std::size_t comment = line.find(u'#');
        if (comment != Text::npos) {
            line.resize(comment);
        }
        const std::size_t colon = line.find(u':');
        if (colon != Text::npos) {
            const Text key = ToLower(Trim(line.substr(0, colon)));
            const Text value = ToLower(Trim(line.substr(colon + 1)));
            if (!value.empty()) {
                if (key == u"user-agent") {
                    names.userAgents.insert(value);
                } else if (key == u"sitemap") {
                    names.sitemaps.insert(value);
                }
            }
        }
        if (lineEnd == Text::npos) {
            break;
        }
        lineStart = lineEnd + 1;
    }
    return names;
}

Text MergedRobotsTxt(const ScanResult& scan, const PackageForm& form, const Text& date) {
    const Text& existing = scan.robotsTxt;
    // Whatever we add follows the owner's own line ends, so the file does not end up mixed.
    const Text lineEnd =
        existing.size() >= 2 && existing.find(u"\r\n") != Text::npos ? u"\r\n" : u"\n";
    const RobotsNames names = ReadRobotsNames(existing);

    std::vector<Text> missingCrawlers;
    if (form.addRobotsRules) {
        for (const AiCrawler& crawler : kAiCrawlers) {
            if (names.userAgents.count(ToLower(crawler.token)) == 0) {
                missingCrawlers.push_back(crawler.token);
            }
        }
    }
    std::vector<Text> missingSitemaps;
    for (const Text& address : {PlainSitemapAddress(scan), AiSitemapAddress(scan)}) {
        if (names.sitemaps.count(ToLower(address)) == 0) {
            missingSitemaps.push_back(address);
        }
    }

    Text out = existing;
    if (!out.empty() && out.back() != u'\n') {
        out += lineEnd;
    }
    if (missingCrawlers.empty() && missingSitemaps.empty()) {
        out += lineEnd;
        out += u"# Talvenn's Beaconsmith (" + date +
               u"): all AI-crawler rules and sitemap references already present - no changes." +
               lineEnd;
        return out;
    }
    out += lineEnd;
    out += u"# ===== Added by Talvenn's Beaconsmith - " + date + u" =====" + lineEnd;
    out += u"# Everything above is your existing robots.txt, preserved unchanged." + lineEnd;
    out += u"# Review the lines below, then replace your live robots.txt with this file." + lineEnd;
    out += u"# robots.txt is a crawler hint, not a security or privacy control." + lineEnd;
    out += lineEnd;
    for (const Text& token : missingCrawlers) {
        out += CrawlerBlock(token, RuleLine(form), lineEnd) + lineEnd;
    }
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

Text MakeRobotsTxt(const ScanResult& scan, const PackageForm& form, const Text& date) {
    if (!scan.robotsFound) {
        return FreshRobotsTxt(scan, form);
    }
    return MergedRobotsTxt(scan, form, date);
}

}  // namespace bcnk
