#pragma once
// The HTML report: one self-contained page about a scan (and the package made from it) that
// an owner can hand to someone else. A pure function like the package generators; the front
// ends write its text with WriteFileSafely.
#include "common/text.h"
#include "package/package.h"
#include "scan/scan_types.h"

namespace bcnk {

// The package made from the scan, when one was generated.
struct ReportPackage {
    PackageForm form;
    PackageOutcome outcome;
};

// The whole file. package may be null. madeAt is when the report is written, as people read
// it (ReportTimeStamp()); the scan's own time is scan.scanTime. Every text from the site or
// the form is escaped; only http(s) addresses become links; nothing loads from elsewhere.
Text MakeHtmlReport(const ScanResult& scan, const ScanOptions& options,
                    const ReportPackage* package, const Text& madeAt);

// "<site folder>-report.html", the name both front ends suggest.
Text ReportFileName(const Text& host);

// The local time as "YYYY-MM-DD HH:MM".
Text ReportTimeStamp();

// Text for HTML text and quoted attribute values: & < > " ' become references, and code
// points HTML forbids (controls other than white space, noncharacters, lone surrogates)
// become U+FFFD.
Text HtmlEscape(const Text& text);

// True for an address that may be a link: it begins with http:// or https:// (any case).
bool IsWebAddress(const Text& address);

}  // namespace bcnk
