// Http::Get against a fast loopback server: 1,000 small pages per iteration over one
// kept-alive session. bench/http-fetch.sh starts the server, runs this beside one curl
// process fetching the same list, and prints both rates.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "net/http.h"

namespace {

constexpr int kPages = 1000;

void HttpGetSmallPages(benchmark::State& state) {
    const char* base = std::getenv("BCNK_BENCH_BASE_URL");
    if (base == nullptr || !bcnk::Http::Init()) {
        state.SkipWithError("set BCNK_BENCH_BASE_URL to a loopback server (bench/http-fetch.sh)");
        return;
    }
    std::vector<bcnk::Text> addresses;
    for (int page = 0; page < kPages; ++page) {
        addresses.push_back(bcnk::AsciiToText(std::string(base) + "/p/" + std::to_string(page) +
                                              ".html"));
    }
    const bcnk::Text agent = u"BeaconsmithBench/1.0";
    size_t bytes = 0;
    for (auto _ : state) {
        for (const bcnk::Text& address : addresses) {
            const bcnk::FetchResult result = bcnk::Http::Get(address, agent);
            if (result.status != 200) {
                state.SkipWithError("a page did not answer 200");
                return;
            }
            bytes += result.body.size();
        }
    }
    state.SetItemsProcessed(state.iterations() * kPages);
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(HttpGetSmallPages)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
