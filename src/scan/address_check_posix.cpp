#include <clocale>
#include <cwctype>

#include "scan/address_check.h"

namespace bcnk {

bool IsAddressLetterOrDigit(char16_t unit) {
    // The process runs in the "C" locale, which classifies only ASCII; asking the built-in
    // UTF-8 locale gives accented letters the same answer Windows gives.
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    if (utf8 == static_cast<locale_t>(0)) {
        return std::iswalnum(static_cast<wint_t>(unit)) != 0;
    }
    return iswalnum_l(static_cast<wint_t>(unit), utf8) != 0;
}

}  // namespace bcnk
