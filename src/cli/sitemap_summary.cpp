#include "cli/sitemap_summary.h"

#include "scan/sitemap_figures.h"

namespace bcnk::cli {

Text SitemapSummaryText(const ScanResult& result, bool verbose) {
    Text text;
    const Text sitemaps = SitemapSummaryLine(result.sitemaps);
    if (!sitemaps.empty()) {
        text += u"\nSitemaps\n  " + sitemaps + u"\n";
        const auto rows = SitemapFindingRows(result.sitemaps);
        if (verbose) {
            for (const SitemapFindingRow& row : rows) {
                text += u"  " + row.finding + u": " + row.url;
                text += row.detail.empty() ? Text() : u" -> " + row.detail;
                text += u"\n";
            }
        } else if (!rows.empty()) {
            text += u"  (--verbose lists them)\n";
        }
    }
    const Text pace = PolitenessLine(result.politeness);
    if (!pace.empty()) {
        text += u"\nServer pace\n  " + pace + u"\n";
    }
    return text;
}

}  // namespace bcnk::cli
