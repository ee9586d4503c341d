#pragma once
// The console summary's sitemap section and the server's pace.
#include "common/text.h"
#include "scan/scan_types.h"

namespace bcnk::cli {

// "\nSitemaps\n  ...\n", with every finding listed when `verbose`; empty when sitemaps were
// not read and the server asked for nothing.
Text SitemapSummaryText(const ScanResult& result, bool verbose);

}  // namespace bcnk::cli
