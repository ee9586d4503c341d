#include <windows.h>

#include "common/file_lock.h"

namespace bcnk {

void FileLock::Release() {
    if (handle_ != kNone) {
        CloseHandle(reinterpret_cast<HANDLE>(handle_));  // deletes the file, see TryAcquire
        handle_ = kNone;
    }
}

FileLock FileLock::TryAcquire(const Text& path) {
    FileLock lock;
    // No sharing at all: a second open fails with a sharing violation while this one lasts.
    const HANDLE file = CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()),
                                    GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return lock;
    }
    lock.path_ = path;
    lock.handle_ = reinterpret_cast<std::intptr_t>(file);
    return lock;
}

}  // namespace bcnk
