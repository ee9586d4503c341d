// How well the page classes fit the page types people gave real pages: the development split
// of WCXB ("WCXB: A Multi-Type Web Content Extraction Benchmark", M. Foley, 2026, CC-BY-4.0),
// read in place from BCNK_WCXB_DIR (default /work/shared/data/wcxb-dev), never copied here.
// Each page of the types that map onto one of our classes is parsed and classified as the
// crawl would (its own address, the site's root as the start address): article -> Article,
// documentation -> Guide, product -> Product, collection and listing -> Index. The counters
// give the share that matches, overall ("match_pct") and per type.
//
//   build/class_bench --benchmark_filter=ClassFit
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/classify.h"
#include "analysis/html_parser.h"
#include "analysis/main_content.h"
#include "analysis/page_record.h"
#include "net/url.h"

namespace {

struct Sample {
    std::string id;
    std::string type;
    std::string url;
    std::string html;
};

std::string ReadGzip(const std::filesystem::path& path) {
    std::string bytes;
    gzFile file = gzopen(path.string().c_str(), "rb");
    if (file == nullptr) {
        return bytes;
    }
    char buffer[1 << 16];
    int read = 0;
    while ((read = gzread(file, buffer, sizeof buffer)) > 0) {
        bytes.append(buffer, static_cast<size_t>(read));
    }
    gzclose(file);
    return bytes;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// The expected class of a page type; empty for the types no class stands for.
bcnk::PageClass ExpectedClass(const std::string& type, bool& mapped) {
    mapped = true;
    if (type == "article") return bcnk::PageClass::Article;
    if (type == "documentation") return bcnk::PageClass::Guide;
    if (type == "product") return bcnk::PageClass::Product;
    mapped = type == "collection" || type == "listing";
    return bcnk::PageClass::Index;
}

const std::vector<Sample>& LoadSamples() {
    static const std::vector<Sample> samples = [] {
        std::vector<Sample> loaded;
        const char* configured = std::getenv("BCNK_WCXB_DIR");
        const std::filesystem::path root = configured ? configured : "/work/shared/data/wcxb-dev";
        // The files' own JSON is flat enough for two patterns; no JSON library is needed.
        // metadata.json gives each page's type, its ground truth the page's address.
        const std::string metadata = ReadFile(root / "metadata.json");
        const std::regex typeField("\"([0-9]+)\"\\s*:\\s*\\{[^}]*?\"page_type\"\\s*:\\s*\"([a-z]+)\"");
        const std::regex urlField("\"url\"\\s*:\\s*\"([^\"]+)\"");
        for (auto it = std::sregex_iterator(metadata.begin(), metadata.end(), typeField);
             it != std::sregex_iterator(); ++it) {
            const std::string id = (*it)[1];
            const std::string type = (*it)[2];
            bool mapped = false;
            ExpectedClass(type, mapped);
            const std::string truth = ReadFile(root / "ground-truth" / (id + ".json"));
            std::smatch url;
            if (!mapped || !std::regex_search(truth, url, urlField)) {
                continue;
            }
            loaded.push_back({id, type, url[1], ReadGzip(root / "html" / (id + ".html.gz"))});
        }
        return loaded;
    }();
    return samples;
}

void BM_ClassFit(benchmark::State& state) {
    const std::vector<Sample>& samples = LoadSamples();
    if (samples.empty()) {
        state.SkipWithError("no WCXB pages (set BCNK_WCXB_DIR to the wcxb-dev folder)");
        return;
    }
    std::map<std::string, std::pair<int, int>> byType;  // matched, all
    std::map<std::string, int> confusion;
    int matched = 0;
    // BCNK_CLASS_MISSES=1 names each page whose class does not fit.
    const bool misses = std::getenv("BCNK_CLASS_MISSES") != nullptr;
    for (auto _ : state) {
        byType.clear();
        confusion.clear();
        matched = 0;
        for (const Sample& sample : samples) {
            const bcnk::Text url = bcnk::Utf8ToWide(sample.url);
            bcnk::PageRecord record = bcnk::PageRecordOf(url, bcnk::ParseHtmlPage(sample.html));
            // As the crawl fills it.
            record.mainWordCount = static_cast<int>(
                bcnk::ContentWordCount(bcnk::ExtractMainContent(sample.html, sample.url)));
            bool mapped = false;
            const bcnk::PageClass given = bcnk::ClassifyPage(record, bcnk::OriginOf(url) + u"/");
            const bool fits = given == ExpectedClass(sample.type, mapped);
            if (!fits && misses) {
                std::fprintf(stderr, "miss %s %s as %s %s\n", sample.id.c_str(),
                             sample.type.c_str(), bcnk::WideToUtf8(bcnk::PageClassName(given)).c_str(),
                             sample.url.c_str());
            }
            ++confusion[sample.type + " as " + bcnk::WideToUtf8(bcnk::PageClassName(given))];
            matched += fits ? 1 : 0;
            byType[sample.type].first += fits ? 1 : 0;
            ++byType[sample.type].second;
        }
    }
    state.counters["pages"] = static_cast<double>(samples.size());
    state.counters["match_pct"] = 100.0 * matched / static_cast<double>(samples.size());
    // BCNK_CLASS_CONFUSION=1 also prints which class each type's pages got.
    if (std::getenv("BCNK_CLASS_CONFUSION") != nullptr) {
        for (const auto& [pair, count] : confusion) {
            std::fprintf(stderr, "%-30s %d\n", pair.c_str(), count);
        }
    }
    for (const auto& [type, counts] : byType) {
        state.counters[type + "_pct"] = 100.0 * counts.first / static_cast<double>(counts.second);
    }
}
BENCHMARK(BM_ClassFit)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
