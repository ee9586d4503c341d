#include <locale.h>
#include <wctype.h>

#include "common/alphanumeric.h"

namespace bcnk {

bool IsAlphanumericUnit(char16_t unit) {
    // The "C" locale classifies only ASCII here, while the Windows runtime knows every
    // script; a UTF-8 locale of our own gives the same answers without touching the
    // process-wide locale. Made once and kept for the life of the process.
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    if (unit >= 0xD800 && unit <= 0xDFFF) {
        return false;
    }
    if (utf8 == locale_t{}) {
        return iswalnum(unit) != 0;
    }
    return iswalnum_l(unit, utf8) != 0;
}

}  // namespace bcnk
