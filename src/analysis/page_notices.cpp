#include "analysis/page_notices.h"

namespace bcnk {

namespace {

// Notices are short; a longer paragraph that mentions scripts is about them.
constexpr size_t kMaxNoticeBytes = 120;
constexpr size_t kMaxPlaceholderBytes = 40;

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

bool AsksForScripts(std::string_view paragraph) {
    if (!ContainsFolded(paragraph, "javascript")) {
        return false;
    }
    for (const std::string_view verb :
         {"enable", "turn on", "switch on", "activate", "disabled", "required", "requires",
          "need", "must"}) {
        if (ContainsFolded(paragraph, verb)) {
            return true;
        }
    }
    return false;
}

bool HoldsTemplateField(std::string_view paragraph) {
    const size_t open = paragraph.find("{{");
    return open != std::string_view::npos && paragraph.find("}}", open + 2) != std::string_view::npos;
}

// The filler of a page builder's blocks that the owner never replaced.
bool IsPlaceholder(std::string_view paragraph) {
    std::string_view start = paragraph.substr(0, 11);
    if (ContainsFolded(start, "lorem ipsum")) {
        return true;
    }
    if (paragraph.size() > kMaxPlaceholderBytes) {
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

}  // namespace

bool IsPageNotice(std::string_view paragraph) {
    return IsPlaceholder(paragraph) ||
           (paragraph.size() <= kMaxNoticeBytes &&
            (AsksForScripts(paragraph) || HoldsTemplateField(paragraph)));
}

}  // namespace bcnk
