#pragma once
// The readable text of markup: tags dropped, references decoded, white space collapsed.
#include "analysis/markup_index.h"
#include "analysis/text_scan.h"
#include "common/text.h"

namespace bcnk {

// True when the "<" at `lessThan` opens a tag: browsers read any other "<" ("a < b", "<3",
// "<" at the end) as text.
inline bool OpensTag(TextView text, size_t lessThan) {
    if (text[lessThan] != u'<' || lessThan + 1 >= text.size()) {
        return false;
    }
    const char16_t next = FoldUnit(text[lessThan + 1]);
    return (next >= u'a' && next <= u'z') || next == u'/' || next == u'!' || next == u'?';
}

// The units outside tags: a "<" that opens a tag (OpensTag) starts one and the first ">"
// behind it ends it; neither is kept, every other "<" and ">" is text. Comments and scripts
// get no special treatment.
Text StripMarkup(TextView fragment);

// Word count of the readable text of a whole page: the runs outside tags are gathered by
// way of the index, then counted by CountDecodedWords.
size_t CountPageWords(TextView page, const MarkupIndex& index);

// HtmlToText of a fragment given as a view, so callers need not copy the fragment first.
Text ReadableText(TextView fragment);

// Number of maximal runs of non-white-space units in `stripped` after decoding references,
// which is the word count of the readable text it gives.
size_t CountDecodedWords(TextView stripped);

// IsWhiteSpaceUnit with the common range answered inline.
inline bool IsSpace(char16_t unit) {
    if (unit <= 0xFF) {
        return (unit >= 0x09 && unit <= 0x0D) || unit == 0x20 || unit == 0x85 || unit == 0xA0;
    }
    return IsWhiteSpaceUnit(unit);
}

}  // namespace bcnk
