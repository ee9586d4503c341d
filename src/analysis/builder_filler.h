#pragma once
// The filler text of a page builder's blocks that the owner never replaced ("Lorem ipsum",
// "Your custom text here"): it says nothing about the page.
#include <string_view>

namespace bcnk {

// `paragraph`: the text of one paragraph, UTF-8.
bool IsBuilderFiller(std::string_view paragraph);

}  // namespace bcnk
