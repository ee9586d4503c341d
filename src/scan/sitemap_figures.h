#pragma once
// The sitemap audit and the server's pace in the words every front end shows them in: the
// window's section, the console summary and the report share these lines and rows.
#include <vector>

#include "common/text.h"
#include "scan/scan_types.h"

namespace bcnk {

// One row of the sitemap findings: what is wrong, the address, and the detail.
struct SitemapFindingRow {
    Text finding;  // "Orphan", "Not in any sitemap", "HTTP 404", "Redirect", ...
    Text url;
    Text detail;   // a redirect's target, a file's kind; else empty

    bool operator==(const SitemapFindingRow&) const = default;
};

// "3 sitemap files, 120 addresses: 2 orphans, 5 stored pages in no sitemap, 4 bad entries
// (1 on another site)"; "No sitemap found (/sitemap.xml: HTTP 404)" when nothing was listed;
// empty when sitemaps were not read.
Text SitemapSummaryLine(const SitemapAudit& audit);

// Orphans first, then stored pages no sitemap lists, then bad entries, then unreadable files.
std::vector<SitemapFindingRow> SitemapFindingRows(const SitemapAudit& audit);

// The rows of the window's Sitemaps tab and the report's section: the summary and the
// server's pace first, then every finding.
std::vector<SitemapFindingRow> SitemapListRows(const ScanResult& result);

// "The server asked us to slow down 3 times (2 retries, 7 s waited); Crawl-delay 2 s
// honoured"; empty when the server asked for nothing.
Text PolitenessLine(const PolitenessSummary& politeness);

// The sitemap.xml discovery row's details gain the count of listings that are no good
// pages: "Valid; 12 entries are not indexable pages".
void AddSitemapCounts(const SitemapAudit& audit, std::vector<DiscoveryCheck>& checks);

}  // namespace bcnk
