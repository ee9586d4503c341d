// Letters and digits above U+00FF by glibc's Unicode tables, read through a UTF-8 locale
// object of our own: the process's global locale stays whatever the program was given.
#include <locale.h>
#include <wctype.h>
#include <initializer_list>

#include "analysis/word_chars.h"

namespace bcnk {

namespace {

locale_t Utf8Classification() {
    // Made once and kept for the life of the process; any thread may read it.
    static const locale_t locale = [] {
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
            if (const locale_t made = newlocale(LC_CTYPE_MASK, name, locale_t{})) {
                return made;
            }
        }
        return locale_t{};
    }();
    return locale;
}

}  // namespace

bool IsWordUnit(char16_t unit) {
    if (unit <= 0xFF) {
        return IsLatin1WordUnit(unit);
    }
    if (unit >= 0xD800 && unit <= 0xDFFF) {
        return false;
    }
    const locale_t locale = Utf8Classification();
    return locale != locale_t{} && iswalnum_l(static_cast<wint_t>(unit), locale) != 0;
}

}  // namespace bcnk
