#pragma once
// Rules for the page of one product in a shop. Around the description such a page shows
// what every product page of the shop shows: the buying panel, reviews, questions, other
// products. Readers of the twin want what the product is.
#include <string_view>

#include "analysis/html_tree.h"

namespace bcnk {

// The page sells one product, by its own markup: Open Graph type "product", or JSON-LD that
// types exactly one item a Product (a category page types each product it lists).
bool IsSingleProductPage(const HtmlTree& tree);

}  // namespace bcnk
