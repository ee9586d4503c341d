#include "package/llms_lite.h"

#include "package/template_text.h"

namespace bcnk {
namespace {

// A product link needs a real name; a page known only by its title is left out.
bool HasProductName(const PageRecord& page) {
    return page.pageClass == PageClass::Product && !(page.productName.empty() && page.h1.empty());
}

Text TopicsParagraph(const ScanResult& scan) {
    Text joined;
    for (const Text& topic : scan.topics) {
        const Text text = MarkdownText(topic);
        if (!text.empty()) {
            joined += (joined.empty() ? u"" : u", ") + text;
        }
    }
    return joined.empty() ? Text() : u"Main topics: " + joined + u".\n";
}

}  // namespace

Text MakeLlmsLite(const ScanResult& scan, const PackageForm& form) {
    // Everything before the first H2 is prose: readers of the format take every H2 section
    // to be a list of links.
    const Text about = MarkdownText(AboutText(scan, form));
    std::vector<Text> blocks = LlmsHead(form, about);
    blocks.push_back(
        u"[REVIEW] The summary below is auto-generated from the crawl. Edit before publishing.\n");
    if (!about.empty()) {
        blocks.push_back(about + u"\n");
    }
    const Text topics = TopicsParagraph(scan);
    if (!topics.empty()) {
        blocks.push_back(topics);
    }
    Text products;
    for (const PageRecord& page : scan.pages) {
        if (HasProductName(page)) {
            products += LlmsListEntry(ProductHeading(page), page);
        }
    }
    if (!products.empty()) {
        blocks.push_back(u"## Products\n" + products);
    }
    return JoinBlocks(blocks);
}

}  // namespace bcnk
