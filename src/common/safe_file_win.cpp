#include <windows.h>

#include <io.h>

#include "common/safe_file_platform.h"

namespace bcnk {

namespace {

const wchar_t* Wide(const Text& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

}  // namespace

unsigned long CurrentProcessId() {
    return GetCurrentProcessId();
}

bool FlushFileToDisk(std::FILE* file) {
    return _commit(_fileno(file)) == 0;
}

Text MoveFileOver(const Text& source, const Text& target) {
    if (MoveFileExW(Wide(source), Wide(target),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return Text();
    }
    const DWORD error = GetLastError();
    wchar_t* message = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    Text reason = length > 0 ? Text(reinterpret_cast<const char16_t*>(message), length)
                             : u"the file could not be moved into place";
    LocalFree(message);
    return Trim(reason);
}

void RemoveFile(const Text& path) {
    DeleteFileW(Wide(path));
}

}  // namespace bcnk
