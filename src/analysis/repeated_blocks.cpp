#include "analysis/repeated_blocks.h"

#include <unordered_set>

#include "analysis/content_rules.h"

namespace bcnk {

namespace {

// A hash of the paragraph's words in lower case, one space apart: punctuation, links and
// spacing differ between the copies a page shows. Hashes stand in for the texts so that
// long threads cost no copies.
std::uint64_t WordKey(const ContentBlock& paragraph, std::uint32_t& words) {
    std::uint64_t hash = 1469598103934665603ull;
    const auto add = [&hash](unsigned char c) { hash = (hash ^ c) * 1099511628211ull; };
    words = 0;
    for (const InlineRun& run : paragraph.inlines) {
        if (run.kind == InlineKind::kImage) {
            continue;
        }
        bool inWord = false;
        for (const char ch : run.text) {
            const unsigned char c = static_cast<unsigned char>(ch);
            if (!IsWordByte(c)) {
                inWord = false;
                continue;
            }
            if (!inWord) {
                if (words != 0) {
                    add(' ');
                }
                ++words;
                inWord = true;
            }
            add((c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c);
        }
    }
    return hash;
}

class Repeats {
  public:
    explicit Repeats(const RepeatLimits& limits) : limits_(limits) {}

    void Filter(std::vector<ContentBlock>& blocks) {
        size_t kept = 0;
        for (size_t k = 0; k < blocks.size(); ++k) {
            if (!Drop(blocks[k])) {
                if (kept != k) {
                    blocks[kept] = std::move(blocks[k]);
                }
                ++kept;
            }
        }
        blocks.resize(kept);
    }

  private:
    // Whether the block is left with nothing to show.
    bool Drop(ContentBlock& block) {
        switch (block.kind) {
            case BlockKind::kParagraph: {
                std::uint32_t words = 0;
                const std::uint64_t key = WordKey(block, words);
                if (words < limits_.quoted) {
                    return false;
                }
                const bool repeated = !seen_.insert(key).second;
                return repeated && (quotes_ > 0 || words >= limits_.plain);
            }
            case BlockKind::kList:
            case BlockKind::kListItem:
            case BlockKind::kQuote: {
                if (block.children.empty()) {
                    return false;
                }
                const bool quote = block.kind == BlockKind::kQuote;
                quotes_ += quote;
                Filter(block.children);
                quotes_ -= quote;
                return block.children.empty();
            }
            default:
                return false;
        }
    }

    RepeatLimits limits_;
    std::unordered_set<std::uint64_t> seen_;
    int quotes_ = 0;  // quotes around the block being judged
};

}  // namespace

void DropRepeatedBlocks(std::vector<ContentBlock>& blocks, const RepeatLimits& limits) {
    Repeats(limits).Filter(blocks);
}

}  // namespace bcnk
