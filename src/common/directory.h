#pragma once
// Making the folders the program writes into, with UTF-16 paths.
#include "common/text.h"

namespace bcnk {

// Creates one directory (not its parents). True when the path is a directory afterwards,
// whether it was made now or was there already; a file of that name counts as failure.
bool EnsureDirectory(const Text& path);

}  // namespace bcnk
