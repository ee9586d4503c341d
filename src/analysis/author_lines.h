#pragma once
// The box about an article's author that themes set under (or over) the text: the name on a
// line of its own and a short biography ("Ann Lee is a staff writer who covers ..."). It is
// about the writer, not what the page says.
#include <string>
#include <string_view>
#include <vector>

#include "analysis/html_tree.h"
#include "analysis/main_content.h"

namespace bcnk {

// The names the page gives for its author: <meta name="author"> and the "author" of its
// JSON-LD. Only names of two to four words count; an organisation's one-word name could
// open any sentence.
std::vector<std::string> PageAuthors(const HtmlTree& tree);

// Whether the paragraph is a line of the author box: the name alone (maybe after "By" or
// "About"), or a biography that opens with the name ("Ann Lee is ...", "Ann Lee has ...").
bool IsAuthorLine(std::string_view paragraph, const std::vector<std::string>& authors);

// Leaves out the author lines among the blocks and within their lists and quotes.
void DropAuthorLines(std::vector<ContentBlock>& blocks, const std::vector<std::string>& authors);

}  // namespace bcnk
