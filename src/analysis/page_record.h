#pragma once
// The stored record of one parsed page: the facts of the parse that the classifier, the
// topics and the package read later. The crawl adds what only it knows (status, depth,
// dates) and the class.
#include "analysis/html_parser.h"
#include "common/text.h"
#include "scan/scan_types.h"

namespace bcnk {

PageRecord PageRecordOf(const Text& url, const ParsedPage& parsed);

}  // namespace bcnk
