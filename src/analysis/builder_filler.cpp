#include "analysis/builder_filler.h"

#include "analysis/html_tree.h"

namespace bcnk {

namespace {

// Filler other than Lorem ipsum is a short label; a longer line that names it is prose.
constexpr size_t kMaxFillerBytes = 40;

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
