#pragma once
// What the crawl keeps of a page's main content: the number of its words, its first
// sentence (a description for pages that give none) and its Markdown twin, spooled to disk.
#include <string>

#include "common/text.h"
#include "scan/scan_types.h"

namespace bcnk {

class MarkdownSpool;

// `body` is the page as served, in the encoding `contentType` or the page itself names;
// `spool` may be null: no twin is kept.
void TakeMainContent(const std::string& body, const Text& contentType, const Text& address,
                     MarkdownSpool* spool, PageRecord& record);

}  // namespace bcnk
