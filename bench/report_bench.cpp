// Time and size of the HTML report for a limited crawl's largest scan (2,000 pages) and an
// unlimited one (100,000 pages): text building alone, and text plus UTF-8 conversion and the
// safe write, as the front ends do it. The file size is reported as the "bytes" counter.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "common/safe_file.h"
#include "report/html_report.h"
#include "shop_scan.h"

namespace bcnk {
namespace {

ReportPackage ShopPackage() {
    ReportPackage package;
    package.form = bench::ShopForm();
    package.outcome.ok = true;
    package.outcome.folderPath = u"/srv/beaconsmith/output/www.example-shop.com";
    package.outcome.filePaths = {u"/srv/out/README.txt", u"/srv/out/upload-map.txt",
                                 u"/srv/out/ai-discovery.json"};
    return package;
}

void BM_MakeHtmlReport(benchmark::State& state) {
    const ScanResult scan = bench::LargeScan(static_cast<size_t>(state.range(0)));
    const ReportPackage package = ShopPackage();
    size_t units = 0;
    for (auto _ : state) {
        const Text html = MakeHtmlReport(scan, ScanOptions(), &package, u"2026-12-08 01:00");
        units = html.size();
        benchmark::DoNotOptimize(html.data());
    }
    state.counters["units"] = static_cast<double>(units);
}

void BM_WriteHtmlReport(benchmark::State& state) {
    const ScanResult scan = bench::LargeScan(static_cast<size_t>(state.range(0)));
    const ReportPackage package = ShopPackage();
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "bcnk-report-bench.html";
    for (auto _ : state) {
        const std::string bytes =
            WideToUtf8(MakeHtmlReport(scan, ScanOptions(), &package, u"2026-12-08 01:00"));
        if (!WriteFileSafely(path.u16string(), bytes).empty()) {
            state.SkipWithError("the report could not be written");
            break;
        }
    }
    std::error_code error;
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path, error));
    std::filesystem::remove(path, error);
}

BENCHMARK(BM_MakeHtmlReport)->Arg(2000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteHtmlReport)->Arg(2000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bcnk

BENCHMARK_MAIN();
