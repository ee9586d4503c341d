#include <windows.h>

#include <vector>

#include "common/settings.h"

namespace bcnk {

Text ModuleDirectory() {
    // MAX_PATH covers nearly every installation; a longer path is read again with more
    // room instead of being cut, because a cut path would point at an ancestor folder and the
    // program would write its files there.
    std::vector<wchar_t> buffer(MAX_PATH);
    DWORD length = 0;
    for (;;) {
        length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size() || buffer.size() >= 32768) {
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    return DirectoryOf(Text(reinterpret_cast<const char16_t*>(buffer.data()), length));
}

}  // namespace bcnk
