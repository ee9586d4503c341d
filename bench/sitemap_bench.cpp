// A sitemap index of 10 files of 50,000 addresses each (the protocol's most per file), read
// the way a scan reads it: fetched from the loopback fixture server (gzip off), parsed as it
// arrives, the site's addresses kept up to the cap of a 500-page scan. "peak_rss_kib" is the
// process's peak resident memory after the runs; "parse_only" runs the parser on one file
// already in memory, without the server's (Python's) pace.
//
//   (fixture server running, BCNK_FIXTURE_* exported as tools/test does)
//   build/sitemap_bench --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <atomic>
#include <cstdlib>
#include <string>

#include "net/http.h"
#include "scan/sitemap_parser.h"
#include "scan/sitemap_reader.h"

namespace {

double PeakRssKib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss);
}

void ReadIndexOverHttp(benchmark::State& state) {
    const char* port = std::getenv("BCNK_FIXTURE_SITE_ATLAS_PORT");
    if (port == nullptr || !bcnk::Http::Init()) {
        state.SkipWithError("fixture server not running (BCNK_FIXTURE_SITE_ATLAS_PORT unset)");
        return;
    }
    const bcnk::Text origin = bcnk::AsciiToText(std::string("http://127.0.0.1:") + port);
    const std::atomic<bool> cancel{false};
    std::size_t listed = 0;
    for (auto _ : state) {
        const bcnk::SitemapReading reading =
            bcnk::ReadSitemaps(origin, {origin + u"/bench/index.xml"}, u"SitemapBench/1.0",
                               bcnk::SitemapLimitsFor(500), cancel);
        listed = 0;
        for (const bcnk::SitemapFileSummary& file : reading.files) {
            listed += static_cast<std::size_t>(file.entries);
        }
        benchmark::DoNotOptimize(reading.entries.data());
    }
    state.counters["addresses"] = static_cast<double>(listed);
    state.counters["peak_rss_kib"] = PeakRssKib();
}
BENCHMARK(ReadIndexOverHttp)->Unit(benchmark::kMillisecond)->Iterations(1);

std::string FiftyThousandEntries() {
    std::string file = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<urlset xmlns="
                       "\"http://www.sitemaps.org/schemas/sitemap/0.9\">\n";
    for (int i = 0; i < 50000; ++i) {
        file += "<url><loc>https://www.example.com/catalog/item-" + std::to_string(i) +
                ".html</loc><lastmod>2026-11-30</lastmod></url>\n";
    }
    return file + "</urlset>\n";
}

void ParseOnly(benchmark::State& state) {
    const std::string file = FiftyThousandEntries();
    std::size_t entries = 0;
    for (auto _ : state) {
        entries = 0;
        bcnk::SitemapParser parser([&](const bcnk::SitemapEntry&) { ++entries; });
        for (std::size_t at = 0; at < file.size(); at += 16384) {
            parser.Feed(std::string_view(file).substr(at, 16384));
        }
        parser.Finish();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
    state.counters["addresses"] = static_cast<double>(entries);
}
BENCHMARK(ParseOnly)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
