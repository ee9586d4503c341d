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

bool TempFile::Append(std::string_view bytes, std::uint64_t& at) {
    if (handle_ == kNoFile) {
        return false;
    }
    size_t written = 0;
    while (written < bytes.size()) {
        OVERLAPPED position = At(size_ + written);
        DWORD step = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1u << 30));
        if (!WriteFile(AsHandle(handle_), bytes.data() + written, chunk, &step, &position) ||
            step == 0) {
            return false;
        }
        written += step;
    }
    at = size_;
    size_ += bytes.size();
    return true;
}

bool TempFile::Read(std::uint64_t at, std::uint32_t size, std::string& bytes) const {
    if (handle_ == kNoFile || at + size > size_) {
        return false;
    }
    bytes.resize(size);
    size_t done = 0;
    while (done < size) {
        OVERLAPPED position = At(at + done);
        DWORD step = 0;
        if (!ReadFile(AsHandle(handle_), bytes.data() + done, static_cast<DWORD>(size - done),
                      &step, &position) ||
            step == 0) {
            return false;
        }
        done += step;
    }
    return true;
}

}  // namespace bcnk
