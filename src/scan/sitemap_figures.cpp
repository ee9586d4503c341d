#include "scan/sitemap_figures.h"

namespace bcnk {

namespace {

Text Counted(long long count, const char16_t* one, const char16_t* many) {
    return NumberText(count) + u" " + (count == 1 ? one : many);
}

Text Seconds(int ms) {
    return NumberText((ms + 500) / 1000) + u" s";
}

// "on another site" as a row's first word shows it: "On another site".
Text Capitalised(Text text) {
    if (!text.empty() && text[0] >= u'a' && text[0] <= u'z') {
        text[0] = static_cast<char16_t>(text[0] - u'a' + u'A');
    }
    return text;
}

// The file that explains why nothing was listed, when one does.
Text FirstFileProblem(const SitemapAudit& audit) {
    for (const SitemapFileSummary& file : audit.files) {
        if (!file.problem.empty()) {
            return file.url + u": " + file.problem;
        }
    }
    return Text();
}

}  // namespace

Text SitemapSummaryLine(const SitemapAudit& audit) {
    if (!audit.read) {
        return Text();
    }
    if (audit.listed == 0 && audit.otherSite == 0) {
        const Text problem = FirstFileProblem(audit);
        return problem.empty() ? Text(u"No sitemap entries found")
                               : u"No sitemap entries found (" + problem + u")";
    }
    Text line = Counted(static_cast<long long>(audit.files.size()), u"sitemap file",
                        u"sitemap files") +
                u", " + Counted(audit.listed, u"address", u"addresses") + u": " +
                Counted(static_cast<long long>(audit.orphans.size()), u"orphan", u"orphans");
    line += u", ";
    line += audit.notListedJudged
                ? Counted(static_cast<long long>(audit.notListed.size()), u"stored page",
                          u"stored pages") +
                      u" in no sitemap"
                : Text(u"pages in no sitemap not judged (sitemaps not read in full)");
    line += u", ";
    line += Counted(audit.issueCount, u"bad entry", u"bad entries");
    if (audit.otherSite > 0) {
        line += u" (" + NumberText(audit.otherSite) + u" on another site)";
    }
    return line;
}

std::vector<SitemapFindingRow> SitemapFindingRows(const SitemapAudit& audit) {
    std::vector<SitemapFindingRow> rows;
    for (const Text& url : audit.orphans) {
        rows.push_back({u"Orphan", url, u"only a sitemap leads here"});
    }
    for (const Text& url : audit.notListed) {
        rows.push_back({u"Not in any sitemap", url, Text()});
    }
    for (const SitemapIssue& issue : audit.issues) {
        rows.push_back({Capitalised(issue.problem), issue.url, issue.target});
    }
    for (const SitemapFileSummary& file : audit.files) {
        if (!file.problem.empty()) {
            rows.push_back({u"Sitemap file not read", file.url, file.problem});
        }
    }
    return rows;
}

Text PolitenessLine(const PolitenessSummary& politeness) {
    Text line;
    if (politeness.slowDowns > 0) {
        line += u"The server asked us to slow down " +
                Counted(politeness.slowDowns, u"time", u"times");
    }
    if (politeness.retries > 0) {
        line += line.empty() ? Text(u"Retried ") : Text(u" (");
        line += Counted(politeness.retries, u"retry", u"retries");
        line += u", " + Seconds(politeness.waitedMs) + u" waited";
        line += politeness.slowDowns > 0 ? u")" : u"";
    }
    if (politeness.singleConnection) {
        line += line.empty() ? u"" : u"; ";
        line += u"one request at a time after a 429";
    }
    if (politeness.crawlDelayMs > 0) {
        line += line.empty() ? u"" : u"; ";
        line += u"Crawl-delay " + Seconds(politeness.crawlDelayMs) + u" honoured";
        line += politeness.crawlDelayCapped ? u" (capped at 30 s)" : u"";
    }
    return line;
}

void AddSitemapCounts(const SitemapAudit& audit, std::vector<DiscoveryCheck>& checks) {
    if (!audit.read || audit.issueCount == 0) {
        return;
    }
    for (DiscoveryCheck& check : checks) {
        if (check.path == u"/sitemap.xml" && check.state != CheckState::Missing) {
            check.details += u"; " + NumberText(audit.issueCount);
            check.details += audit.issueCount == 1 ? u" entry is not an indexable page"
                                                   : u" entries are not indexable pages";
        }
    }
}

std::vector<SitemapFindingRow> SitemapListRows(const ScanResult& result) {
    std::vector<SitemapFindingRow> rows;
    const Text summary = SitemapSummaryLine(result.sitemaps);
    rows.push_back({u"Sitemaps", result.sitemaps.read ? Text() : Text(u"not read (Settings)"),
                    summary});
    const Text pace = PolitenessLine(result.politeness);
    if (!pace.empty()) {
        rows.push_back({u"Server pace", Text(), pace});
    }
    for (SitemapFindingRow& row : SitemapFindingRows(result.sitemaps)) {
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace bcnk
