#include "analysis/thread_lines.h"

#include <algorithm>
#include <string>

namespace bcnk {

bool IsPosterCountLine(std::string_view paragraph) {
    static constexpr std::string_view kTallies[] = {
        "posts", "messages", "threads", "reputation", "likes", "points", "karma", "kudos",
        "solutions", "reactions",
    };
    if (paragraph.size() > 40) {
        return false;
    }
    size_t at = 0;
    const auto skip = [&](auto&& what) {
        while (at < paragraph.size() && what(paragraph[at])) {
            ++at;
        }
    };
    const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    skip([](char c) { return c == ' '; });
    const size_t start = at;
    skip(letter);
    std::string label;
    for (size_t k = start; k < at; ++k) {
        const char c = paragraph[k];
        label += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    }
    if (std::none_of(std::begin(kTallies), std::end(kTallies),
                     [&](std::string_view tally) { return label == tally; })) {
        return false;
    }
    skip([](char c) { return c == ' ' || c == ':'; });
    if (at == paragraph.size() || !digit(paragraph[at])) {
        return false;
    }
    skip([&](char c) { return digit(c) || c == ',' || c == '.'; });
    if (at < paragraph.size() && (paragraph[at] == 'k' || paragraph[at] == 'K')) {
        ++at;
    }
    skip([](char c) { return c == ' '; });
    return at == paragraph.size();
}

}  // namespace bcnk
