// Time of each package file text on a scan of realistic size (2,000 pages, the largest
// limited crawl, and 100,000 pages, a crawl without limit).
#include <benchmark/benchmark.h>

#include "package/ai_discovery.h"
#include "package/knowledge_graph.h"
#include "package/llms_lite.h"
#include "package/robots.h"
#include "package/sitemap.h"
#include "shop_scan.h"

namespace bcnk {
namespace {

template <Text (*Generate)(const ScanResult&, const PackageForm&)>
void BM_Generator(benchmark::State& state) {
    const ScanResult scan = bench::LargeScan(static_cast<size_t>(state.range(0)));
    const PackageForm form = bench::ShopForm();
    for (auto _ : state) {
        benchmark::DoNotOptimize(Generate(scan, form));
    }
}

template <bool kAiVariant>
void BM_Sitemap(benchmark::State& state) {
    const ScanResult scan = bench::LargeScan(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(MakeSitemap(scan, kAiVariant));
    }
}

BENCHMARK(BM_Generator<MakeAiDiscoveryJson>)->Arg(2000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Generator<MakeAiDiscoveryMd>)->Arg(2000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Generator<MakeRobotsTxt>)->Arg(2000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Generator<MakeLlmsLite>)->Arg(2000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Generator<MakeKnowledgeGraph>)->Arg(2000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Generator<MakeTdmRep>)->Arg(2000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sitemap<false>)->Arg(2000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sitemap<true>)->Arg(2000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bcnk

BENCHMARK_MAIN();
