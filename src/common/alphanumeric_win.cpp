#include <cwctype>

#include "common/alphanumeric.h"

namespace bcnk {

bool IsAlphanumericUnit(char16_t unit) {
    return std::iswalnum(static_cast<wint_t>(unit)) != 0;
}

}  // namespace bcnk
