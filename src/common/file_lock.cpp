#include "common/file_lock.h"

#include <utility>

namespace bcnk {

FileLock::FileLock(FileLock&& other) noexcept
    : path_(std::move(other.path_)), handle_(std::exchange(other.handle_, kNone)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        Release();
        path_ = std::move(other.path_);
        handle_ = std::exchange(other.handle_, kNone);
    }
    return *this;
}

FileLock::~FileLock() {
    Release();
}

}  // namespace bcnk
