// Raw bytes as a page: extraction and the Markdown twin must not fault, the twin must be
// valid UTF-8 of bounded size, every link in it must be an http(s) address of bounded length,
// and no page text may come out as live markup once escaped.
#include <cstdint>
#include <string>

#include "analysis/main_content.h"
#include "analysis/markdown.h"
#include "fuzz_check.h"

namespace {

bool IsValidUtf8(const std::string& text) { return bcnk::ValidUtf8(text) == text; }

// True when the character at `at` is preceded by an odd number of backslashes.
bool Escaped(const std::string& text, size_t at) {
    size_t slashes = 0;
    while (at > slashes && text[at - slashes - 1] == '\\') {
        ++slashes;
    }
    return slashes % 2 == 1;
}

// Page text reaches the twin only through EscapeMarkdownText (or inside code, which is
// never parsed), so checking every run's escaped form checks the twin's text.
bool StartsWebAddress(const std::string& text, size_t at) {
    return text.compare(at, 7, "http://") == 0 || text.compare(at, 8, "https://") == 0;
}

// Escaped page text holds no character that could start markup unless it is escaped.
void CheckEscapedText(const std::string& raw) {
    const std::string escaped = bcnk::EscapeMarkdownText(raw);
    FUZZ_CHECK(IsValidUtf8(escaped));
    for (size_t k = 0; k < escaped.size(); ++k) {
        const char c = escaped[k];
        if (c == '<' || c == '[' || c == ']' || c == '*' || c == '_' || c == '`' || c == '&' ||
            c == '|' || c == '~' || c == '#') {
            FUZZ_CHECK(Escaped(escaped, k));
        }
        FUZZ_CHECK(c != '\n' && c != '\r');
    }
}

// Returns the bytes of all link and image addresses: a link wrapping many blocks is repeated
// in each of them, as browsers do, so the twin may hold its address many times.
size_t CheckRuns(const std::vector<bcnk::ContentBlock>& blocks) {
    size_t addressBytes = 0;
    for (const bcnk::ContentBlock& block : blocks) {
        for (const bcnk::InlineRun& run : block.inlines) {
            if (run.kind != bcnk::InlineKind::kCode) {
                CheckEscapedText(run.text);
            }
            FUZZ_CHECK(run.address.empty() || StartsWebAddress(run.address, 0));
            FUZZ_CHECK(run.address.size() <= 2048);
            addressBytes += run.address.size();
        }
        addressBytes += CheckRuns(block.children);
    }
    return addressBytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string page(reinterpret_cast<const char*>(data), size);
    const std::string address = "https://example.test/a/b";
    const bcnk::MainContent content = bcnk::ExtractMainContent(page, address);
    const size_t addressBytes = CheckRuns(content.blocks);
    CheckEscapedText(content.title);
    const std::string twin = bcnk::WriteMarkdown(content, address);
    FUZZ_CHECK(IsValidUtf8(twin));
    // Escapes, fences, indents and link syntax at most multiply the page's size by a small
    // factor.
    FUZZ_CHECK(twin.size() <= 16 * size + 4096 + addressBytes);
    return 0;
}
