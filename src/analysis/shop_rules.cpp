#include "analysis/shop_rules.h"

#include <algorithm>
#include <string>
#include <vector>

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

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The heading's letters and digits folded, other runs as one space, at most 40 bytes.
std::string FoldedHeading(std::string_view text) {
    std::string folded;
    for (const char c : text) {
        if (IsLetter(c) || (c >= '0' && c <= '9') || c == '&') {
            folded += Fold(c);
        } else if (!folded.empty() && folded.back() != ' ') {
            folded += ' ';
        }
        if (folded.size() >= 40) {
            break;
        }
    }
    while (!folded.empty() && folded.back() == ' ') {
        folded.pop_back();
    }
    return folded;
}

// A currency sign of more than one byte at the start of `text`: pound, yen, and the
// currency symbols block (euro, rupee, won...).
bool IsCurrencySign(std::string_view text) {
    return text.starts_with("\xC2\xA3") || text.starts_with("\xC2\xA5") ||
           text.starts_with("\xE2\x82");
}

}  // namespace

bool IsShopSectionHeading(std::string_view headingText) {
    static constexpr std::string_view kOpenings[] = {
        "reviews", "customer reviews", "ratings", "customer ratings", "product reviews",
        "shipping", "delivery", "returns", "free shipping", "payment", "what customers",
        "customers say", "what our customers", "products related", "customers frequently",
        "people are asking", "similar products", "you may", "you might", "related products",
        "recently viewed", "frequently bought", "complete your", "pairs well", "goes well",
        "write a review", "be the first",
    };
    const std::string folded = FoldedHeading(headingText);
    for (const std::string_view opening : kOpenings) {
        if (folded.compare(0, opening.size(), opening) == 0 &&
            (folded.size() == opening.size() || folded[opening.size()] == ' ' ||
             !IsLetter(opening.back()))) {
            return true;
        }
    }
    return false;
}

bool IsPriceLine(std::string_view paragraph) {
    static constexpr std::string_view kLabels[] = {
        "regular", "sale", "price", "original", "current", "was", "now", "from", "only",
        "usd", "eur", "gbp", "cad", "aud", "excl", "incl", "tax", "vat", "each",
    };
    if (paragraph.size() > 80) {
        return false;
    }
    bool digits = false, currency = false;
    size_t at = 0;
    while (at < paragraph.size()) {
        const char c = paragraph[at];
        if (IsLetter(c)) {
            size_t end = at;
            std::string word;
            while (end < paragraph.size() && IsLetter(paragraph[end])) {
                word += Fold(paragraph[end++]);
            }
            bool label = false;
            for (const std::string_view known : kLabels) {
                label = label || word == known;
            }
            if (!label) {
                return false;
            }
            currency = currency || word == "usd" || word == "eur" || word == "gbp" ||
                       word == "cad" || word == "aud";
            at = end;
            continue;
        }
        digits = digits || (c >= '0' && c <= '9');
        currency = currency || c == '$' || IsCurrencySign(paragraph.substr(at, 3));
        ++at;
    }
    return digits && currency;
}

bool IsListingControl(std::string_view paragraph) {
    constexpr size_t kMaxWords = 8;
    if (paragraph.size() > 80) {
        return false;
    }
    std::vector<std::string> words;
    bool numbersOnly = true;
    for (size_t at = 0; at < paragraph.size();) {
        const char c = paragraph[at];
        const bool digit = c >= '0' && c <= '9';
        if (!IsLetter(c) && !digit) {
            ++at;
            continue;
        }
        std::string word;
        while (at < paragraph.size() && (IsLetter(paragraph[at]) ||
                                         (paragraph[at] >= '0' && paragraph[at] <= '9'))) {
            word += Fold(paragraph[at++]);
        }
        numbersOnly = numbersOnly && (digit || word == "of");
        words.push_back(std::move(word));
        if (words.size() > kMaxWords) {
            return false;
        }
    }
    if (words.empty()) {
        return false;
    }
    const auto isCounted = [](const std::string& word) {
        return word == "results" || word == "items" || word == "products";
    };
    const std::string& first = words.front();
    if (first == "showing" || first == "viewing" || first == "displaying" || first == "loaded") {
        return std::any_of(words.begin(), words.end(), isCounted);
    }
    // "296 products", "(154 products)"; "1-30 of 1000", "1–30 of 143 products"
    if (words.size() == 2 && first[0] >= '0' && first[0] <= '9' && isCounted(words[1])) {
        return true;
    }
    const bool countedLast = isCounted(words.back());
    const size_t numbers = words.size() - (countedLast ? 1 : 0);
    if (countedLast && numbers > 0) {
        numbersOnly = std::all_of(words.begin(), words.begin() + numbers,
                                  [](const std::string& word) {
                                      return word == "of" || (word[0] >= '0' && word[0] <= '9');
                                  });
    }
    if (numbersOnly && numbers >= 3 && words[numbers - 2] == "of") {
        return true;
    }
    const bool sortFirst =
        first == "sort" && (words.size() == 1 || words[1] == "by" || words[1] == "and" ||
                            paragraph.find(':') != std::string_view::npos);
    const bool filterSort = first == "filter" && words.size() <= 3 && words.back() == "sort";
    return sortFirst || filterSort;
}

bool IsSingleProductPage(const HtmlTree& tree) {
    size_t products = 0;
    for (std::uint32_t n = 1; n < tree.nodes.size(); ++n) {
        const HtmlNode& node = tree.nodes[n];
        if (node.tag == Tag::kMeta) {
            const std::string_view type = tree.Attribute(n, "property").empty()
                                              ? tree.Attribute(n, "name")
                                              : tree.Attribute(n, "property");
            const std::string_view content = tree.Attribute(n, "content");
            if (NameIs(type, "og:type") &&
                (NameIs(content, "product") || NameIs(content, "og:product"))) {
                return true;
            }
        } else if (node.tag == Tag::kScript && node.firstChild != 0 &&
                   NameIs(tree.Attribute(n, "type"), "application/ld+json")) {
            products += CountOf(tree.nodes[node.firstChild].text, "\"Product\"");
        }
    }
    return products == 1;
}

bool IsOneProductByVariantsOrItem(const HtmlTree& tree) {
    size_t groups = 0, products = 0, items = 0;
    for (std::uint32_t n = 1; n < tree.nodes.size(); ++n) {
        const HtmlNode& node = tree.nodes[n];
        if (node.tag == Tag::kScript && node.firstChild != 0 &&
            NameIs(tree.Attribute(n, "type"), "application/ld+json")) {
            const std::string_view json = tree.nodes[node.firstChild].text;
            groups += CountOf(json, "\"ProductGroup\"");
            products += CountOf(json, "\"Product\"");
        } else if (node.tag != Tag::kText) {
            const std::string_view type = tree.Attribute(n, "itemtype");
            items += type.ends_with("schema.org/Product") ? 1 : 0;
        }
    }
    // A category page types each product it lists: more than one group, or items beside
    // products typed in JSON-LD, is a listing.
    return groups == 1 || (groups == 0 && products == 0 && items == 1);
}

}  // namespace bcnk
