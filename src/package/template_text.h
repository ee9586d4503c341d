#pragma once
// Small pieces that several package generators write the same way: how a product page is
// named, which description stands for the site, and how a value becomes a JSON string.
#include <cstddef>
#include <vector>

#include "common/text.h"
#include "package/package.h"
#include "scan/scan_types.h"

namespace bcnk {

// The name a product page is listed under: its structured-data product name, else its first
// h1, else its title (which may be empty too).
Text ProductHeading(const PageRecord& page);

// The owner's own description when the form has one, else the start page's meta description.
Text AboutText(const ScanResult& scan, const PackageForm& form);

// A JSON string literal: the escaped value between double quotes.
Text JsonString(const Text& value);

Text JsonBool(bool value);

std::size_t CountPagesOfClass(const ScanResult& scan, PageClass pageClass);

// A value as one line of Markdown text that reads as written: line breaks become spaces,
// other control characters are dropped, and "\", "[", "]", "<", ">" and a block marker at
// the start ("#", ">", "-", "+", "*", "=", "|", "1.") are escaped with a backslash, so the
// value can open no link, tag, heading or list of its own.
Text MarkdownText(const Text& value);

// "[text](address)" with the text as above and the address escaped (UriEscape), its
// parentheses too, which would otherwise end the link early.
Text MarkdownLink(const Text& text, const Text& address);

// The head of llms-lite.txt and llms.txt: the title block and, when there is an about text
// (already Markdown), the quote block.
std::vector<Text> LlmsHead(const PackageForm& form, const Text& markdownAbout);

// "- [text](address)" with ": description" when the page has one, and a line feed.
Text LlmsListEntry(const Text& linkText, const PageRecord& page);

// The same with the address and the description given.
Text LlmsListEntry(const Text& linkText, const Text& address, const Text& description);

// Blocks (each ending in a line feed) with one empty line between them.
Text JoinBlocks(const std::vector<Text>& blocks);

}  // namespace bcnk
