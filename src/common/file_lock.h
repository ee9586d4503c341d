#pragma once
// An exclusive lock on a file, for runs of the program (windows and consoles alike) that
// would otherwise write into the same folder at once. The system drops the lock when its
// holder ends, even by a crash, so a killed run never blocks the next one.
#include <cstdint>

#include "common/text.h"

namespace bcnk {

class FileLock {
  public:
    FileLock() = default;
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    // Releases the lock and removes the file.
    ~FileLock();

    // One attempt: creates the file when missing and locks it. The result is not Held() when
    // another holder has the lock or the file cannot be made.
    static FileLock TryAcquire(const Text& path);
    bool Held() const { return handle_ != kNone; }

  private:
    static constexpr std::intptr_t kNone = -1;
    void Release();

    Text path_;
    std::intptr_t handle_ = kNone;
};

}  // namespace bcnk
