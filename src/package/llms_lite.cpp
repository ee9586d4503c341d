#include "package/llms_lite.h"

#include "package/template_text.h"

namespace bcnk {
namespace {

// A product link needs a real name; a page known only by its title is left out.
bool HasProductName(const PageRecord& page) {
    return page.pageClass == PageClass::Product && !(page.productName.empty() && page.h1.empty());
}

void AppendProductSection(const ScanResult& scan, Text& out) {
    bool headingWritten = false;
    for (const PageRecord& page : scan.pages) {
        if (!HasProductName(page)) {
            continue;
        }
        if (!headingWritten) {
            out += u"## Products\n";
            headingWritten = true;
        }
        out += u"- [" + ProductHeading(page) + u"](" + page.url + u")";
        if (!page.description.empty()) {
            out += u": " + page.description;
        }
        out += u"\n";
    }
    if (headingWritten) {
        out += u"\n";
    }
}

}  // namespace

Text MakeLlmsLite(const ScanResult& scan, const PackageForm& form) {
    const Text about = AboutText(scan, form);
    Text out;
    out += u"# " + form.name + u"\n";
    out += u"\n";
    out += u"> " + about + u"\n";
    out += u"\n";
    out +=
        u"[REVIEW] The summary below is auto-generated from the crawl. Edit before publishing.\n";
    out += u"\n";
    out += u"## About\n";
    out += about + u"\n";
    out += u"\n";
    AppendProductSection(scan, out);
    if (!scan.topics.empty()) {
        out += u"## Topics\n";
        for (const Text& topic : scan.topics) {
            out += u"- " + topic + u"\n";
        }
    }
    return out;
}

}  // namespace bcnk
