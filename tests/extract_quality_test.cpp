// A floor under the main-content extraction's quality: word F1 on 100 fixed pages of the
// extraction benchmark's development split ("WCXB: A Multi-Type Web Content Extraction
// Benchmark, M. Foley, 2026, CC-BY-4.0"), kept outside the checkout in ../shared/data. The
// full benchmark is bench/extract/run; this only stops a change from losing quality quietly.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/main_content.h"
#include "analysis/word_chars.h"
#include "common/text.h"

namespace bcnk {
namespace {

// The figure this gate landed with, less 0.01.
constexpr double kFloor = 0.863;

const std::filesystem::path kData =
    std::filesystem::path(BCNK_SOURCE_DIR) / ".." / "shared" / "data" / "wcxb-dev";

std::string ReadGzip(const std::filesystem::path& path) {
    gzFile file = gzopen(path.string().c_str(), "rb");
    if (file == nullptr) {
        return {};
    }
    std::string bytes;
    char buffer[1 << 16];
    int read;
    while ((read = gzread(file, buffer, sizeof buffer)) > 0) {
        bytes.append(buffer, static_cast<size_t>(read));
    }
    gzclose(file);
    return bytes;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The value of a top-level-looking JSON string key; enough for the ground-truth files,
// whose "main_content" and "url" are plain JSON strings.
std::string JsonString(const std::string& json, const std::string& key) {
    const size_t at = json.find("\"" + key + "\"");
    if (at == std::string::npos) {
        return {};
    }
    size_t open = json.find(':', at + key.size() + 2) + 1;
    while (open < json.size() && (json[open] == ' ' || json[open] == '\n')) {
        ++open;
    }
    std::string value;
    if (open >= json.size() || json[open] != '"') {
        return value;  // null
    }
    for (size_t k = open + 1; k < json.size() && json[k] != '"'; ++k) {
        if (json[k] != '\\') {
            value += json[k];
            continue;
        }
        const char escaped = json[++k];
        if (escaped == 'u') {
            const char32_t unit = static_cast<char32_t>(std::stoul(json.substr(k + 1, 4), nullptr, 16));
            value += WideToUtf8(Text(1, static_cast<char16_t>(unit)));
            k += 4;
        } else {
            value += (escaped == 'n' || escaped == 't' || escaped == 'r') ? ' ' : escaped;
        }
    }
    return value;
}

// Lower-case runs of word characters, as the benchmark splits text.
std::map<Text, int> Words(const std::string& text, int& count) {
    std::map<Text, int> words;
    count = 0;
    Text word;
    const Text wide = ToLower(Utf8ToWide(text)) + u" ";
    for (const char16_t unit : wide) {
        if (IsWordUnit(unit) || unit == u'_') {
            word += unit;
        } else if (!word.empty()) {
            ++words[word];
            ++count;
            word.clear();
        }
    }
    return words;
}

double PageF1(const std::string& predicted, const std::string& reference) {
    int predictedCount = 0, referenceCount = 0;
    const auto p = Words(predicted, predictedCount);
    const auto r = Words(reference, referenceCount);
    if (predictedCount == 0 && referenceCount == 0) {
        return 1;
    }
    int shared = 0;
    for (const auto& [word, times] : p) {
        const auto other = r.find(word);
        shared += other == r.end() ? 0 : std::min(times, other->second);
    }
    if (shared == 0) {
        return 0;
    }
    const double precision = static_cast<double>(shared) / predictedCount;
    const double recall = static_cast<double>(shared) / referenceCount;
    return 2 * precision * recall / (precision + recall);
}

TEST(ExtractionQuality, HundredDevelopmentPagesStayAboveTheFloor) {
    ASSERT_TRUE(std::filesystem::is_directory(kData / "ground-truth"))
        << "the extraction benchmark's data is missing: " << kData.string();
    std::vector<std::string> ids;
    for (const auto& entry : std::filesystem::directory_iterator(kData / "ground-truth")) {
        ids.push_back(entry.path().stem().string());
    }
    std::sort(ids.begin(), ids.end());
    ASSERT_GE(ids.size(), 1500u - 3);
    double sum = 0;
    int pages = 0;
    for (size_t k = 0; k < ids.size() && pages < 100; k += 15, ++pages) {
        const std::string truth = ReadFile(kData / "ground-truth" / (ids[k] + ".json"));
        const std::string html = ReadGzip(kData / "html" / (ids[k] + ".html.gz"));
        ASSERT_FALSE(html.empty()) << ids[k];
        const MainContent content = ExtractMainContent(html, JsonString(truth, "url"));
        sum += PageF1(ContentText(content), JsonString(truth, "main_content"));
    }
    ASSERT_EQ(pages, 100);
    const double f1 = sum / pages;
    std::cout << "extraction word F1 on 100 development pages: " << f1 << "\n";
    EXPECT_GE(f1, kFloor);
}

}  // namespace
}  // namespace bcnk
