#pragma once
// What a one-line form field yields once read: both front ends (the window's edit boxes and
// the console's arguments) go through here, so the same typed text means the same thing.
#include <cstddef>

#include "common/text.h"

namespace bcnk {

// The window reads at most this many characters from an edit box.
inline constexpr std::size_t kFormFieldMaxChars = 2047;

// The typed text cut to kFormFieldMaxChars and trimmed at both ends.
Text FormFieldText(const Text& typed);

}  // namespace bcnk
