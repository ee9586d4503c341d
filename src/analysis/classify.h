#pragma once
// One class per analysed page from a fixed sequence of rules over its address, title,
// JSON-LD types, the marks of its layout (documentation, shop, article) and its words and
// links. The first rule that holds decides; nothing is scored or weighed. Keywords are plain
// substrings, without word boundaries.
#include <vector>

#include "common/text.h"
#include "scan/scan_types.h"

namespace bcnk {

// `startAddress` is the scan's start address as the crawl holds it; the page at exactly that
// address is always the Index page. Never returns PageClass::Other.
PageClass ClassifyPage(const PageRecord& page, const Text& startAddress);

// On a site most of whose pages share a documentation layout, its articles and the pages
// left as utility pages that show part of that layout are Guides.
void ClassifyBySiteLayout(std::vector<PageRecord>& pages);

// True when one of the page's JSON-LD types equals `typeName`, ASCII letter case aside.
bool HasSchemaType(const PageRecord& page, const Text& typeName);

}  // namespace bcnk
