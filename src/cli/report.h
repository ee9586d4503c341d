#pragma once
// What the console prints about a finished scan for people; json_output.h has the JSON.
#include <string>

#include "common/text.h"
#include "scan/scan_types.h"

namespace bcnk::cli {

// The multi-line summary: domain, pages and time, score and band, the page-limit and
// cancellation notes, the discovery checks, the page counts per class and the topics.
// With verbose, every page that was not stored follows, with its reason.
Text FormatSummary(const ScanResult& result, bool cancelled, bool verbose = false);

// A skipped page's reason for people: its own phrase, else "HTTP <status>".
Text SkipReason(const SkippedPage& page);

// Why the start page could not be stored ("connection refused (http://...)"); empty when
// the crawl recorded no page it skipped.
Text NoPagesReason(const ScanResult& result);

}  // namespace bcnk::cli
