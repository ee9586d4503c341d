#include "common/file_system.h"

#include <algorithm>
#include <array>

namespace bcnk {

Text JoinPath(const Text& directory, const Text& name) {
    Text path = directory;
    path += kPathSeparator;
    path += name;
    return path;
}

bool IsWindowsDeviceName(const Text& name) {
    static const std::array<Text, 4> plain = {u"con", u"prn", u"aux", u"nul"};
    const Text stem = ToLower(name.substr(0, name.find(u'.')));
    if (std::find(plain.begin(), plain.end(), stem) != plain.end()) {
        return true;
    }
    if (stem.size() != 4 || (stem.compare(0, 3, u"com") != 0 && stem.compare(0, 3, u"lpt") != 0)) {
        return false;
    }
    const char16_t last = stem[3];
    return (last >= u'0' && last <= u'9') || last == u'\u00B9' || last == u'\u00B2' ||
           last == u'\u00B3';
}

}  // namespace bcnk
