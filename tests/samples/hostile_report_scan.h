#pragma once
// A scan whose every text is markup meant to run or restyle a report page, shared by the
// report's unit tests and tests/samples/write_report_samples.cpp (whose reports the HTML
// checker and a headless browser read). Every payload sets window.__pwned or hides the
// page, so a browser shows at once whether any of it got through.
#include <vector>

#include "package/package.h"
#include "report/html_report.h"
#include "scan/scan_types.h"

namespace bcnk::samples {

inline const std::vector<Text> kHostileTexts = {
    u"<script>window.__pwned=1</script>",
    u"\"onmouseover=\"window.__pwned=2\" x=\"",
    u"'onfocus='window.__pwned=3' autofocus x='",
    u"</style><style>body{display:none}</style>",
    u"</script><script>window.__pwned=4</script>",
    u"<!--<script>window.__pwned=5</script>",
    u"<img src=x onerror=\"window.__pwned=6\">",
    u"<svg onload=\"window.__pwned=7\"></svg>",
    u"<iframe srcdoc=\"<script>parent.__pwned=8</script>\"></iframe>",
    u"]]><b data-hostile>bold</b>&amp;&lt;\x01\x7F\uFFFE\xD800 \U0001F600 \u2028",
};

inline const std::vector<Text> kHostileAddresses = {
    u"javascript:window.__pwned=11",
    u"JaVaScRiPt:window.__pwned=12",
    u" javascript:window.__pwned=13",
    u"java\tscript:window.__pwned=14",
    u"data:text/html,<script>window.__pwned=15</script>",
    u"vbscript:window.__pwned=16",
    u"https://evil.example/\"onmouseover=\"window.__pwned=17\"",
    u"http://evil.example/</script><script>window.__pwned=18</script>",
};

inline Text HostileText(size_t index) {
    return kHostileTexts[index % kHostileTexts.size()];
}

inline ScanResult HostileReportScan() {
    ScanResult scan;
    scan.host = u"hostile.example";
    scan.baseUrl = u"http://hostile.example";
    scan.requestedUrl = HostileText(0);
    scan.finalUrl = kHostileAddresses[0];
    scan.scanTime = HostileText(1);
    scan.score = 44;
    scan.elapsedSeconds = 75;
    scan.pageLimitReached = true;
    scan.topics = kHostileTexts;
    for (size_t index = 0; index < kHostileTexts.size() + kHostileAddresses.size(); ++index) {
        PageRecord page;
        page.url = index < kHostileAddresses.size() ? kHostileAddresses[index]
                                                    : scan.baseUrl + u"/" + HostileText(index);
        page.title = HostileText(index);
        page.schemaTypes = {HostileText(index + 1), HostileText(index + 2)};
        page.wordCount = static_cast<int>(index * 37);
        page.httpStatus = 200;
        page.pageClass = static_cast<PageClass>(index % 7);
        scan.pages.push_back(page);
    }
    const CheckState states[] = {CheckState::Ok, CheckState::Missing, CheckState::NeedsUpdate,
                                 CheckState::Blocking};
    for (size_t index = 0; index < kHostileTexts.size(); ++index) {
        scan.checks.push_back({HostileText(index), u"/" + HostileText(index + 3), states[index % 4],
                               HostileText(index + 5), index % 2 == 0});
    }
    for (size_t index = 0; index < kHostileTexts.size(); ++index) {
        scan.crawlerAccess.push_back({HostileText(index), HostileText(index + 1),
                                      static_cast<CrawlerPurpose>(index % 3),
                                      static_cast<CrawlerAccessLevel>(index % 3),
                                      index % 4 == 0 ? Text() : HostileText(index + 2)});
    }
    for (size_t index = 0; index < kHostileAddresses.size(); ++index) {
        scan.skippedPages.push_back({kHostileAddresses[index], static_cast<int>(index),
                                     index % 2 == 0 ? 0 : 404, HostileText(index)});
    }
    return scan;
}

inline ScanOptions HostileReportOptions() {
    ScanOptions options;
    options.startUrl = HostileText(0);
    options.userAgent = HostileText(3);
    return options;
}

inline ReportPackage HostileReportPackage() {
    ReportPackage package;
    package.form.name = HostileText(0);
    package.form.allowCitation = true;
    package.outcome.ok = false;
    package.outcome.folderPath = HostileText(1);
    package.outcome.zipPath = HostileText(2);
    package.outcome.errorText = HostileText(3);
    package.outcome.filePaths = kHostileTexts;
    return package;
}

}  // namespace bcnk::samples
