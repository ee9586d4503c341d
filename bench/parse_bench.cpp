// Page analysis over a corpus of real HTML that nobody here wrote: the HTML manuals a Debian
// package ships (python3.11-doc by default; BCNK_BENCH_CORPUS names another folder). Every
// page is read from disk once, then parsed page by page. The gumbo benchmark extracts the
// same facts (title, first h1, h1 and h2 texts, anchor hrefs, meta description) from a full
// HTML5 tree, which is what one would otherwise reach for.
//
//   build/parse_bench --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/classify.h"
#include "analysis/html_parser.h"
#include "analysis/topics.h"

#if defined(BCNK_BENCH_GUMBO)
#include <gumbo.h>
#endif

namespace {

struct Corpus {
    std::vector<std::string> pages;
    std::vector<std::string> names;
    size_t bytes = 0;
};

const Corpus& LoadCorpus() {
    static const Corpus corpus = [] {
        Corpus loaded;
        const char* configured = std::getenv("BCNK_BENCH_CORPUS");
        const std::filesystem::path root =
            configured ? configured : "/usr/share/doc/python3.11/html";
        std::error_code error;
        std::vector<std::filesystem::path> files;
        for (auto it = std::filesystem::recursive_directory_iterator(root, error);
             !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
            if (it->is_regular_file() && it->path().extension() == ".html") {
                files.push_back(it->path());
            }
        }
        std::sort(files.begin(), files.end());
        for (const auto& file : files) {
            std::ifstream in(file, std::ios::binary);
            std::ostringstream content;
            content << in.rdbuf();
            loaded.pages.push_back(content.str());
            loaded.names.push_back(std::filesystem::relative(file, root).generic_string());
            loaded.bytes += loaded.pages.back().size();
        }
        return loaded;
    }();
    return corpus;
}

bool HaveCorpus(benchmark::State& state) {
    if (LoadCorpus().pages.empty()) {
        state.SkipWithError("no HTML corpus (install python3.11-doc or set BCNK_BENCH_CORPUS)");
        return false;
    }
    return true;
}

// Feeds every page of the corpus to `parse`, counting the corpus's bytes per pass.
template <typename Parse>
void ParseCorpus(benchmark::State& state, Parse parse) {
    if (!HaveCorpus(state))
        return;
    const Corpus& corpus = LoadCorpus();
    for (auto _ : state) {
        for (const std::string& page : corpus.pages) {
            benchmark::DoNotOptimize(parse(page));
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpus.bytes));
    state.counters["pages"] = static_cast<double>(corpus.pages.size());
}

void BM_ParseHtmlPage(benchmark::State& state) {
    ParseCorpus(state, [](const std::string& page) { return bcnk::ParseHtmlPage(page); });
}
BENCHMARK(BM_ParseHtmlPage)->Unit(benchmark::kMillisecond);

// As the crawl calls it: the encoding is read from the header and the page before parsing.
// A UTF-8 page should cost what BM_ParseHtmlPage costs; a legacy one adds the converter.
void BM_ParseHtmlPageDeclared(benchmark::State& state, const bcnk::Text& contentType) {
    ParseCorpus(state,
                [&](const std::string& page) { return bcnk::ParseHtmlPage(page, contentType); });
}
BENCHMARK_CAPTURE(BM_ParseHtmlPageDeclared, utf8, u"text/html; charset=utf-8")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ParseHtmlPageDeclared, windows1252, u"text/html; charset=windows-1252")
    ->Unit(benchmark::kMillisecond);

#if defined(BCNK_BENCH_GUMBO)

struct GumboFacts {
    std::string title;
    std::string h1;
    std::string description;
    std::vector<std::string> headings;
    std::vector<std::string> links;
};

void AppendText(const GumboNode* node, std::string& text) {
    if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE ||
        node->type == GUMBO_NODE_CDATA) {
        text += node->v.text.text;
        return;
    }
    if (node->type != GUMBO_NODE_ELEMENT)
        return;
    const GumboVector& children = node->v.element.children;
    for (unsigned k = 0; k < children.length; ++k) {
        AppendText(static_cast<const GumboNode*>(children.data[k]), text);
    }
}

void Collect(const GumboNode* node, GumboFacts& facts, std::vector<std::string>& h2s) {
    if (node->type != GUMBO_NODE_ELEMENT)
        return;
    const GumboElement& element = node->v.element;
    switch (element.tag) {
        case GUMBO_TAG_TITLE:
            if (facts.title.empty())
                AppendText(node, facts.title);
            break;
        case GUMBO_TAG_H1: {
            std::string text;
            AppendText(node, text);
            if (facts.h1.empty())
                facts.h1 = text;
            facts.headings.push_back(std::move(text));
            break;
        }
        case GUMBO_TAG_H2: {
            std::string text;
            AppendText(node, text);
            h2s.push_back(std::move(text));
            break;
        }
        case GUMBO_TAG_A:
            if (const GumboAttribute* href = gumbo_get_attribute(&element.attributes, "href")) {
                facts.links.emplace_back(href->value);
            }
            break;
        case GUMBO_TAG_META:
            if (facts.description.empty()) {
                const GumboAttribute* name = gumbo_get_attribute(&element.attributes, "name");
                const GumboAttribute* content = gumbo_get_attribute(&element.attributes, "content");
                if (name && content && std::string(name->value) == "description") {
                    facts.description = content->value;
                }
            }
            break;
        default:
            break;
    }
    for (unsigned k = 0; k < element.children.length; ++k) {
        Collect(static_cast<const GumboNode*>(element.children.data[k]), facts, h2s);
    }
}

GumboFacts GumboParse(const std::string& page) {
    GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, page.data(), page.size());
    GumboFacts facts;
    std::vector<std::string> h2s;
    Collect(output->root, facts, h2s);
    facts.headings.insert(facts.headings.end(), h2s.begin(), h2s.end());
    gumbo_destroy_output(&kGumboDefaultOptions, output);
    return facts;
}

void BM_GumboFacts(benchmark::State& state) {
    ParseCorpus(state, GumboParse);
}
BENCHMARK(BM_GumboFacts)->Unit(benchmark::kMillisecond);

#endif

// The corpus parsed once, as pages of a site, for the steps that follow parsing.
const std::vector<bcnk::PageRecord>& CorpusRecords() {
    static const std::vector<bcnk::PageRecord> records = [] {
        std::vector<bcnk::PageRecord> made;
        const Corpus& corpus = LoadCorpus();
        for (size_t k = 0; k < corpus.pages.size(); ++k) {
            const bcnk::ParsedPage parsed = bcnk::ParseHtmlPage(corpus.pages[k]);
            bcnk::PageRecord record;
            record.url = u"https://docs.example.org/" + bcnk::Utf8ToWide(corpus.names[k]);
            record.title = parsed.title;
            record.h1 = parsed.h1;
            record.headings = parsed.headings;
            record.schemaTypes = parsed.schemaTypes;
            record.wordCount = parsed.wordCount;
            made.push_back(std::move(record));
        }
        return made;
    }();
    return records;
}

// 100,000 real headings, cycled from the corpus, ten to a page.
void BM_ExtractTopics100k(benchmark::State& state) {
    if (!HaveCorpus(state))
        return;
    std::vector<bcnk::Text> headings;
    for (const bcnk::PageRecord& record : CorpusRecords()) {
        headings.insert(headings.end(), record.headings.begin(), record.headings.end());
    }
    constexpr size_t kHeadings = 100000;
    std::vector<bcnk::PageRecord> pages(kHeadings / 10);
    for (size_t k = 0; k < kHeadings; ++k) {
        pages[k / 10].headings.push_back(headings[k % headings.size()]);
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(bcnk::ExtractTopics(pages, 8));
    }
    state.counters["distinct_headings"] = static_cast<double>(headings.size());
}
BENCHMARK(BM_ExtractTopics100k)->Unit(benchmark::kMillisecond);

void BM_ClassifyPage(benchmark::State& state) {
    if (!HaveCorpus(state))
        return;
    const std::vector<bcnk::PageRecord>& records = CorpusRecords();
    const bcnk::Text start = u"https://docs.example.org/index.html";
    for (auto _ : state) {
        for (const bcnk::PageRecord& record : records) {
            benchmark::DoNotOptimize(bcnk::ClassifyPage(record, start));
        }
    }
    // Time per page, not per pass over the corpus.
    state.counters["per_page"] =
        benchmark::Counter(static_cast<double>(state.iterations() * records.size()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ClassifyPage)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
