#include "scan/crawl_sitemaps.h"

#include "common/debug_log.h"
#include "net/tracking_parameters.h"
#include "net/url.h"
#include "scan/robots_rules.h"

namespace bcnk {

void SeedFromSitemaps(const ScanOptions& options, const Text& baseUrl,
                      const FetchResult& robotsAnswer, const CrawlScope& scope,
                      CrawlFrontier& frontier, SitemapLedger& ledger,
                      const std::atomic<bool>& cancelFlag) {
    // The Sitemap lines count even when the user has the crawl ignore robots.txt's rules.
    const RobotsTxt robots = RobotsTxtForAnswer(robotsAnswer.status, robotsAnswer.body);
    ledger.Load(ReadSitemaps(baseUrl, robots.sitemaps, options.userAgent,
                             SitemapLimitsFor(options.maxPages), cancelFlag));
    if (options.maxDepth < 1) {
        return;
    }
    const Text host = HostKey(baseUrl);
    int seeded = 0;
    for (const SitemapEntry& entry : ledger.Entries()) {
        // The part of the site the owner chose holds for listed pages as for linked ones.
        if (IsSkippedExtension(entry.url) || HostKey(entry.url) != host ||
            !scope.Contains(entry.url)) {
            continue;
        }
        // A tracked variant in a sitemap is the same page as the link the crawl would take.
        const Text address =
            options.keepQueryTracking ? entry.url : DropTrackingParameters(entry.url);
        const QueueOutcome outcome = frontier.Add(address, 1);
        if (outcome == QueueOutcome::Full) {
            break;
        }
        seeded += outcome == QueueOutcome::Queued ? 1 : 0;
    }
    ledger.SetSeeded(seeded);
    DebugLog::Write(u"Sitemaps: " + NumberText(static_cast<int>(ledger.Entries().size())) +
                    u" addresses of this site, " + NumberText(seeded) + u" queued");
}

}  // namespace bcnk
