#pragma once
// Marks in a page's markup that tell what kind of page it is beyond its words: the layout
// documentation tools give their pages, and the prices and basket buttons of a shop.
#include "common/text.h"

namespace bcnk {

struct PageKindMarks {
    // How many marks of a documentation layout the page has (0 to 3): a documentation tool
    // named in its generator meta tag, a table-of-contents sidebar, previous/next links.
    int documentationMarks = 0;
    bool generatorIsDocumentationTool = false;
    // Elements marked as a price (itemprop="price", a class named "price").
    int priceMarks = 0;
    bool addToCart = false;
    // Open Graph type "article" or an article's publication time.
    bool articleMeta = false;
    // Repeated blocks of teasers: <article> elements, product cards.
    int itemBlocks = 0;
    // Open Graph type "product" or a product's price in its metas: one product's page.
    bool productMeta = false;
    // Open Graph type "product.group": a page of several products.
    bool productGroupMeta = false;
    // Items the page's microdata types as schema.org Products.
    int productItems = 0;

    bool operator==(const PageKindMarks&) const = default;
};

// `page` is the whole decoded page.
PageKindMarks ReadPageKindMarks(const Text& page);

}  // namespace bcnk
