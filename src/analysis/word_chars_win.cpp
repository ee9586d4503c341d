// Letters and digits above U+00FF by the system's character classification.
#include <windows.h>

#include "analysis/word_chars.h"

namespace bcnk {

bool IsWordUnit(char16_t unit) {
    if (unit <= 0xFF) {
        return IsLatin1WordUnit(unit);
    }
    if (unit >= 0xD800 && unit <= 0xDFFF) {
        return false;
    }
    WORD type = 0;
    const wchar_t wide = static_cast<wchar_t>(unit);
    if (!GetStringTypeW(CT_CTYPE1, &wide, 1, &type)) {
        return false;
    }
    return (type & (C1_ALPHA | C1_DIGIT)) != 0;
}

}  // namespace bcnk
