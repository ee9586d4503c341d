#pragma once
// The prose a page states only in its JSON-LD: shops often render a product's description
// with scripts and give it in full only to search engines there.
#include <string>
#include <string_view>
#include <vector>

namespace bcnk {

// Decoded values (UTF-8) of the "description" and "articleBody" keys of one JSON-LD block,
// in order, those holding only markup-free text; a malformed string ends the search.
std::vector<std::string> JsonLdProse(std::string_view json);

}  // namespace bcnk
