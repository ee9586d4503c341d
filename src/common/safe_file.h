#pragma once
// Writing a whole file so that a reader never sees half of it: the bytes go into a temporary
// file beside the target, every write, the flush to disk and the close are checked, and only
// then is the temporary moved over the target. A failure leaves the old file (or no file)
// and removes the temporary.
#include <string>

#include "common/text.h"

namespace bcnk {

// Empty on success; otherwise a short reason for people ("No space left on device").
Text WriteFileSafely(const Text& path, const std::string& bytes);

}  // namespace bcnk
