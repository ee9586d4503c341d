#include "app/forms.h"

#include <array>

#include "common/form_text.h"
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
    options.startUrl = FormFieldText(form.address);
    options.maxDepth = (form.depthIndex >= 0 && form.depthIndex <= 4) ? form.depthIndex + 1 : 3;
    options.delayMs = PickOrDefault(kDelays, form.delayIndex, 500);
    // Several requests at once only when the user chose no pause; a chosen pause means one.
    options.connections = options.delayMs == 0 ? 4 : 1;
    options.maxPages = PickOrDefault(kPageLimits, form.pageLimitIndex, 500);
    options.userAgent = userAgent;
    return options;
}

Text UserAgentFromField(const Text& typed) {
    const Text trimmed = Trim(typed);
    return trimmed.empty() ? DefaultUserAgent() : trimmed;
}

int RenderPagesFromField(const Text& typed) {
    const Text trimmed = Trim(typed);
    if (trimmed.empty() || trimmed.size() > 7) {
        return kDefaultRenderPages;
    }
    int pages = 0;
    for (const char16_t unit : trimmed) {
        if (unit < u'0' || unit > u'9') {
            return kDefaultRenderPages;
        }
        pages = pages * 10 + (unit - u'0');
    }
    return pages > kRenderAllPages ? kDefaultRenderPages : pages;
}

}  // namespace bcnk
