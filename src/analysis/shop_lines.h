#pragma once
// Lines that shop and listing templates print as text and that no reader reads: the values
// of the template's own fields, which surface where a theme lays out its data unstyled, and
// the stickers on product cards.
#include <string_view>

namespace bcnk {

// A paragraph that is only the address of a picture or a video file ("https://cdn.example/
// a/tee_thumb.jpg"): a template's field printed as text, never something to read.
bool IsMediaAddressLine(std::string_view paragraph);

// A merchandising sticker or swatch count on a product's card ("New", "Best seller", "Sold
// out", "+8", "5 colours", "More options"), alone on its line: a label on the picture, not
// what the card says.
bool IsCardBadge(std::string_view paragraph);

// A product's rating summary alone on its line ("4.6 out of 5 stars", "(1,664)", "Rated 4.8
// out of 5 based on 29 customer ratings", "339 reviews"): the reviews widget's label.
bool IsRatingSummary(std::string_view paragraph);

// A shop's control or notice alone on its line: the cart's state ("Your cart is empty"),
// stock alerts ("Notify me when back in stock", "Coming soon"), the size guide's link, a
// shipping promise repeated on every card ("+ Free shipping"), a result-page setting.
bool IsShopControlLine(std::string_view paragraph);

}  // namespace bcnk
