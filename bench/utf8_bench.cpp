// Decoding speed of fetched pages. Every crawled body goes through Utf8ToWide, and most of
// the web is markup in ASCII with a sprinkling of other characters, so the page here is a
// mostly-ASCII HTML page of 1 MiB; a page in Cyrillic shows the slow path for comparison.
#include <benchmark/benchmark.h>

#include <string>

#include "common/text.h"

namespace {

constexpr size_t kPageSize = 1 << 20;

std::string RepeatToPageSize(const std::string& piece) {
    std::string page = "<!DOCTYPE html>\n<html lang=\"de\"><head><meta charset=\"utf-8\">"
                       "<title>Caf\xC3\xA9 M\xC3\xBCller</title></head><body>\n";
    while (page.size() < kPageSize) {
        page += piece;
    }
    page.resize(kPageSize);
    // Never end inside a multi-byte sequence: trim back to a character boundary.
    while (!page.empty() && (static_cast<unsigned char>(page.back()) & 0xC0) == 0x80) {
        page.pop_back();
    }
    if (!page.empty() && static_cast<unsigned char>(page.back()) >= 0xC0) {
        page.pop_back();
    }
    return page;
}

// About one byte in seventy outside ASCII: accents, a euro sign, the odd emoji.
const std::string& MostlyAsciiPage() {
    static const std::string page = RepeatToPageSize(
        "<div class=\"product-card\"><a href=\"/produkte/kaffeem\xC3\xBChle-classic\">"
        "<h2>Kaffeem\xC3\xBChle Classic</h2></a>\n<p class=\"price\">49,90 \xE2\x82\xAC</p>"
        "<p>Handgefertigt aus Buchenholz, mit Keramikmahlwerk und stufenloser Einstellung "
        "f\xC3\xBCr Espresso bis French Press. Versandfertig in 2-3 Werktagen.</p>"
        "<ul><li><a href=\"/kontakt\">Kontakt</a></li><li><a href=\"/impressum\">Impressum"
        "</a></li><li><a href=\"/datenschutz\">Datenschutz</a></li></ul>"
        "<script type=\"application/ld+json\">{\"@type\":\"Product\",\"name\":\"Classic\"}"
        "</script></div>\n<!-- \xF0\x9F\x98\x80 -->\n");
    return page;
}

const std::string& CyrillicPage() {
    static const std::string page = RepeatToPageSize(
        "<p>\xD0\x9A\xD0\xBE\xD1\x84\xD0\xB5\xD0\xBC\xD0\xBE\xD0\xBB\xD0\xBA\xD0\xB0 "
        "\xD0\xB8\xD0\xB7 \xD0\xB1\xD1\x83\xD0\xBA\xD0\xB0 \xD1\x81 "
        "\xD0\xBA\xD0\xB5\xD1\x80\xD0\xB0\xD0\xBC\xD0\xB8\xD0\xBA\xD0\xBE\xD0\xB9</p>\n");
    return page;
}

void DecodePage(benchmark::State& state, const std::string& page) {
    for (auto _ : state) {
        bcnk::Text text = bcnk::Utf8ToWide(page);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

void EncodePage(benchmark::State& state, const std::string& page) {
    const bcnk::Text text = bcnk::Utf8ToWide(page);
    for (auto _ : state) {
        std::string bytes = bcnk::WideToUtf8(text);
        benchmark::DoNotOptimize(bytes.data());
    }
    // Counted in UTF-8 bytes produced, so both directions read on the same scale.
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

void BM_Utf8ToWide_MostlyAsciiHtml(benchmark::State& state) {
    DecodePage(state, MostlyAsciiPage());
}
void BM_Utf8ToWide_CyrillicHtml(benchmark::State& state) { DecodePage(state, CyrillicPage()); }
void BM_WideToUtf8_MostlyAsciiHtml(benchmark::State& state) {
    EncodePage(state, MostlyAsciiPage());
}
void BM_WideToUtf8_CyrillicHtml(benchmark::State& state) { EncodePage(state, CyrillicPage()); }

BENCHMARK(BM_Utf8ToWide_MostlyAsciiHtml);
BENCHMARK(BM_Utf8ToWide_CyrillicHtml);
BENCHMARK(BM_WideToUtf8_MostlyAsciiHtml);
BENCHMARK(BM_WideToUtf8_CyrillicHtml);

}  // namespace

BENCHMARK_MAIN();
