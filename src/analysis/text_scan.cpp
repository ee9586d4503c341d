#include "analysis/text_scan.h"

#include <algorithm>

namespace bcnk {

size_t FindFolded(TextView text, TextView foldedPattern, size_t from) {
    if (from > text.size()) {
        return kNotFound;
    }
    if (foldedPattern.empty()) {
        return from;
    }
    const char16_t first = foldedPattern.front();
    const bool isLetter = first >= u'a' && first <= u'z';
    const size_t last = text.size() - std::min(text.size(), foldedPattern.size() - 1);
    for (size_t index = from; index < last; ++index) {
        if (isLetter ? FoldUnit(text[index]) != first : text[index] != first) {
            continue;
        }
        if (MatchesFolded(text, index, foldedPattern)) {
            return index;
        }
    }
    return kNotFound;
}

}  // namespace bcnk
