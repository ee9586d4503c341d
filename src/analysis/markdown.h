#pragma once
// The Markdown twin of a page: CommonMark with GitHub's pipe tables. Every character of page
// text is escaped so that it stays text, and the only live links are http(s) addresses.
#include <string>
#include <string_view>

#include "analysis/main_content.h"

namespace bcnk {

// The page's title as the H1, its address under it, then the content.
std::string WriteMarkdown(const MainContent& content, std::string_view pageAddress);

// Page text as Markdown inline text that renders as exactly these characters: ASCII
// punctuation is backslash-escaped, control characters become spaces, and invalid UTF-8
// becomes U+FFFD.
std::string EscapeMarkdownText(std::string_view text);

// Markdown this writer wrote, with each heading one level lower (H6 stays H6), for a page
// that goes under a heading of its own in a larger document.
std::string DemoteHeadings(std::string_view markdown);

// Valid UTF-8 of any bytes: each invalid sequence becomes U+FFFD.
std::string ValidUtf8(std::string_view bytes);

}  // namespace bcnk
