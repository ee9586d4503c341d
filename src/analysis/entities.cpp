#include "analysis/entities.h"

#include <algorithm>
#include <climits>

#include "analysis/html_parser.h"
#include "common/text.h"

namespace bcnk {

namespace {

// A reference ends at a ";" no more than this many units behind its "&".
constexpr size_t kMaxReferenceSpan = 10;

struct NamedReference {
    TextView name;
    char16_t character;
};

constexpr NamedReference kNamedReferences[] = {
    {u"amp", u'&'},      {u"lt", u'<'},      {u"gt", u'>'},      {u"quot", u'"'},
    {u"apos", u'\''},    {u"nbsp", u' '},    {u"mdash", 0x2014}, {u"ndash", 0x2013},
    {u"hellip", 0x2026}, {u"rsquo", 0x2019}, {u"lsquo", 0x2018}, {u"rdquo", 0x201D},
    {u"ldquo", 0x201C},  {u"trade", 0x2122}, {u"copy", 0x00A9},  {u"reg", 0x00AE},
    {u"deg", 0x00B0},    {u"euro", 0x20AC},  {u"pound", 0x00A3}, {u"eacute", 0x00E9},
};

int DigitValue(char16_t unit) {
    if (unit >= u'0' && unit <= u'9')
        return unit - u'0';
    if (unit >= u'a' && unit <= u'f')
        return unit - u'a' + 10;
    if (unit >= u'A' && unit <= u'F')
        return unit - u'A' + 10;
    return 99;
}

// Reads a number the way wcstol does: leading white space, an optional sign, for base 16 an
// optional 0x prefix, then digits up to the first non-digit; overflow saturates. Returns
// false when there are no digits. References are short, but the rule stays exact for any
// length.
bool ReadLong(TextView digits, int base, long& result) {
    size_t index = 0;
    while (index < digits.size() && IsWhiteSpaceUnit(digits[index])) {
        ++index;
    }
    bool negative = false;
    if (index < digits.size() && (digits[index] == u'+' || digits[index] == u'-')) {
        negative = digits[index] == u'-';
        ++index;
    }
    if (base == 16 && index + 2 < digits.size() && digits[index] == u'0' &&
        FoldUnit(digits[index + 1]) == u'x' && DigitValue(digits[index + 2]) < 16) {
        index += 2;
    }
    const size_t first = index;
    long long value = 0;
    for (; index < digits.size(); ++index) {
        const int digit = DigitValue(digits[index]);
        if (digit >= base) {
            break;
        }
        value = value * base + digit;
        if (value > INT_MAX) {
            value = static_cast<long long>(INT_MAX) + 1;
        }
    }
    if (negative) {
        result = value > INT_MAX ? INT_MIN : -static_cast<long>(value);
    } else {
        result = value > INT_MAX ? INT_MAX : static_cast<long>(value);
    }
    return index != first;
}

bool DecodeNumeric(TextView body, char32_t& decoded) {
    const bool hex = body.size() >= 2 && FoldUnit(body[1]) == u'x';
    long value = 0;
    if (!(hex ? ReadLong(body.substr(2), 16, value) : ReadLong(body.substr(1), 10, value)) ||
        value < 0) {
        return false;
    }
    // What no text may hold (a lone surrogate, a zero, beyond Unicode) is read as browsers
    // read it: one replacement character, so the reference still ends where it ends.
    const bool replaced = value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF);
    decoded = replaced ? char32_t{0xFFFD} : static_cast<char32_t>(value);
    return true;
}

bool DecodeNamed(TextView body, char32_t& decoded) {
    for (const NamedReference& reference : kNamedReferences) {
        if (body.size() == reference.name.size() && MatchesFolded(body, 0, reference.name)) {
            decoded = reference.character;
            return true;
        }
    }
    return false;
}

}  // namespace

size_t DecodeReference(TextView text, size_t ampersand, char32_t& decoded) {
    const size_t limit = std::min(text.size(), ampersand + kMaxReferenceSpan + 1);
    size_t semicolon = ampersand + 1;
    while (semicolon < limit && text[semicolon] != u';') {
        ++semicolon;
    }
    if (semicolon >= limit) {
        return 0;
    }
    const TextView body = text.substr(ampersand + 1, semicolon - ampersand - 1);
    const bool found = (!body.empty() && body[0] == u'#') ? DecodeNumeric(body, decoded)
                                                          : DecodeNamed(body, decoded);
    return found ? semicolon + 1 : 0;
}

Text DecodeEntities(const Text& text) {
    Text result;
    result.reserve(text.size());
    size_t index = 0;
    while (index < text.size()) {
        const size_t ampersand = FindUnit(text, u'&', index);
        if (ampersand == kNotFound) {
            result.append(text, index, Text::npos);
            break;
        }
        result.append(text, index, ampersand - index);
        char32_t decoded = 0;
        const size_t next = DecodeReference(text, ampersand, decoded);
        if (next == 0) {
            result += u'&';
            index = ampersand + 1;
        } else {
            VisitUnits(decoded, [&](char16_t unit) { result += unit; });
            index = next;
        }
    }
    return result;
}

}  // namespace bcnk
