#pragma once
// A slow, literal page scanner used as the fuzzers' oracle: every search is a plain find in
// a folded copy, every failed search is retried from where the rules say, and nothing is
// indexed or cut short. The library's parser must give exactly the same record.
#include "analysis/html_parser.h"

namespace bcnk::fuzz {

ParsedPage ReferenceParseHtmlPage(const std::string& body);

void ReferenceDetectStructuredData(const Text& page, ParsedPage& parsed);

Text ReferenceHtmlToText(const Text& fragment);

}  // namespace bcnk::fuzz
