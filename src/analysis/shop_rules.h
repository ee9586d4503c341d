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

// The page sells one product by markup IsSingleProductPage does not read: JSON-LD of one
// ProductGroup (its variants each typed a Product), or microdata of one Product item with no
// JSON-LD products beside it.
bool IsOneProductByVariantsOrItem(const HtmlTree& tree);

// A heading of a section every product page of a shop has around the product's own text:
// reviews, delivery and returns, other products. Questions and answers are left alone:
// shops answer what the product is there.
bool IsShopSectionHeading(std::string_view headingText);

// A paragraph that is only a price, with the labels shops put around one ("Regular price
// $24.00", "Sale price", "USD 99.60", "$149.00 - $159.00").
bool IsPriceLine(std::string_view paragraph);

// A line of a listing's controls rather than its items: a count of results ("Showing 24 of
// 514 results", "1-30 of 1000", "296 products") or a sort and filter label.
bool IsListingControl(std::string_view paragraph);

}  // namespace bcnk
