#include "app/forms.h"

#include <array>

#include "common/settings.h"

namespace bcnk {
namespace {

constexpr std::array<int, 5> kDelays = {0, 250, 500, 1000, 2000};
constexpr std::array<int, 6> kPageLimits = {100, 250, 500, 1000, 2000, kNoPageLimit};

template <size_t N>
int PickOrDefault(const std::array<int, N>& values, int index, int fallback) {
    if (index < 0 || static_cast<size_t>(index) >= N) {
        return fallback;
    }
    return values[static_cast<size_t>(index)];
}

}  // namespace

ScanOptions MakeScanOptions(const ScanFormValues& form, const Text& userAgent) {
    ScanOptions options;
    options.startUrl = Trim(form.address);
    options.maxDepth = (form.depthIndex >= 0 && form.depthIndex <= 4) ? form.depthIndex + 1 : 3;
    options.delayMs = PickOrDefault(kDelays, form.delayIndex, 500);
    options.maxPages = PickOrDefault(kPageLimits, form.pageLimitIndex, 500);
    options.userAgent = userAgent;
    return options;
}

PackageForm MakePackageForm(const PackageForm& typed) {
    PackageForm form = typed;
    for (Text* text : {&form.name, &form.description, &form.email, &form.founded}) {
        *text = Trim(*text);
    }
    return form;
}

Text UserAgentFromField(const Text& typed) {
    const Text trimmed = Trim(typed);
    return trimmed.empty() ? DefaultUserAgent() : trimmed;
}

bool LooksLikeWebAddress(const Text& address) {
    Text rest = address;
    const size_t scheme = rest.find(u"://");
    if (rest.size() >= 3 && scheme != Text::npos) {
        rest = rest.substr(scheme + 3);
    }
    Text host = rest.substr(0, rest.find_first_of(u"/?#"));
    host = host.substr(0, host.find(u':'));
    if (host.empty() || host.find(u'.') == Text::npos) {
        return false;
    }
    for (char16_t unit : host) {
        if (unit != u'-' && unit != u'.' && !IsLetterOrDigitUnit(unit)) {
            return false;
        }
    }
    return true;
}

}  // namespace bcnk
