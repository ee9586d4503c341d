// Package generation on large scans: the ten texts in memory, then the files and the
// archive on disk. Peak memory is read from outside, e.g.
//   /usr/bin/time -v build/package_bench --benchmark_filter='BuildAndWrite/100000'
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "package/package.h"
#include "shop_scan.h"

namespace bcnk {
namespace {

namespace fs = std::filesystem;
using bench::LargeScan;
using bench::ShopForm;

// A line of /proc/self/status in mebibytes ("VmRSS", "VmHWM"), so that the memory the scan
// itself takes can be told apart from what generation adds on top of it.
double StatusMebibytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key + ":", 0) == 0) {
            return std::stod(line.substr(key.size() + 1)) / 1024.0;
        }
    }
    return 0;
}

void BuildOnly(benchmark::State& state) {
    const ScanResult scan = LargeScan(static_cast<size_t>(state.range(0)));
    const PackageForm form = ShopForm();
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildPackageFiles(scan, form));
    }
}

void BuildAndWrite(benchmark::State& state) {
    const ScanResult scan = LargeScan(static_cast<size_t>(state.range(0)));
    const PackageForm form = ShopForm();
    const double scanResident = StatusMebibytes("VmRSS");
    const fs::path module = fs::temp_directory_path() / "bcnk-package-bench";
    fs::create_directories(module);
    size_t bytes = 0;
    for (auto _ : state) {
        const PackageOutcome outcome =
            WritePackage(module.u16string(), scan, BuildPackageFiles(scan, form));
        if (!outcome.ok) {
            state.SkipWithError("package could not be written");
            break;
        }
        bytes = fs::file_size(fs::path(outcome.zipPath));
    }
    state.counters["archive_bytes"] = static_cast<double>(bytes);
    state.counters["rss_with_scan_MiB"] = scanResident;
    state.counters["peak_rss_MiB"] = StatusMebibytes("VmHWM");
    fs::remove_all(module);
}

BENCHMARK(BuildOnly)->Arg(2000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BuildAndWrite)->Arg(2000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bcnk

BENCHMARK_MAIN();
