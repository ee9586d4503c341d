#pragma once
// The lines an article carries above its text to say who wrote it and when ("By Ann Lee",
// "Updated March 4, 2025"): facts about the page, not what it says.
#include <cstddef>
#include <string_view>
#include <vector>

#include "analysis/main_content.h"

namespace bcnk {

// A date alone, maybe after "Updated", "Published", "Posted" or "On": "March 4, 2025",
// "4 Mar 2025", "03/04/2025", "2025-03-04".
bool IsDateLine(std::string_view paragraph);

// "By Ann Lee", "Written by Ann Lee", "Medically reviewed by ...": a short line naming who.
bool IsBylineLine(std::string_view paragraph);

// Leaves out the date and byline paragraphs among the blocks above the first one that reads
// as text (at least `textWords` words).
void DropHeadLines(std::vector<ContentBlock>& blocks, std::size_t textWords);

}  // namespace bcnk
