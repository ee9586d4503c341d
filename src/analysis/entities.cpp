#include "analysis/entities.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>

#include "analysis/entity_table.h"
#include "analysis/html_parser.h"
#include "common/text.h"

namespace bcnk {

namespace {

// A numeric reference ends at a ";" no more than this many units behind its "&".
constexpr size_t kMaxReferenceSpan = 10;

bool IsAsciiAlnum(char16_t unit) {
    return (unit >= u'0' && unit <= u'9') || (unit >= u'a' && unit <= u'z') ||
           (unit >= u'A' && unit <= u'Z');
}

// Byte order of the ASCII names, which the generated table is sorted by.
int CompareName(TextView text, std::string_view name) {
    const size_t common = std::min(text.size(), name.size());
    for (size_t i = 0; i < common; ++i) {
        const auto a = static_cast<unsigned>(text[i]);
        const auto b = static_cast<unsigned char>(name[i]);
        if (a != b) {
            return a < b ? -1 : 1;
        }
    }
    return text.size() == name.size() ? 0 : (text.size() < name.size() ? -1 : 1);
}

// Where the names of each first letter begin in the sorted table, so that a lookup searches
// a few dozen names instead of all of them: text is full of references in some languages.
struct FirstLetterIndex {
    std::array<std::uint16_t, 129> start{};
    FirstLetterIndex() {
        std::size_t entry = 0;
        for (std::size_t letter = 0; letter < start.size(); ++letter) {
            while (entry < kNamedEntityCount &&
                   static_cast<unsigned char>(kNamedEntities[entry].name[0]) < letter) {
                ++entry;
            }
            start[letter] = static_cast<std::uint16_t>(entry);
        }
    }
};

const NamedEntity* FindEntity(TextView name) {
    static const FirstLetterIndex index;
    if (name.empty() || name[0] >= 128) {
        return nullptr;
    }
    const NamedEntity* begin = kNamedEntities + index.start[name[0]];
    const NamedEntity* end = kNamedEntities + index.start[name[0] + 1u];
    const NamedEntity* found = std::lower_bound(
        begin, end, name,
        [](const NamedEntity& entity, TextView key) { return CompareName(key, entity.name) > 0; });
    return found != end && CompareName(name, found->name) == 0 ? found : nullptr;
}

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

// Names are matched with their letter case, as HTML does (&Eacute; is not &eacute;). A
// name without its ";" is read only for the legacy names HTML allows so, and, as in an
// attribute, not before "=" (href="?a=1&copy=2" keeps its parameter).
size_t DecodeNamed(TextView text, size_t ampersand, DecodedReference& decoded) {
    const size_t first = ampersand + 1;
    const size_t limit = std::min(text.size(), first + kLongestEntityName - 1);
    size_t end = first;
    while (end < limit && IsAsciiAlnum(text[end])) {
        ++end;
    }
    if (end == first) {
        return 0;
    }
    const NamedEntity* entity = nullptr;
    size_t behind = end;
    if (end < text.size() && text[end] == u';') {
        entity = FindEntity(text.substr(first, end + 1 - first));
        behind = end + 1;
    }
    if (entity == nullptr && end - first <= kLongestLegacyName &&
        (end == text.size() || text[end] != u'=')) {
        entity = FindEntity(text.substr(first, end - first));
        behind = end;
    }
    if (entity == nullptr) {
        return 0;
    }
    // &nbsp; has always come out as a plain space, which titles and descriptions trim and
    // collapse like any other; the numeric form keeps U+00A0.
    decoded = {entity->first == 0xA0 ? char32_t{u' '} : entity->first, entity->second};
    return behind;
}

size_t DecodeNumericReference(TextView text, size_t ampersand, DecodedReference& decoded) {
    const size_t limit = std::min(text.size(), ampersand + kMaxReferenceSpan + 1);
    size_t semicolon = ampersand + 1;
    while (semicolon < limit && text[semicolon] != u';') {
        ++semicolon;
    }
    if (semicolon >= limit) {
        return 0;
    }
    const TextView body = text.substr(ampersand + 1, semicolon - ampersand - 1);
    char32_t character = 0;
    if (!DecodeNumeric(body, character)) {
        return 0;
    }
    decoded = {character, 0};
    return semicolon + 1;
}

}  // namespace

size_t DecodeReference(TextView text, size_t ampersand, DecodedReference& decoded) {
    if (ampersand + 1 < text.size() && text[ampersand + 1] == u'#') {
        return DecodeNumericReference(text, ampersand, decoded);
    }
    return DecodeNamed(text, ampersand, decoded);
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
        DecodedReference decoded;
        const size_t next = DecodeReference(text, ampersand, decoded);
        if (next == 0) {
            result += u'&';
            index = ampersand + 1;
        } else {
            VisitReference(decoded, [&](char16_t unit) { result += unit; });
            index = next;
        }
    }
    return result;
}

}  // namespace bcnk
