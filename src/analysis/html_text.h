#pragma once
// The readable text of markup: tags dropped, references decoded, white space collapsed.
#include "analysis/text_scan.h"
#include "common/text.h"

namespace bcnk {

// The units outside tags: "<" opens a tag and ">" closes one, and neither is kept. Comments
// and scripts get no special treatment.
Text StripMarkup(TextView fragment);

// HtmlToText of a fragment given as a view, so callers need not copy the fragment first.
Text ReadableText(TextView fragment);

// Number of maximal runs of non-white-space units in ReadableText(fragment).
size_t CountWords(TextView fragment);

// IsWhiteSpaceUnit with the common range answered inline.
inline bool IsSpace(char16_t unit) {
    if (unit <= 0xFF) {
        return (unit >= 0x09 && unit <= 0x0D) || unit == 0x20 || unit == 0x85 || unit == 0xA0;
    }
    return IsWhiteSpaceUnit(unit);
}

}  // namespace bcnk
