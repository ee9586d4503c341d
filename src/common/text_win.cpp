// UTF-8 conversion and white-space classification through the Windows converters.
#include <windows.h>

#include <climits>

#include "common/text.h"

namespace bcnk {

Text Utf8ToWide(const std::string& bytes) {
    // The converter counts in int; a larger input would be misread as "up to the first zero",
    // so it is treated like any other failed conversion.
    if (bytes.empty() || bytes.size() > INT_MAX) {
        return Text();
    }
    const int byteCount = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), byteCount, nullptr, 0);
    if (length <= 0) {
        return Text();
    }
    Text result(static_cast<size_t>(length), u'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), byteCount,
                        reinterpret_cast<wchar_t*>(result.data()), length);
    return result;
}

std::string WideToUtf8(const Text& text) {
    if (text.empty() || text.size() > INT_MAX) {
        return std::string();
    }
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int unitCount = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide, unitCount, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return std::string();
    }
    std::string result(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, unitCount, result.data(), length, nullptr, nullptr);
    return result;
}

bool IsWhiteSpaceUnit(char16_t unit) {
    if (unit <= 0xFF) {
        return (unit >= 0x09 && unit <= 0x0D) || unit == 0x20 || unit == 0x85 || unit == 0xA0;
    }
    WORD type = 0;
    const wchar_t wide = static_cast<wchar_t>(unit);
    if (!GetStringTypeW(CT_CTYPE1, &wide, 1, &type)) {
        return false;
    }
    return (type & C1_SPACE) != 0;
}

}  // namespace bcnk
