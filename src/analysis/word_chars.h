#pragma once
// Which UTF-16 units make up words in headings. Up to U+00FF the answer is fixed here, so
// both platforms split headings alike; above it each platform's own Unicode classification
// of letters and digits decides. A surrogate half is never a word unit, on either platform.

namespace bcnk {

bool IsWordUnit(char16_t unit);

// ASCII letters and digits; the Latin-1 letters U+00C0..U+00FF except U+00D7 and U+00F7;
// U+00AA, U+00B2, U+00B3, U+00B5, U+00B9 and U+00BA.
constexpr bool IsLatin1WordUnit(char16_t unit) {
    if ((unit >= u'0' && unit <= u'9') || (unit >= u'a' && unit <= u'z') ||
        (unit >= u'A' && unit <= u'Z')) {
        return true;
    }
    if (unit >= 0xC0 && unit <= 0xFF) {
        return unit != 0xD7 && unit != 0xF7;
    }
    return unit == 0xAA || unit == 0xB2 || unit == 0xB3 || unit == 0xB5 || unit == 0xB9 ||
           unit == 0xBA;
}

}  // namespace bcnk
