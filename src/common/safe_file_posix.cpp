#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/safe_file_platform.h"

namespace bcnk {

unsigned long CurrentProcessId() {
    return static_cast<unsigned long>(getpid());
}

bool FlushFileToDisk(std::FILE* file) {
    return fsync(fileno(file)) == 0;
}

Text MoveFileOver(const Text& source, const Text& target) {
    // rename() replaces the target atomically on the same file system.
    if (std::rename(WideToUtf8(source).c_str(), WideToUtf8(target).c_str()) == 0) {
        return Text();
    }
    return Utf8ToWide(std::strerror(errno));
}

void RemoveFile(const Text& path) {
    std::remove(WideToUtf8(path).c_str());
}

}  // namespace bcnk
