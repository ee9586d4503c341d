#pragma once
// Letter-or-digit classification of single UTF-16 units, for names that must be safe as one
// path component.
#include "common/text.h"

namespace bcnk {

// True for letters of any script and for digits, as the C library's wide-character
// classification sees them. Surrogate halves are never alphanumeric on their own.
bool IsAlphanumericUnit(char16_t unit);

}  // namespace bcnk
