#include "analysis/shop_lines.h"

#include <algorithm>
#include <string>

#include "analysis/html_tree.h"

namespace bcnk {

namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool IsLetterOrDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Letters and digits folded, every other run as one space; empty when longer than `limit`.
std::string FoldedWords(std::string_view text, size_t limit) {
    std::string folded;
    for (const char c : text) {
        if (IsLetterOrDigit(c)) {
            folded += Fold(c);
        } else if (!folded.empty() && folded.back() != ' ') {
            folded += ' ';
        }
        if (folded.size() > limit) {
            return {};
        }
    }
    while (!folded.empty() && folded.back() == ' ') {
        folded.pop_back();
    }
    return folded;
}

bool IsNumber(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

bool IsCardBadge(std::string_view paragraph) {
    static constexpr std::string_view kBadges[] = {
        "new", "new in", "new arrival", "new arrivals", "just in", "new color", "new colors",
        "new colour", "new colours", "sale", "on sale", "clearance", "hot", "limited",
        "limited edition", "exclusive", "online exclusive", "online only", "sold out",
        "back in stock", "low stock", "only a few left", "almost gone", "selling fast",
        "pre order", "preorder", "best seller", "best sellers", "bestseller", "bestsellers",
        "top seller", "top rated", "award winner", "staff pick", "popular",
        "customer favorite", "customer favourite", "fan favorite",
        "fan favourite", "more options", "more colors", "more colours",
    };
    const std::string_view text = Trimmed(paragraph);
    // "+8": more swatches than the card shows.
    if (text.size() > 1 && text.front() == '+' && IsNumber(text.substr(1))) {
        return text.size() <= 4;
    }
    const std::string folded = FoldedWords(text, 24);
    if (std::any_of(std::begin(kBadges), std::end(kBadges),
                    [&](std::string_view badge) { return folded == badge; })) {
        return true;
    }
    // "5 colours", "12 colors available"
    const size_t space = folded.find(' ');
    if (space == std::string::npos || !IsNumber(std::string_view(folded).substr(0, space))) {
        return false;
    }
    const std::string_view rest = std::string_view(folded).substr(space + 1);
    return rest == "color" || rest == "colors" || rest == "colour" || rest == "colours" ||
           rest == "colors available" || rest == "colours available";
}

bool IsShopControlLine(std::string_view paragraph) {
    static constexpr std::string_view kControls[] = {
        "your cart is empty", "no products in the cart", "added to cart", "continue shopping",
        "notify me", "notify me when available", "notify me when back in stock",
        "coming soon", "low in stock", "price alert", "pick up in store", "results per page",
        "size guide", "size chart", "find your size", "select a color", "select color",
        "choose a color", "free shipping", "free returns", "quick add", "add to favorites",
        "add to favourites", "save to wishlist",
    };
    const std::string folded = FoldedWords(paragraph, 32);
    return std::any_of(std::begin(kControls), std::end(kControls),
                       [&](std::string_view control) { return folded == control; });
}

bool IsRatingSummary(std::string_view paragraph) {
    static constexpr std::string_view kWords[] = {
        "rated", "out", "of", "based", "on", "with", "an", "average", "customer", "customers",
        "verified", "product",
    };
    static constexpr std::string_view kCounted[] = {
        "stars", "star", "reviews", "review", "ratings", "rating",
    };
    const std::string_view text = Trimmed(paragraph);
    if (text.size() > 90) {
        return false;
    }
    // "(1,664)": a count in brackets, as the stars beside it are drawn.
    if (text.size() > 2 && text.front() == '(' && text.back() == ')' &&
        std::all_of(text.begin() + 1, text.end() - 1,
                    [](char c) { return (c >= '0' && c <= '9') || c == ','; })) {
        return true;
    }
    bool number = false, counted = false;
    for (size_t at = 0; at < text.size();) {
        const char c = text[at];
        if (c >= '0' && c <= '9') {
            number = true;
            ++at;
            continue;
        }
        if (!IsLetterOrDigit(c)) {
            ++at;
            continue;
        }
        std::string word;
        while (at < text.size() && IsLetterOrDigit(text[at]) &&
               !(text[at] >= '0' && text[at] <= '9')) {
            word += Fold(text[at++]);
        }
        const auto is = [&](std::string_view known) { return word == known; };
        if (std::any_of(std::begin(kCounted), std::end(kCounted), is)) {
            counted = true;
        } else if (!std::any_of(std::begin(kWords), std::end(kWords), is)) {
            return false;
        }
    }
    return number && counted;
}

bool IsMediaAddressLine(std::string_view paragraph) {
    static constexpr std::string_view kMediaEndings[] = {
        ".jpg", ".jpeg", ".png", ".gif", ".webp", ".avif", ".svg", ".mp4", ".webm",
    };
    const std::string_view text = Trimmed(paragraph);
    const size_t scheme = text.find("://");
    if (scheme == std::string_view::npos || text.find(' ') != std::string_view::npos ||
        !(NameIs(text.substr(0, scheme), "http") || NameIs(text.substr(0, scheme), "https"))) {
        return false;
    }
    // The path's ending decides, whatever query follows it.
    std::string_view path = text.substr(0, std::min(text.find('?'), text.find('#')));
    return std::any_of(std::begin(kMediaEndings), std::end(kMediaEndings),
                       [&](std::string_view ending) {
                           return path.size() > ending.size() &&
                                  NameIs(path.substr(path.size() - ending.size()), ending);
                       });
}

}  // namespace bcnk
