#include "common/temp_file.h"

#include <windows.h>

#include <algorithm>
#include <string>

namespace bcnk {

namespace {
const std::intptr_t kNoFile = reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE);

HANDLE AsHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

std::intptr_t MakeDeleteOnCloseFile() {
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    wchar_t name[MAX_PATH + 1];
    if (length == 0 || length > MAX_PATH || GetTempFileNameW(folder, L"bcs", 0, name) == 0) {
        return kNoFile;
    }
    // GetTempFileName made the file; opening it again with delete-on-close hands its removal
    // to the system, which does it even when the program is killed.
    const HANDLE file = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DeleteFileW(name);
    }
    return reinterpret_cast<std::intptr_t>(file);
}

OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    position.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return position;
}
}  // namespace

TempFile::TempFile() : handle_(MakeDeleteOnCloseFile()) {}

TempFile::~TempFile() {
    if (handle_ != kNoFile) {
        CloseHandle(AsHandle(handle_));
    }
}

bool TempFile::Open() const { return handle_ != kNoFile; }

// One call moves at most 1 GiB, well within a DWORD.
constexpr std::size_t kMaxStep = std::size_t{1} << 30;

std::size_t TempFile::WriteSome(const char* bytes, std::size_t size, std::uint64_t at) {
    OVERLAPPED position = At(at);
    DWORD step = 0;
    const DWORD chunk = static_cast<DWORD>(std::min(size, kMaxStep));
    return WriteFile(AsHandle(handle_), bytes, chunk, &step, &position) ? step : 0;
}

std::size_t TempFile::ReadSome(char* bytes, std::size_t size, std::uint64_t at) const {
    OVERLAPPED position = At(at);
    DWORD step = 0;
    const DWORD chunk = static_cast<DWORD>(std::min(size, kMaxStep));
    return ReadFile(AsHandle(handle_), bytes, chunk, &step, &position) ? step : 0;
}

}  // namespace bcnk
