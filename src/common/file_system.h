#pragma once
// Paths and file opening with UTF-16 names. The program's files live beside the executable,
// whose path may hold any character, so nothing here goes through a narrow code page.
#include <cstdio>

#include "common/text.h"

namespace bcnk {

#ifdef _WIN32
inline constexpr char16_t kPathSeparator = u'\\';
#else
inline constexpr char16_t kPathSeparator = u'/';
#endif

// directory + separator + name; the directory is taken to have no trailing separator.
Text JoinPath(const Text& directory, const Text& name);

// Names Windows maps to devices whatever follows the first dot ("nul.example" is still
// NUL, "COM1" and "lpt\u00B9" too): no file or folder can have such a name there.
bool IsWindowsDeviceName(const Text& name);

// Creates or truncates the file for binary writing; nullptr when that is not possible.
// The caller closes the stream.
std::FILE* OpenFileForWriting(const Text& path);

}  // namespace bcnk
