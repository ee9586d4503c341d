#pragma once
// The whole scan: a breadth-first crawl of one site within the options' limits, then the
// discovery checks, the topics and the score.
#include <atomic>
#include <functional>

#include "common/text.h"
#include "scan/scan_types.h"

namespace bcnk {

using CrawlProgress = std::function<void(const Text& message, int pageCount)>;

// Blocks for the whole scan. Raising cancelFlag (from any thread, or from inside progress)
// ends it early with the pages found so far.
ScanResult Crawl(const ScanOptions& options, const std::atomic<bool>& cancelFlag,
                 const CrawlProgress& progress);

}  // namespace bcnk
