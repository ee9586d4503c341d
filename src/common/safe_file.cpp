#include "common/safe_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/file_system.h"
#include "common/safe_file_platform.h"

namespace bcnk {

namespace {

Text ErrnoReason(int error, const char16_t* fallback) {
    const char* message = error != 0 ? std::strerror(error) : nullptr;
    return message != nullptr && *message != '\0' ? Utf8ToWide(message) : Text(fallback);
}

}  // namespace

Text WriteFileSafely(const Text& path, const std::string& bytes) {
    // One temporary name per process: two programs writing the same report cannot share a
    // half-written file, and the last complete one wins.
    const Text temporary = path + u".tmp" + NumberText(CurrentProcessId());
    errno = 0;
    std::FILE* file = OpenFileForWriting(temporary);
    if (file == nullptr) {
        return ErrnoReason(errno, u"the file could not be created");
    }
    errno = 0;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = ok && std::fflush(file) == 0 && FlushFileToDisk(file);
    const int writeError = errno;
    const bool closed = std::fclose(file) == 0;
    if (!ok || !closed) {
        RemoveFile(temporary);
        return ErrnoReason(writeError != 0 ? writeError : errno, u"the file could not be written");
    }
    const Text moveError = MoveFileOver(temporary, path);
    if (!moveError.empty()) {
        RemoveFile(temporary);
        return moveError;
    }
    return Text();
}

}  // namespace bcnk
