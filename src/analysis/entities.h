#pragma once
// Character references, one at a time, for the places that decode while they walk a text
// (DecodeEntities itself, the readable text of a fragment, the word count of a page).
#include "analysis/text_scan.h"

namespace bcnk {

// Reads the reference that starts with the "&" at `ampersand`. On success stores the
// character in `decoded` and returns the position just behind the ";"; returns 0 when the
// "&" is to be copied as it stands.
size_t DecodeReference(TextView text, size_t ampersand, char16_t& decoded);

}  // namespace bcnk

namespace bcnk {

// Reads one unit of `text` at `index` after decoding: a reference, or the unit as it stands.
// Stores it in `unit` and returns the index of what follows.
inline size_t DecodedUnitAt(TextView text, size_t index, char16_t& unit) {
    unit = text[index];
    if (unit == u'&') {
        char16_t decoded = 0;
        if (const size_t behind = DecodeReference(text, index, decoded)) {
            unit = decoded;
            return behind;
        }
    }
    return index + 1;
}

// Calls visit(unit) for each unit of `text` after decoding, without building the decoded
// text: the word count and the readable text of a page each need one pass, not two.
template <typename Visit>
void ForEachDecodedUnit(TextView text, Visit&& visit) {
    size_t index = 0;
    while (index < text.size()) {
        char16_t unit = 0;
        index = DecodedUnitAt(text, index, unit);
        visit(unit);
    }
}

}  // namespace bcnk
