#include "package/left_out_notes.h"

#include "scan/indexability.h"

namespace bcnk {
namespace {

// "noindex", "canonical is <address>", "duplicate of <address>", ... joined by commas.
Text Detail(const PageRecord& page, const std::vector<Exclusion>& reasons) {
    Text detail;
    for (const Exclusion reason : reasons) {
        if (!detail.empty()) {
            detail += u", ";
        }
        if (reason == Exclusion::CanonicalElsewhere) {
            detail += u"canonical is " + page.canonical;
        } else if (reason == Exclusion::Duplicate) {
            detail += u"duplicate of " + page.duplicateOf;
        } else if (reason == Exclusion::StatusNot200) {
            detail += u"status " + NumberText(page.httpStatus);
        } else {
            detail += ExclusionName(reason);
        }
    }
    return detail;
}

}  // namespace

bool EveryPageLeftOut(const ScanResult& scan) {
    for (const PageRecord& page : scan.pages) {
        if (MayList(page, ListAudience::Ai)) {
            return false;
        }
    }
    return !scan.pages.empty();
}

Text LeftOutNotes(const ScanResult& scan) {
    Text lines;
    int listed = 0;
    int more = 0;
    for (const PageRecord& page : scan.pages) {
        const std::vector<Exclusion> reasons = PageExclusions(page);
        if (reasons.empty()) {
            continue;
        }
        if (listed == kMaxLeftOutLines) {
            ++more;
            continue;
        }
        ++listed;
        lines += u"  " + page.url + u"  (" + Detail(page, reasons) + u")\n";
    }
    if (listed == 0) {
        return Text();
    }
    Text out;
    if (EveryPageLeftOut(scan)) {
        out += u"- EVERY PAGE the scan found is left out of the AI files, and the\n";
        out += u"  sitemaps list only the pages search engines may index (maybe none).\n";
        out += u"  Check the pages' robots metas, X-Robots-Tag headers and canonical\n";
        out += u"  links before uploading the lists.\n";
    }
    out += u"- Left out of the lists (the owner's own marks, canonical addresses\n";
    out += u"  and copies; \"marked against AI\" pages stay in sitemap.xml):\n";
    out += lines;
    if (more > 0) {
        out += u"  ... and " + NumberText(more) + u" more.\n";
    }
    return out;
}

Text EveryPageLeftOutLine() {
    return u"\n[REVIEW] Every page the scan found is left out (noindex, canonical elsewhere, "
           u"duplicate or marked against AI); README.txt lists them.\n";
}

Text EveryPageLeftOutSitemap() {
    return u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           u"<!-- Every page the scan found is left out (noindex, canonical elsewhere, "
           u"duplicate or marked against AI); README.txt lists them. Do not upload this file as it is. -->\n"
           u"<urlset xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">\n"
           u"</urlset>\n";
}

}  // namespace bcnk
