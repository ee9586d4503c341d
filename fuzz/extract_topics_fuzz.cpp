// Bytes as headings: a line feed ends a heading, a form feed starts another page.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/language.h"
#include "analysis/topics.h"
#include "analysis/word_chars.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const bcnk::Text text =
        bcnk::Utf8ToWide(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<bcnk::PageRecord> pages(1);
    bcnk::Text heading;
    for (const char16_t unit : text) {
        if (unit == u'\n' || unit == u'\f') {
            pages.back().headings.push_back(heading);
            heading.clear();
            if (unit == u'\f')
                pages.emplace_back();
        } else {
            heading += unit;
        }
    }
    pages.back().headings.push_back(heading);

    for (const bcnk::PageRecord& page : pages) {
        for (const bcnk::Text& line : page.headings) {
            for (const bcnk::Text& word : bcnk::TokenizeHeading(line)) {
                FUZZ_CHECK(!word.empty());
                for (const char16_t unit : word)
                    FUZZ_CHECK(bcnk::IsWordUnit(unit));
            }
        }
    }

    const std::vector<bcnk::Text> topics = bcnk::ExtractTopics(pages, 8);
    FUZZ_CHECK(topics.size() <= 8);
    for (size_t k = 0; k < topics.size(); ++k) {
        const size_t spaces =
            static_cast<size_t>(std::count(topics[k].begin(), topics[k].end(), u' '));
        // Han and Kana are written without spaces: such a topic is one run of them.
        const bool unspaced = spaces == 0 && std::all_of(topics[k].begin(), topics[k].end(),
                                                         [](char16_t unit) {
                                                             return bcnk::IsHanOrKana(unit);
                                                         });
        FUZZ_CHECK(unspaced || spaces == 1 || spaces == 2);
        FUZZ_CHECK(!bcnk::IsBoilerplatePhrase(topics[k]));
        for (size_t other = 0; other < topics.size(); ++other) {
            if (other == k)
                continue;
            const bcnk::Text padded = u" " + topics[other] + u" ";
            FUZZ_CHECK((u" " + topics[k] + u" ").find(padded) == bcnk::Text::npos);
        }
    }
    return 0;
}
