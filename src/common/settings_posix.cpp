#include <unistd.h>

#include <string>

#include "common/settings.h"

namespace bcnk {

Text ModuleDirectory() {
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<size_t>(length) >= path.size()) {
        return u".";
    }
    path.resize(static_cast<size_t>(length));
    const size_t cut = path.rfind('/');
    if (cut == std::string::npos) {
        return u".";
    }
    // The executable in the root directory: its directory is "/", not the empty string.
    return Utf8ToWide(cut == 0 ? std::string("/") : path.substr(0, cut));
}

}  // namespace bcnk
