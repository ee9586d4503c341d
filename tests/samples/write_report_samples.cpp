// Writes HTML reports of hostile scans, so that the HTML checker and a headless browser can
// read them (tests/steps/35-report.sh). Usage: write_report_samples DIR [PAGES]
//
// DIR/hostile-records.html: every field of the scan, the options and the package holds
// markup meant to run or restyle the page. DIR/large.html: PAGES (2,000) shop pages, to sort.
#include <cstdio>
#include <cstdlib>

#include "../../bench/shop_scan.h"
#include "common/safe_file.h"
#include "report/html_report.h"
#include "samples/hostile_report_scan.h"

namespace {

bool Write(const bcnk::Text& path, const bcnk::Text& html) {
    const bcnk::Text error = bcnk::WriteFileSafely(path, bcnk::WideToUtf8(html));
    if (!error.empty()) {
        std::fprintf(stderr, "cannot write %s: %s\n", bcnk::WideToUtf8(path).c_str(),
                     bcnk::WideToUtf8(error).c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace bcnk;
    const long pages = argc == 3 ? std::strtol(argv[2], nullptr, 10) : 2000;
    if (argc < 2 || argc > 3 || pages < 1) {
        std::fprintf(stderr, "usage: write_report_samples DIR [PAGES]\n");
        return 2;
    }
    const Text dir = Utf8ToWide(argv[1]);
    const ReportPackage package = samples::HostileReportPackage();
    bool ok = Write(dir + u"/hostile-records.html",
                    MakeHtmlReport(samples::HostileReportScan(), samples::HostileReportOptions(),
                                   &package, samples::HostileText(4)));
    ok = Write(dir + u"/large.html", MakeHtmlReport(bench::LargeScan(static_cast<size_t>(pages)),
                                                    ScanOptions(), nullptr, u"2026-12-08 01:00")) &&
         ok;
    return ok ? 0 : 1;
}
