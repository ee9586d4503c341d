#include "common/file_system.h"

namespace bcnk {

std::FILE* OpenFileForWriting(const Text& path) {
    return _wfopen(reinterpret_cast<const wchar_t*>(path.c_str()), L"wb");
}

}  // namespace bcnk
