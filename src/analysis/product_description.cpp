#include "analysis/product_description.h"

#include <cstddef>
#include <string>
#include <unordered_set>
#include <utility>

#include "analysis/content_rules.h"

namespace bcnk {

namespace {

// Words folded to lower case, runs of word bytes as the extraction counts them.
template <typename Each>
void ForEachWord(std::string_view text, Each&& each) {
    std::string word;
    for (size_t at = 0; at <= text.size(); ++at) {
        const unsigned char c = at < text.size() ? static_cast<unsigned char>(text[at]) : ' ';
        if (IsWordByte(c)) {
            word += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : static_cast<char>(c);
        } else if (!word.empty()) {
            each(word);
            word.clear();
        }
    }
}

std::string FoldedWords(std::string_view text, size_t& count) {
    std::string folded;
    count = 0;
    ForEachWord(text, [&](const std::string& word) {
        folded += word;
        folded += ' ';
        ++count;
    });
    return folded;
}

}  // namespace

bool DropAboveProductName(std::vector<ContentBlock>& blocks, std::string_view name) {
    size_t nameWords = 0;
    const std::string wanted = FoldedWords(name, nameWords);
    if (nameWords == 0) {
        return false;
    }
    size_t above = 0, total = 0, at = blocks.size();
    for (size_t b = 0; b < blocks.size(); ++b) {
        size_t words = 0;
        const std::string folded = FoldedWords(BlockText(blocks[b]), words);
        if (at == blocks.size() && blocks[b].kind == BlockKind::kHeading && folded == wanted) {
            at = b;
        }
        (at == blocks.size() ? above : total) += words;
    }
    total += above;
    if (at == 0 || at == blocks.size() ||
        static_cast<float>(above) > kAboveNameShare * static_cast<float>(total)) {
        return false;
    }
    blocks.erase(blocks.begin(), blocks.begin() + static_cast<std::ptrdiff_t>(at));
    return true;
}

bool KeepDeclaredDescription(std::vector<ContentBlock>& blocks, std::string_view description) {
    std::unordered_set<std::string> vocabulary;
    size_t declared = 0;
    ForEachWord(description, [&](const std::string& word) {
        vocabulary.insert(word);
        ++declared;
    });
    if (declared < kDeclaredDescriptionWords || blocks.empty()) {
        return false;
    }
    const size_t first = blocks.front().kind == BlockKind::kHeading ? 1 : 0;
    std::vector<std::uint8_t> keep(blocks.size(), 0);
    size_t total = 0, kept = 0;
    for (size_t b = first; b < blocks.size(); ++b) {
        size_t words = 0, shared = 0;
        ForEachWord(BlockText(blocks[b]), [&](const std::string& word) {
            ++words;
            shared += vocabulary.count(word);
        });
        total += words;
        // Most of its words are the description's: the page's rendering of it.
        if (words != 0 && shared * 10 >= words * 6) {
            keep[b] = 1;
            kept += words;
        }
    }
    if (static_cast<float>(total) > kDeclaredDescriptionSpan * static_cast<float>(declared) ||
        kept * 2 < declared) {
        return false;
    }
    size_t out = first;
    for (size_t b = first; b < blocks.size(); ++b) {
        if (keep[b]) {
            blocks[out++] = std::move(blocks[b]);
        }
    }
    blocks.resize(out);
    return true;
}

}  // namespace bcnk
