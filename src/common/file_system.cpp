#include "common/file_system.h"

namespace bcnk {

Text JoinPath(const Text& directory, const Text& name) {
    Text path = directory;
    path += kPathSeparator;
    path += name;
    return path;
}

}  // namespace bcnk
