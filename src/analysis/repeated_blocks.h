#pragma once
// Text a page shows twice: a forum reply quoting the post it answers, an opening post shown
// again above its thread, a description given once for wide screens and once for narrow
// ones. Readers of the content need it once.
#include <cstdint>
#include <vector>

#include "analysis/main_content.h"

namespace bcnk {

struct RepeatLimits {
    // A quoted paragraph of at least this many words that repeats one before it goes: the
    // reader has just read it where it was written.
    std::uint32_t quoted = 6;
    // Outside quotes only long paragraphs go when repeated: short ones (a step of an
    // instruction, a field's description) repeat on purpose in sections of their own.
    std::uint32_t plain = 50;
};

// Leaves out each paragraph whose words repeat those of a paragraph before it, within the
// limits, and the list items, lists and quotes that this leaves empty. Code, tables and
// headings stay as they are: repeated rows and lines there are data.
void DropRepeatedBlocks(std::vector<ContentBlock>& blocks, const RepeatLimits& limits);

}  // namespace bcnk
