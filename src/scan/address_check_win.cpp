#include <windows.h>

#include "scan/address_check.h"

namespace bcnk {

bool IsAddressLetterOrDigit(char16_t unit) {
    WORD type = 0;
    const wchar_t wide = static_cast<wchar_t>(unit);
    if (!GetStringTypeW(CT_CTYPE1, &wide, 1, &type)) {
        return false;
    }
    return (type & (C1_ALPHA | C1_DIGIT)) != 0;
}

}  // namespace bcnk
