#include "net/tracking_parameters.h"

#include <algorithm>
#include <iterator>

namespace bcnk {
namespace {

constexpr const char16_t* kTrackingParameters[] = {
    u"utm_", u"gclid", u"fbclid", u"msclkid", u"mc_cid", u"mc_eid", u"_ga", u"yclid",
};

bool Matches(const Text& folded, const char16_t* entry) {
    const Text name(entry);
    if (name.back() == u'_') {
        return folded.size() > name.size() && folded.starts_with(name);
    }
    return folded == name;
}

}  // namespace

std::span<const char16_t* const> TrackingParameterNames() {
    return kTrackingParameters;
}

bool IsTrackingParameter(const Text& name) {
    const Text folded = ToLower(name);
    return std::any_of(std::begin(kTrackingParameters), std::end(kTrackingParameters),
                       [&](const char16_t* entry) { return Matches(folded, entry); });
}

Text DropTrackingParameters(const Text& address) {
    // A "?" behind the "#" belongs to the fragment.
    const size_t hash = address.find(u'#');
    const size_t mark = address.substr(0, hash).find(u'?');
    if (mark == Text::npos) {
        return address;
    }
    const Text query = address.substr(mark + 1, hash == Text::npos ? Text::npos : hash - mark - 1);
    Text kept;
    bool dropped = false;
    size_t start = 0;
    while (start <= query.size()) {
        size_t end = query.find(u'&', start);
        if (end == Text::npos) {
            end = query.size();
        }
        const Text pair = query.substr(start, end - start);
        if (IsTrackingParameter(pair.substr(0, pair.find(u'=')))) {
            dropped = true;
        } else if (!pair.empty()) {
            if (!kept.empty()) {
                kept += u'&';
            }
            kept += pair;
        }
        start = end + 1;
    }
    if (!dropped) {
        return address;
    }
    Text out = address.substr(0, mark);
    if (!kept.empty()) {
        out += u'?';
        out += kept;
    }
    if (hash != Text::npos) {
        out += address.substr(hash);
    }
    return out;
}

}  // namespace bcnk
