#pragma once
// What the console prints about a finished scan for people; json_output.h has the JSON.
#include <string>

#include "common/text.h"
#include "scan/scan_types.h"

namespace bcnk::cli {

// The multi-line summary: domain, pages and time, score and band, the page-limit and
// cancellation notes, the discovery checks, the page counts per class and the topics.
Text FormatSummary(const ScanResult& result, bool cancelled);

}  // namespace bcnk::cli
