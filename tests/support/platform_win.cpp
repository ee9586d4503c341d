#include <windows.h>

#include "support/platform.h"

namespace bcnk::test {

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

TempFolderOverride::TempFolderOverride(const std::string& folder) {
    char previous[MAX_PATH + 1];
    const DWORD length = GetEnvironmentVariableA("TMP", previous, sizeof previous);
    hadPrevious_ = length > 0 && length < sizeof previous;
    if (hadPrevious_) {
        previous_.assign(previous, length);
    }
    SetEnvironmentVariableA("TMP", folder.c_str());
}

TempFolderOverride::~TempFolderOverride() {
    SetEnvironmentVariableA("TMP", hadPrevious_ ? previous_.c_str() : nullptr);
}

}  // namespace bcnk::test
