#pragma once
// What the console prints about a finished scan: the summary for people and the JSON for
// scripts.
#include <string>

#include "common/text.h"
#include "scan/scan_types.h"

namespace bcnk::cli {

// The multi-line summary: domain, pages and time, score and band, the page-limit and
// cancellation notes, the discovery checks, the page counts per class and the topics.
Text FormatSummary(const ScanResult& result, bool cancelled);

// The whole result as UTF-8 JSON, keyed by the record field names; the two enumerations
// are written by name ("Product", "NeedsUpdate").
std::string ScanResultJson(const ScanResult& result);

}  // namespace bcnk::cli
