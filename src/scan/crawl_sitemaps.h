#pragma once
// The crawl's use of the site's sitemaps: read once the start page has shown where the site
// lives, their addresses queued behind the start page's own links, as a crawler that reads
// both finds them.
#include <atomic>

#include "net/http.h"
#include "scan/crawl_frontier.h"
#include "scan/crawl_scope.h"
#include "scan/scan_types.h"
#include "scan/sitemap_audit.h"

namespace bcnk {

// Reads the sitemaps `robotsAnswer` names (or /sitemap.xml) into `ledger` and queues their
// addresses at depth 1 that lie in `scope`, while the depth limit and the frontier's cap allow.
void SeedFromSitemaps(const ScanOptions& options, const Text& baseUrl,
                      const FetchResult& robotsAnswer, const CrawlScope& scope,
                      CrawlFrontier& frontier, SitemapLedger& ledger,
                      const std::atomic<bool>& cancelFlag);

}  // namespace bcnk
