#pragma once
// One whole scan as the tests see it: the result, every progress call in order, and the
// debug-log messages the scan wrote, read back from a debug.log in a temporary directory.
#include <atomic>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "common/text.h"
#include "scan/crawler.h"
#include "scan/scan_types.h"

namespace bcnk {

// Readable failure output for the records the crawl tests compare whole.
void PrintTo(const PageRecord& page, std::ostream* os);
void PrintTo(const DiscoveryCheck& check, std::ostream* os);

namespace test {

struct ProgressCall {
    Text message;
    int pageCount = 0;
    bool operator==(const ProgressCall&) const = default;
};
void PrintTo(const ProgressCall& call, std::ostream* os);

struct CrawlSession {
    ScanResult result;
    std::vector<ProgressCall> progress;
    // Messages of the log without their time stamps, header and closing line.
    std::vector<Text> log;
};

// Runs Crawl with the log open. `onProgress` sees each call after it was recorded; it may
// raise `cancel`, as the window's handler could.
CrawlSession RunCrawl(const ScanOptions& options, std::atomic<bool>& cancel,
                      const CrawlProgress& onProgress = nullptr);
CrawlSession RunCrawl(const ScanOptions& options);

// Options for a test crawl: no pause between pages, the given depth and page limit, the
// site's sitemaps not read.
ScanOptions TestOptions(const Text& startUrl, int maxDepth = 3, int maxPages = 500);

std::string Narrow(const Text& text);

}  // namespace test
}  // namespace bcnk
