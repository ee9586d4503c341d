#include "scan/address_check.h"

#include "analysis/word_chars.h"
#include "net/http.h"

namespace bcnk {

namespace {

struct AddressPieces {
    Text scheme;     // as written, without "://"; empty when none was given
    Text authority;  // between the scheme and the first "/", "?" or "#"
    size_t authorityStart = 0;
};

AddressPieces SplitAddress(const Text& address) {
    AddressPieces pieces;
    const size_t schemeEnd = address.find(u"://");
    // A "://" after the path has begun belongs to the path or the query, as ParseUrl reads it.
    if (schemeEnd != Text::npos && address.find_first_of(u"/?#") >= schemeEnd) {
        pieces.scheme = address.substr(0, schemeEnd);
        pieces.authorityStart = schemeEnd + 3;
    }
    const size_t end = address.find_first_of(u"/?#", pieces.authorityStart);
    pieces.authority = address.substr(pieces.authorityStart,
                                      end == Text::npos ? Text::npos : end - pieces.authorityStart);
    return pieces;
}

bool IsDigits(const Text& text) {
    for (char16_t unit : text) {
        if (unit < u'0' || unit > u'9') {
            return false;
        }
    }
    return !text.empty();
}

bool IsIpv6Literal(const Text& inside) {
    if (inside.find(u':') == Text::npos) {
        return false;
    }
    for (char16_t unit : inside) {
        const bool hex = (unit >= u'0' && unit <= u'9') || (unit >= u'a' && unit <= u'f') ||
                         (unit >= u'A' && unit <= u'F');
        if (!hex && unit != u':' && unit != u'.') {
            return false;
        }
    }
    return true;
}

bool IsHostName(const Text& host) {
    if (ToLower(host) == u"localhost") {
        return true;
    }
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

}  // namespace

AddressVerdict CheckStartAddress(const Text& address) {
    if (address.empty()) {
        return AddressVerdict::Empty;
    }
    const AddressPieces pieces = SplitAddress(address);
    if (pieces.authorityStart > 0) {
        const Text scheme = ToLower(pieces.scheme);
        if (scheme.empty()) {
            return AddressVerdict::Invalid;
        }
        if (scheme != u"http" && scheme != u"https") {
            return AddressVerdict::UnsupportedScheme;
        }
    }
    Text hostAndPort = pieces.authority.substr(pieces.authority.rfind(u'@') + 1);
    Text port;
    bool hostOk = false;
    if (!hostAndPort.empty() && hostAndPort[0] == u'[') {
        const size_t close = hostAndPort.find(u']');
        if (close == Text::npos) {
            return AddressVerdict::Invalid;
        }
        hostOk = IsIpv6Literal(hostAndPort.substr(1, close - 1));
        const Text after = hostAndPort.substr(close + 1);
        if (!after.empty() && after[0] != u':') {
            return AddressVerdict::Invalid;
        }
        port = after.empty() ? Text() : after.substr(1);
    } else {
        const size_t colon = hostAndPort.find(u':');
        hostOk = IsHostName(hostAndPort.substr(0, colon));
        port = colon == Text::npos ? Text() : hostAndPort.substr(colon + 1);
    }
    if (!hostOk) {
        return AddressVerdict::Invalid;
    }
    if (!port.empty()) {
        if (!IsDigits(port)) {
            return AddressVerdict::Invalid;
        }
        int number = 0;
        for (char16_t unit : port.substr(0, 6)) {
            number = number * 10 + (unit - u'0');
        }
        if (number < 1 || number > 65535) {
            return AddressVerdict::BadPort;
        }
    }
    return AddressVerdict::Ok;
}

bool PassesAddressCheck(const Text& address) {
    return CheckStartAddress(address) == AddressVerdict::Ok;
}

Text StartAddressProblem(const Text& address) {
    switch (CheckStartAddress(address)) {
        case AddressVerdict::Ok:
            return Text();
        case AddressVerdict::Empty:
            return kEnterAddressMessage;
        case AddressVerdict::Invalid:
            return kInvalidAddressMessage;
        case AddressVerdict::UnsupportedScheme:
            return kSchemeMessage;
        case AddressVerdict::BadPort:
            return kPortMessage;
    }
    return kInvalidAddressMessage;
}

Text WithoutUserInfo(const Text& address) {
    const AddressPieces pieces = SplitAddress(address);
    const size_t at = pieces.authority.rfind(u'@');
    if (at == Text::npos) {
        return address;
    }
    return address.substr(0, pieces.authorityStart) +
           address.substr(pieces.authorityStart + at + 1);
}

bool HasScheme(const Text& address) {
    return SplitAddress(address).authorityStart > 0;
}

Text ChooseScheme(const Text& address, const Text& userAgent, Text* bothFailed) {
    if (HasScheme(address)) {
        return address;
    }
    const Text secure = u"https://" + address;
    const FetchResult secureAnswer = Http::Get(secure, userAgent);
    if (secureAnswer.status != 0) {
        return secure;
    }
    const Text plain = u"http://" + address;
    const FetchResult plainAnswer = Http::Get(plain, userAgent);
    if (plainAnswer.status != 0) {
        return plain;
    }
    if (bothFailed != nullptr) {
        *bothFailed = u"https: " + secureAnswer.reason;
        *bothFailed += u"; http: ";
        *bothFailed += plainAnswer.reason;
    }
    return secure;
}

Text UnreachableMessage(const Text& address, const Text& reason) {
    Text message = u"Could not reach ";
    message += address;
    message += u": ";
    message += reason.empty() ? Text(u"no answer") : reason;
    return message;
}

}  // namespace bcnk
