// The page list is virtual so that a large scan shows at once: what remains per result is
// sorting the pages on a column click, and formatting the cells the list asks for.
#include <benchmark/benchmark.h>

#include <vector>

#include "app/result_views.h"

namespace {

std::vector<bcnk::PageRecord> MakePages(int count) {
    std::vector<bcnk::PageRecord> pages(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        bcnk::PageRecord& page = pages[static_cast<size_t>(i)];
        // A scrambled order, so no column arrives sorted.
        const int key = (i * 7919) % count;
        page.url = u"https://example.com/section-" + bcnk::NumberText(key % 97) + u"/page-" +
                   bcnk::NumberText(key);
        page.title = u"Title " + bcnk::NumberText((key * 31) % count);
        page.wordCount = (key * 131) % 5000;
        page.pageClass = static_cast<bcnk::PageClass>(key % 7);
        if (key % 3 == 0) {
            page.schemaTypes = {u"Organization", u"WebSite"};
        }
    }
    return pages;
}

void BM_SortPagesByColumn(benchmark::State& state) {
    const int column = static_cast<int>(state.range(1));
    const std::vector<bcnk::PageRecord> original = MakePages(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<bcnk::PageRecord> pages = original;
        bcnk::PageSortState sort;
        state.ResumeTiming();
        bcnk::SortPagesByColumn(pages, column, sort);
        benchmark::DoNotOptimize(pages.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SortPagesByColumn)
    ->ArgsProduct({{1000, 20000}, {0, 2, 3, 4}})
    ->ArgNames({"pages", "column"})
    ->Unit(benchmark::kMillisecond);

// One screenful of rows, all five columns: what a scroll costs.
void BM_VisibleCells(benchmark::State& state) {
    const std::vector<bcnk::PageRecord> pages = MakePages(20000);
    size_t first = 0;
    for (auto _ : state) {
        for (size_t row = first; row < first + 40; ++row) {
            for (int column = 0; column < bcnk::kPageColumnCount; ++column) {
                benchmark::DoNotOptimize(bcnk::PageCellText(pages[row % pages.size()], column));
            }
        }
        first = (first + 40) % pages.size();
    }
}
BENCHMARK(BM_VisibleCells)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
