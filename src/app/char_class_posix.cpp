#include <clocale>
#include <cwctype>

#include "app/forms.h"

namespace bcnk {

bool IsLetterOrDigitUnit(char16_t unit) {
    // The process locale is "C", which knows only ASCII; the UTF-8 locale is asked instead.
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    if (utf8 == static_cast<locale_t>(0)) {
        return std::iswalnum(static_cast<wint_t>(unit)) != 0;
    }
    return iswalnum_l(static_cast<wint_t>(unit), utf8) != 0;
}

}  // namespace bcnk
