#pragma once
// llms.txt: the site's pages for language models, grouped by kind, written only for a site
// that has no llms.txt of its own.
#include <vector>

#include "common/text.h"
#include "package/package.h"
#include "scan/scan_types.h"

namespace bcnk {

// At most this many pages are listed: the first the crawl stored, in crawl order.
inline constexpr std::size_t kMaxLlmsTxtEntries = 2000;

// True when the scan found an llms.txt on the site; the package then leaves it alone.
bool SiteHasLlmsTxt(const ScanResult& scan);

Text MakeLlmsTxt(const ScanResult& scan, const PackageForm& form);

// The same text with a given date in its review note.
Text MakeLlmsTxt(const ScanResult& scan, const PackageForm& form, const Text& date);

// The pages llms.txt lists, in its order.
std::vector<const PageRecord*> LlmsTxtPages(const ScanResult& scan);

}  // namespace bcnk
