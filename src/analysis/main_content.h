#pragma once
// The main content of a page, without its navigation, header and footer bars, sidebars,
// forms, banners, share bars, comment forms and hidden parts: what a reader came for, as a
// tree of blocks that the Markdown writer turns into a twin of the page.
// All text here is UTF-8 with references decoded and white space collapsed.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace bcnk {

enum class InlineKind : std::uint8_t { kText, kCode, kLink, kImage, kBreak };

struct InlineRun {
    InlineKind kind = InlineKind::kText;
    std::string text;     // the words; an image's alt text
    std::string address;  // kLink, kImage: absolute http(s) address, or empty when unusable
};

enum class BlockKind : std::uint8_t {
    kHeading, kParagraph, kList, kListItem, kTable, kTableRow, kCode, kQuote,
};

struct ContentBlock {
    BlockKind kind = BlockKind::kParagraph;
    int level = 0;         // kHeading: 1..6
    bool ordered = false;  // kList
    bool header = false;   // kTableRow: a row of header cells
    std::vector<InlineRun> inlines;       // kHeading, kParagraph
    std::string code;                     // kCode: the text as written, lines kept
    std::vector<ContentBlock> children;   // kList: items; kListItem, kQuote: blocks;
                                          // kTable: rows; kTableRow: cells (paragraphs)
};

struct MainContent {
    std::string title;    // the page's own title
    std::vector<ContentBlock> blocks;
};

// `page` is the page as UTF-8; `pageAddress` resolves its links and images.
MainContent ExtractMainContent(std::string_view page, std::string_view pageAddress);

// The content as plain text: one block a line, blank lines between blocks.
std::string ContentText(const MainContent& content);
// One block of it as ContentText writes it.
std::string BlockText(const ContentBlock& block);
// The text of a paragraph's or heading's own runs, pictures left out: what a line says.
std::string LineText(const ContentBlock& block);

// The "main words" of a page: runs of letters, digits and "_" in ContentText.
size_t ContentWordCount(const MainContent& content);

}  // namespace bcnk
