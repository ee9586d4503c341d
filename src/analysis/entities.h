#pragma once
// Character references, one at a time, for the places that decode while they walk a text
// (DecodeEntities itself, the readable text of a fragment, the word count of a page).
#include "analysis/text_scan.h"

namespace bcnk {

// What one reference stands for: one character, or for a few names a character and a
// combining mark (&NotEqualTilde; is U+2242 U+0338).
struct DecodedReference {
    char32_t first = 0;
    char32_t second = 0;  // 0 when there is none
};

// Reads the reference that starts with the "&" at `ampersand`. On success stores what it
// stands for in `decoded` (U+FFFD for a number no text may hold) and returns the position
// just behind it; returns 0 when the "&" is to be copied as it stands.
size_t DecodeReference(TextView text, size_t ampersand, DecodedReference& decoded);

// Calls visit(unit) for the UTF-16 form of a character: one unit, or a surrogate pair.
template <typename Visit>
void VisitUnits(char32_t character, Visit&& visit) {
    if (character > 0xFFFF) {
        visit(static_cast<char16_t>(0xD7C0 + (character >> 10)));
        visit(static_cast<char16_t>(0xDC00 + (character & 0x3FF)));
    } else {
        visit(static_cast<char16_t>(character));
    }
}

template <typename Visit>
void VisitReference(const DecodedReference& decoded, Visit&& visit) {
    VisitUnits(decoded.first, visit);
    if (decoded.second != 0) {
        VisitUnits(decoded.second, visit);
    }
}

}  // namespace bcnk

namespace bcnk {

// Reads one character of `text` at `index` after decoding: a reference, a surrogate pair, or
// the unit as it stands. Stores it in `character` (the first, for the few references that
// stand for two) and returns the index of what follows.
inline size_t DecodedCharacterAt(TextView text, size_t index, char32_t& character) {
    character = text[index];
    if (character == u'&') {
        DecodedReference decoded;
        if (const size_t behind = DecodeReference(text, index, decoded)) {
            character = decoded.first;
            return behind;
        }
    }
    // Han beyond the first plane (the rarer ideographs of names and places) counts as a
    // character like any other Han, so the pair must be read as one.
    if (character >= 0xD800 && character <= 0xDBFF && index + 1 < text.size() &&
        text[index + 1] >= 0xDC00 && text[index + 1] <= 0xDFFF) {
        character = 0x10000 + ((character - 0xD800) << 10) + (text[index + 1] - 0xDC00);
        return index + 2;
    }
    return index + 1;
}

// Calls visit(unit) for each unit of `text` after decoding, without building the decoded
// text: the word count and the readable text of a page each need one pass, not two.
template <typename Visit>
void ForEachDecodedUnit(TextView text, Visit&& visit) {
    size_t index = 0;
    while (index < text.size()) {
        DecodedReference decoded{text[index], 0};
        if (text[index] == u'&') {
            if (const size_t behind = DecodeReference(text, index, decoded)) {
                VisitReference(decoded, visit);
                index = behind;
                continue;
            }
            decoded = {u'&', 0};
        }
        VisitUnits(decoded.first, visit);
        ++index;
    }
}

}  // namespace bcnk
