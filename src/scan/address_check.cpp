#include "scan/address_check.h"

#include "analysis/word_chars.h"

namespace bcnk {

bool PassesAddressCheck(const Text& address) {
    Text rest = address;
    if (rest.size() >= 3) {
        const size_t scheme = rest.find(u"://");
        if (scheme != Text::npos) {
            rest = rest.substr(scheme + 3);
        }
    }
    Text host = rest.substr(0, rest.find_first_of(u"/?#"));
    host = host.substr(0, host.find(u':'));
    if (host.empty() || host.find(u'.') == Text::npos) {
        return false;
    }
    // Letters and digits as headings count them, which is the platform's own
    // classification, so accented host names pass.
    for (char16_t unit : host) {
        if (unit != u'-' && unit != u'.' && !IsWordUnit(unit)) {
            return false;
        }
    }
    return true;
}

Text StartAddressProblem(const Text& address) {
    if (address.empty()) {
        return kEnterAddressMessage;
    }
    if (!PassesAddressCheck(address)) {
        return kInvalidAddressMessage;
    }
    return Text();
}

}  // namespace bcnk
