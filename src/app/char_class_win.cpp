#include <cwctype>

#include "app/forms.h"

namespace bcnk {

bool IsLetterOrDigitUnit(char16_t unit) {
    // wchar_t is UTF-16 here, and the runtime classifies the whole Basic Multilingual Plane.
    return std::iswalnum(static_cast<wint_t>(unit)) != 0;
}

}  // namespace bcnk
