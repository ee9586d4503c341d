#include <windows.h>

#include "common/directory.h"

namespace bcnk {

bool EnsureDirectory(const Text& path) {
    const auto* name = reinterpret_cast<const wchar_t*>(path.c_str());
    if (CreateDirectoryW(name, nullptr)) {
        return true;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
        return false;
    }
    const DWORD attributes = GetFileAttributesW(name);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace bcnk
