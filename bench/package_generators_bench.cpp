// Time of each package file text on a scan of realistic size (2,000 pages, the largest
// limited crawl, and 100,000 pages, a crawl without limit).
#include <benchmark/benchmark.h>

#include "package/ai_discovery.h"
#include "package/knowledge_graph.h"
#include "package/llms_lite.h"
#include "package/robots.h"
#include "package/sitemap.h"

namespace bcnk {
namespace {

ScanResult RealisticScan(int pageCount) {
    static const PageClass kClasses[] = {PageClass::Product, PageClass::Article, PageClass::Guide,
                                         PageClass::Utility, PageClass::Legal,   PageClass::Index};
    ScanResult scan;
    scan.host = u"www.example-shop.com";
    scan.baseUrl = u"https://www.example-shop.com";
    scan.language = u"en";
    scan.siteDescription = u"Hand-made garden tools, spare parts and growing guides since 1999.";
    scan.personName = u"Ada Gardener";
    scan.topics = {u"garden tools", u"lawn care", u"raised beds", u"composting"};
    scan.robotsFound = true;
    scan.robotsStatus = 200;
    scan.robotsTxt =
        u"User-agent: *\nDisallow: /cart\nDisallow: /account\n\nUser-agent: GPTBot\n"
        u"Disallow: /\n\nSitemap: https://www.example-shop.com/sitemap.xml\n";
    for (int i = 0; i < pageCount; ++i) {
        const Text number = NumberText(i);
        PageRecord page;
        page.url = scan.baseUrl + u"/catalogue/section-" + NumberText(i % 40) + u"/item-" + number;
        page.title = u"Stainless steel border spade No. " + number + u" | Example Shop";
        page.description =
            u"A light, strong spade with an ash handle and a lifetime guarantee. "
            u"Free delivery on orders over 50 pounds (item " +
            number + u").";
        page.h1 = u"Border spade " + number;
        page.headings = {page.h1, u"Technical details", u"Delivery and returns", u"Reviews"};
        page.lastModified = u"Tue, 15 Nov 2025 08:12:31 GMT";
        page.productName = i % 3 == 0 ? u"Border Spade Pro " + number : Text();
        page.wordCount = 400 + i % 900;
        page.httpStatus = 200;
        page.depth = 1 + i % 4;
        page.pageClass = kClasses[i % 6];
        scan.pages.push_back(page);
    }
    return scan;
}

PackageForm Form() {
    PackageForm form;
    form.name = u"Example Shop Ltd";
    form.description = u"Garden tools made to last.";
    form.email = u"hello@example-shop.com";
    form.industry = u"E-commerce";
    form.founded = u"1999";
    form.addRobotsRules = true;
    return form;
}

template <Text (*Generate)(const ScanResult&, const PackageForm&)>
void BM_Generator(benchmark::State& state) {
    const ScanResult scan = RealisticScan(static_cast<int>(state.range(0)));
    const PackageForm form = Form();
    for (auto _ : state) {
        benchmark::DoNotOptimize(Generate(scan, form));
    }
}

template <bool kAiVariant>
void BM_Sitemap(benchmark::State& state) {
    const ScanResult scan = RealisticScan(static_cast<int>(state.range(0)));
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
