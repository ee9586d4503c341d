#pragma once
// The platform steps of WriteFileSafely, one implementation per platform.
#include <cstdio>

#include "common/text.h"

namespace bcnk {

unsigned long CurrentProcessId();

// Asks the system to put the stream's written bytes on the disk; false when it cannot.
bool FlushFileToDisk(std::FILE* file);

// Replaces target by source in one step; empty on success, else the reason.
Text MoveFileOver(const Text& source, const Text& target);

void RemoveFile(const Text& path);

}  // namespace bcnk
