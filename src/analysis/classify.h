#pragma once
// One class per analysed page from a fixed sequence of keyword rules over its address,
// title, first heading, JSON-LD types and word count. The first rule that holds decides;
// nothing is scored or weighed. Keywords are plain substrings, without word boundaries.
#include "common/text.h"
#include "scan/scan_types.h"

namespace bcnk {

// `startAddress` is the scan's start address as the crawl holds it; the page at exactly that
// address is always the Index page. Never returns PageClass::Other.
PageClass ClassifyPage(const PageRecord& page, const Text& startAddress);

// True when one of the page's JSON-LD types equals `typeName`, ASCII letter case aside.
bool HasSchemaType(const PageRecord& page, const Text& typeName);

}  // namespace bcnk
