#include "analysis/shop_lines.h"

#include <algorithm>

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

}  // namespace

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
