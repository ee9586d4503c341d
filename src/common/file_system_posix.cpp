#include "common/file_system.h"

namespace bcnk {

// File names are bytes here; UTF-8 is what every other program on the system expects.
std::FILE* OpenFileForWriting(const Text& path) {
    return std::fopen(WideToUtf8(path).c_str(), "wb");
}

}  // namespace bcnk
