#include <sys/stat.h>

#include <cerrno>

#include "common/directory.h"

namespace bcnk {

bool EnsureDirectory(const Text& path) {
    const std::string name = WideToUtf8(path);
    if (mkdir(name.c_str(), 0777) == 0) {
        return true;
    }
    if (errno != EEXIST) {
        return false;
    }
    struct stat info {};
    return stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace bcnk
