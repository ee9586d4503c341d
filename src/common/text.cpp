#include "common/text.h"

#include <algorithm>
#include <cstdio>

#include "common/local_time.h"

namespace bcnk {

Text ToLower(const Text& text) {
    Text result = text;
    for (char16_t& unit : result) {
        if (unit >= u'A' && unit <= u'Z') {
            unit = static_cast<char16_t>(unit + (u'a' - u'A'));
        }
    }
    return result;
}

Text Trim(const Text& text) {
    size_t first = 0;
    while (first < text.size() && IsWhiteSpaceUnit(text[first])) {
        ++first;
    }
    if (first == text.size()) {
        return Text();
    }
    size_t last = text.size() - 1;
    while (last > first && IsWhiteSpaceUnit(text[last])) {
        --last;
    }
    return text.substr(first, last - first + 1);
}

bool ContainsNoCase(const Text& haystack, const Text& needle) {
    if (needle.empty()) {
        return true;
    }
    const Text foldedHaystack = ToLower(haystack);
    const Text foldedNeedle = ToLower(needle);
    if (foldedHaystack.size() < foldedNeedle.size()) {
        return false;
    }
    return foldedHaystack.find(foldedNeedle) != Text::npos;
}

bool ContainsNoCaseBytes(std::string_view haystack, std::string_view needle) {
    const auto sameFolded = [](char a, char b) { return AsciiLower(a) == AsciiLower(b); };
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(),
                       sameFolded) != haystack.end();
}

Text XmlEscape(const Text& text) {
    Text result;
    result.reserve(text.size());
    for (char16_t unit : text) {
        switch (unit) {
            case u'"': result += u"&quot;"; break;
            case u'\'': result += u"&apos;"; break;
            case u'&': result += u"&amp;"; break;
            case u'<': result += u"&lt;"; break;
            case u'>': result += u"&gt;"; break;
            default: result += unit; break;
        }
    }
    return result;
}

Text JsonEscape(const Text& text) {
    static const char16_t kHexDigits[] = u"0123456789abcdef";
    Text result;
    result.reserve(text.size() + 8);
    for (char16_t unit : text) {
        switch (unit) {
            case u'\t': result += u"\\t"; break;
            case u'\n': result += u"\\n"; break;
            case u'\r': result += u"\\r"; break;
            case u'"': result += u"\\\""; break;
            case u'\\': result += u"\\\\"; break;
            default:
                if (unit < 0x20) {
                    result += u"\\u00";
                    result += kHexDigits[unit >> 4];
                    result += kHexDigits[unit & 0xF];
                } else {
                    result += unit;
                }
                break;
        }
    }
    return result;
}

Text TodayDate() {
    const LocalTime now = NowLocal();
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", now.year, now.month, now.day);
    return AsciiToText(buffer);
}

Text AsciiToText(const std::string& ascii) {
    return Text(ascii.begin(), ascii.end());
}

Text NumberText(long long value) {
    return AsciiToText(std::to_string(value));
}

Text JoinTexts(const std::vector<Text>& parts, const Text& separator) {
    Text joined;
    for (size_t index = 0; index < parts.size(); ++index) {
        if (index > 0) {
            joined += separator;
        }
        joined += parts[index];
    }
    return joined;
}

}  // namespace bcnk
