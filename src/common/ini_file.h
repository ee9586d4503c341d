#pragma once
// Private-profile (INI) access: "[section]" lines followed by "key=value" lines. Section and
// key names match without regard to ASCII case; a missing file, section or key gives the
// fallback. Windows uses its own profile functions; elsewhere a small reader and writer
// keeps the same observable rules.
#include "common/text.h"

namespace bcnk {

// Longest value ReadIniText returns, in UTF-16 units; longer values are cut.
inline constexpr size_t kIniValueLimit = 1023;

// The value read as an integer the way the Windows profile functions read it: leading
// white space, an optional sign, an optional 0x/0o/0b base prefix, then digits up to the
// first character that is none. A value that does not begin with a number reads as 0; an
// empty value or a missing key gives the fallback.
int ReadIniInteger(const Text& path, const Text& section, const Text& key, int fallback);

// The value with surrounding blanks and one pair of matching quotes removed, cut to
// kIniValueLimit units; the fallback when the key is missing.
Text ReadIniText(const Text& path, const Text& section, const Text& key, const Text& fallback);

// Sets key=value in the section: replaces the first existing entry in place, or adds the
// entry at the end of the section, or the section at the end of the file, creating the file
// when needed. Every other line is kept. False when the file could not be written.
bool WriteIniText(const Text& path, const Text& section, const Text& key, const Text& value);

}  // namespace bcnk
