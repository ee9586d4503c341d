#include "package/template_text.h"

namespace bcnk {

Text ProductHeading(const PageRecord& page) {
    if (!page.productName.empty()) {
        return page.productName;
    }
    if (!page.h1.empty()) {
        return page.h1;
    }
    return page.title;
}

Text AboutText(const ScanResult& scan, const PackageForm& form) {
    return form.description.empty() ? scan.siteDescription : form.description;
}

Text JsonString(const Text& value) {
    // Built by appending: g++ 12 at -O3 misreads the operator+ chain as overlapping copies.
    Text quoted;
    const Text escaped = JsonEscape(value);
    quoted.reserve(escaped.size() + 2);
    quoted += u'"';
    quoted += escaped;
    quoted += u'"';
    return quoted;
}

Text JsonBool(bool value) {
    return value ? u"true" : u"false";
}

std::size_t CountPagesOfClass(const ScanResult& scan, PageClass pageClass) {
    std::size_t count = 0;
    for (const PageRecord& page : scan.pages) {
        if (page.pageClass == pageClass) {
            ++count;
        }
    }
    return count;
}

}  // namespace bcnk
