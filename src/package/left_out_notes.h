#pragma once
// What the package tells the owner about the pages its lists leave out, and what it writes
// when it has no page of the site left to list.
#include "common/text.h"
#include "scan/scan_types.h"

namespace bcnk {

// README review notes: one line per page left out of a list and why, at most
// kMaxLeftOutLines, then how many more. Empty when every page is listed.
inline constexpr int kMaxLeftOutLines = 200;
Text LeftOutNotes(const ScanResult& scan);

// True when the scan stored pages but none may stand in the AI files.
bool EveryPageLeftOut(const ScanResult& scan);

// The line that AI files end with when every page is left out, so an empty list is never
// taken for the site's pages.
Text EveryPageLeftOutLine();

// A sitemap that lists nothing and says why: the usual fall-back entry (the site's root)
// would name a page the owner keeps out.
Text EveryPageLeftOutSitemap();

}  // namespace bcnk
