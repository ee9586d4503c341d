#include "scan/page_content.h"

#include <climits>
#include <vector>

#include "analysis/html_parser.h"
#include "analysis/main_content.h"
#include "analysis/markdown.h"
#include "common/charset.h"
#include "scan/markdown_spool.h"

namespace bcnk {

namespace {

// The page as UTF-8, which is what the extractor reads: most pages already are.
std::string PageUtf8(const std::string& body, const Text& contentType) {
    const DetectedCharset detected = DetectCharset(body, WideToUtf8(contentType));
    if (detected.charset == Charset::Utf8) {
        return body.substr(detected.bomLength);
    }
    return WideToUtf8(DecodePageText(body, contentType));
}

void AppendParagraphs(const std::vector<ContentBlock>& blocks, std::vector<Text>& paragraphs) {
    for (const ContentBlock& block : blocks) {
        if (block.kind == BlockKind::kParagraph) {
            std::string text;
            for (const InlineRun& run : block.inlines) {
                if (run.kind != InlineKind::kImage) {
                    text += run.kind == InlineKind::kBreak ? std::string(" ") : run.text;
                }
            }
            paragraphs.push_back(Utf8ToWide(text));
        } else if (block.kind == BlockKind::kQuote) {
            AppendParagraphs(block.children, paragraphs);
        }
    }
}

}  // namespace

void TakeMainContent(const std::string& body, const Text& contentType, const Text& address,
                     MarkdownSpool* spool, PageRecord& record) {
    const std::string url = WideToUtf8(address);
    const MainContent content = ExtractMainContent(PageUtf8(body, contentType), url);
    const size_t words = ContentWordCount(content);
    record.mainWordCount = words > INT_MAX ? INT_MAX : static_cast<int>(words);
    // The main text's first sentence says what the page is about; the page-wide one is the
    // fall-back, as a banner or a sidebar may come first there.
    std::vector<Text> paragraphs;
    AppendParagraphs(content.blocks, paragraphs);
    if (Text lead = LeadSentence(paragraphs); !lead.empty()) {
        record.leadSentence = std::move(lead);
    }
    if (spool != nullptr && spool->Usable() && !content.blocks.empty()) {
        spool->Store(WriteMarkdown(content, url), record);
    }
}

}  // namespace bcnk
