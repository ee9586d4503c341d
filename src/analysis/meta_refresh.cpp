#include "analysis/meta_refresh.h"

namespace bcnk {

namespace {

bool IsDigit(char16_t unit) {
    return unit >= u'0' && unit <= u'9';
}

bool IsSeparator(char16_t unit) {
    return unit == u';' || unit == u',' || IsWhiteSpaceUnit(unit);
}

}  // namespace

// Read as browsers read it: the delay's digits (a fraction is ignored), then ";" or "," and
// white space, then an optional "url=", then the address, quoted or not. Only a refresh
// without delay is a move; one that waits shows its page first, which is then a page.
Text ImmediateRefreshTarget(const Text& content) {
    size_t index = 0;
    while (index < content.size() && IsWhiteSpaceUnit(content[index])) {
        ++index;
    }
    const size_t digits = index;
    while (index < content.size() && IsDigit(content[index])) {
        if (content[index] != u'0') {
            return Text();
        }
        ++index;
    }
    while (index < content.size() && (IsDigit(content[index]) || content[index] == u'.')) {
        ++index;
    }
    if (index == digits || index == content.size() || !IsSeparator(content[index])) {
        return Text();
    }
    while (index < content.size() && IsSeparator(content[index])) {
        ++index;
    }
    Text rest = content.substr(index);
    if (ToLower(rest.substr(0, 3)) == u"url") {
        size_t after = 3;
        while (after < rest.size() && IsWhiteSpaceUnit(rest[after])) {
            ++after;
        }
        if (after < rest.size() && rest[after] == u'=') {
            rest = Trim(rest.substr(after + 1));
        }
    }
    if (!rest.empty() && (rest[0] == u'"' || rest[0] == u'\'')) {
        const size_t close = rest.find(rest[0], 1);
        rest = rest.substr(1, close == Text::npos ? Text::npos : close - 1);
    }
    return Trim(rest);
}

}  // namespace bcnk
