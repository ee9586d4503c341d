#pragma once
// sitemap.xml (every listable page) and ai-sitemap.xml (the pages most useful to AI systems).
#include "common/text.h"
#include "scan/scan_types.h"

namespace bcnk {

Text MakeSitemap(const ScanResult& scan, bool aiVariant);

// The same text with a given fallback date for pages without a readable Last-Modified.
Text MakeSitemap(const ScanResult& scan, bool aiVariant, const Text& fallbackDate);

// Reads an HTTP date (or one of its older forms) as YYYY-MM-DD; empty when no real calendar
// day from 1990 to next year can be read from it.
Text SitemapDate(const Text& lastModified);

// The same with the latest year accepted given.
Text SitemapDate(const Text& lastModified, int latestYear);

}  // namespace bcnk
