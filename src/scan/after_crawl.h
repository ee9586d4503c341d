#pragma once
// The checks that run once the crawl is over and only add to its result: what the server
// sends each AI crawler, and what only scripts show.
#include <atomic>

#include "scan/crawler.h"
#include "scan/scan_types.h"

namespace bcnk {

void RunAfterCrawlChecks(const ScanOptions& options, ScanResult& result,
                         const std::atomic<bool>& cancelFlag, const CrawlProgress& progress);

}  // namespace bcnk
