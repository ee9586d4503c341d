#include "analysis/shop_rules.h"

namespace bcnk {

namespace {

size_t CountOf(std::string_view text, std::string_view needle) {
    size_t count = 0;
    for (size_t at = text.find(needle); at != std::string_view::npos;
         at = text.find(needle, at + needle.size())) {
        ++count;
    }
    return count;
}

}  // namespace

bool IsSingleProductPage(const HtmlTree& tree) {
    size_t products = 0;
    for (std::uint32_t n = 1; n < tree.nodes.size(); ++n) {
        const HtmlNode& node = tree.nodes[n];
        if (node.tag == Tag::kMeta) {
            const std::string_view type = tree.Attribute(n, "property").empty()
                                              ? tree.Attribute(n, "name")
                                              : tree.Attribute(n, "property");
            const std::string_view content = tree.Attribute(n, "content");
            if (NameIs(type, "og:type") && (NameIs(content, "product") || NameIs(content, "og:product"))) {
                return true;
            }
        } else if (node.tag == Tag::kScript && node.firstChild != 0 &&
                   NameIs(tree.Attribute(n, "type"), "application/ld+json")) {
            products += CountOf(tree.nodes[node.firstChild].text, "\"Product\"");
        }
    }
    return products == 1;
}

}  // namespace bcnk
