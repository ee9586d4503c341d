#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/file_lock.h"

namespace bcnk {

void FileLock::Release() {
    if (handle_ != kNone) {
        // Removed while still locked: a run that opened this file meanwhile finds on
        // acquiring that the name no longer leads to it, and starts over with a new file.
        unlink(WideToUtf8(path_).c_str());
        close(static_cast<int>(handle_));
        handle_ = kNone;
    }
}

FileLock FileLock::TryAcquire(const Text& path) {
    FileLock lock;
    const std::string name = WideToUtf8(path);
    const int fd = open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return lock;
    }
    struct stat byName {};
    struct stat byHandle {};
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 || stat(name.c_str(), &byName) != 0 ||
        fstat(fd, &byHandle) != 0 || byName.st_ino != byHandle.st_ino ||
        byName.st_dev != byHandle.st_dev) {
        close(fd);
        return lock;
    }
    lock.path_ = path;
    lock.handle_ = fd;
    return lock;
}

}  // namespace bcnk
