#pragma once
// A product page whose own description, as its JSON-LD declares it, makes up a good part of
// the text chosen: around it the page shows what every product page of the shop shows (the
// buying panel, options, the shop's promises), which the description leaves out.
#include <string_view>
#include <vector>

#include "analysis/main_content.h"

namespace bcnk {

// The declared description must have at least this many words to stand for the page...
inline constexpr size_t kDeclaredDescriptionWords = 80;
// ...and the chosen text at most this many times its words; more, and the page says more
// about the product than its summary does (specifications, instructions, a story).
inline constexpr float kDeclaredDescriptionSpan = 2.5f;

// Keeps of `blocks` the leading heading and the blocks the description holds (most of their
// words are its words), when the description is long, the blocks are not many times longer
// and the page shows at least half of it; otherwise leaves them alone. Returns whether it cut.
bool KeepDeclaredDescription(std::vector<ContentBlock>& blocks, std::string_view description);

// What the chosen text shows above the product's name may hold at most this share of its
// words to go (see DropAboveProductName).
inline constexpr float kAboveNameShare = 0.25f;

// On one product's page, the blocks above the heading that names the product (`name`, the
// page's own h1) are the shop's: promotion bars, the gallery's notes, the model's size.
// They go when they are a small part of the text; a page that tells its story first keeps it.
// Returns whether it cut.
bool DropAboveProductName(std::vector<ContentBlock>& blocks, std::string_view name);

}  // namespace bcnk
