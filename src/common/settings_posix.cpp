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
    return DirectoryOf(Utf8ToWide(path));
}

}  // namespace bcnk
