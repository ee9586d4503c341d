#pragma once
// The console summary's part about robots.txt: how each kind of AI crawler is treated, which
// crawlers are kept out, and how many pages our own crawl left alone because of it.
#include "common/text.h"
#include "scan/scan_types.h"

namespace bcnk::cli {

// Starts with a blank line; empty when the scan has neither crawler rows nor kept-out pages.
Text CrawlerAccessSummary(const ScanResult& result);

// What the site declares about the use of its content, one line per purpose with conflicts
// under it. Starts with a blank line; empty when the scan read neither robots.txt nor pages.
Text UsagePreferencesSummary(const ScanResult& result);

}  // namespace bcnk::cli
