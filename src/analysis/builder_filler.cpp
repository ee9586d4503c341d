#include "analysis/builder_filler.h"

namespace bcnk {

namespace {

// Filler other than Lorem ipsum is a short label; a longer line that names it is prose.
constexpr size_t kMaxFillerBytes = 40;

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool ContainsFolded(std::string_view text, std::string_view folded) {
    for (size_t at = 0; at + folded.size() <= text.size(); ++at) {
        size_t k = 0;
        while (k < folded.size() && Fold(text[at + k]) == folded[k]) {
            ++k;
        }
        if (k == folded.size()) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool IsBuilderFiller(std::string_view paragraph) {
    if (ContainsFolded(paragraph.substr(0, 11), "lorem ipsum")) {
        return true;
    }
    if (paragraph.size() > kMaxFillerBytes) {
        return false;
    }
    for (const std::string_view filler :
         {"text here", "your custom text", "your banner", "your heading", "your subtitle",
          "your tagline", "add your text", "insert text"}) {
        if (ContainsFolded(paragraph, filler)) {
            return true;
        }
    }
    return false;
}

}  // namespace bcnk
