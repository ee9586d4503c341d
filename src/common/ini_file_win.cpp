#include <windows.h>

#include "common/ini_file.h"

namespace bcnk {

namespace {

const wchar_t* Wide(const Text& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

}  // namespace

int ReadIniInteger(const Text& path, const Text& section, const Text& key, int fallback) {
    return static_cast<int>(GetPrivateProfileIntW(Wide(section), Wide(key), fallback, Wide(path)));
}

Text ReadIniText(const Text& path, const Text& section, const Text& key, const Text& fallback) {
    wchar_t buffer[kIniValueLimit + 1] = {};
    const DWORD length = GetPrivateProfileStringW(Wide(section), Wide(key), Wide(fallback), buffer,
                                                  kIniValueLimit + 1, Wide(path));
    return Text(reinterpret_cast<const char16_t*>(buffer), length);
}

bool WriteIniText(const Text& path, const Text& section, const Text& key, const Text& value) {
    return WritePrivateProfileStringW(Wide(section), Wide(key), Wide(value), Wide(path)) != 0;
}

}  // namespace bcnk
