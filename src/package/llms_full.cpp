#include "package/llms_full.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "analysis/markdown.h"
#include "net/url.h"
#include "package/llms_txt.h"
#include "package/markdown_twins.h"
#include "package/template_text.h"
#include "scan/markdown_spool.h"

namespace bcnk {

namespace {

constexpr size_t kKib = 1024;
// The share of the file kept for the list of pages that did not fit.
constexpr size_t kLeftOutShare = 10;

std::vector<const PageRecord*> PagesWithMarkdown(const ScanResult& scan) {
    std::vector<const PageRecord*> pages = LlmsTxtPages(scan);
    std::erase_if(pages, [](const PageRecord* page) { return page->markdownBytes == 0; });
    return pages;
}

std::string LeftOutList(const std::vector<Text>& addresses, size_t room) {
    if (addresses.empty()) {
        return {};
    }
    std::string list = "\n## Pages not included\n\nThis file stops at its size limit. The "
                       "content of these pages is at their own addresses:\n\n";
    size_t listed = 0;
    for (const Text& address : addresses) {
        const std::string line = "- <" + WideToUtf8(UriEscape(address)) + ">\n";
        // Room is kept for the closing line that counts the rest.
        if (list.size() + line.size() + 64 > room) {
            break;
        }
        list += line;
        ++listed;
    }
    if (listed < addresses.size()) {
        list += "- and " + std::to_string(addresses.size() - listed) + " more pages\n";
    }
    return list;
}

}  // namespace

bool WantsLlmsFull(const ScanResult& scan, const PackageForm& form) {
    return form.fullTextMaxKib > 0 && scan.markdown &&
           std::any_of(scan.pages.begin(), scan.pages.end(),
                       [](const PageRecord& page) { return page.markdownBytes > 0; });
}

std::string MakeLlmsFull(const ScanResult& scan, const PackageForm& form) {
    const size_t limit = static_cast<size_t>(std::max(form.fullTextMaxKib, 0)) * kKib;
    const size_t contentRoom = limit - limit / kLeftOutShare;
    std::string out = WideToUtf8(JoinBlocks(LlmsHead(form, MarkdownText(AboutText(scan, form)))));

    const TwinAddresses twinAddresses =
        form.publishMarkdown ? PublishedTwinAddresses(scan) : TwinAddresses();
    std::vector<Text> leftOut;
    for (const PageRecord* page : PagesWithMarkdown(scan)) {
        if (leftOut.empty()) {
            const std::string twin = DemoteHeadings(PageTwin(scan, *page));
            if (!twin.empty() && out.size() + 1 + twin.size() <= contentRoom) {
                out += '\n';
                out += twin;
                continue;
            }
        }
        // Once a page does not fit, the rest follow it out, so the file keeps llms.txt's order.
        const auto twin = twinAddresses.find(page->url);
        leftOut.push_back(twin == twinAddresses.end() ? page->url : twin->second);
    }
    out += LeftOutList(leftOut, limit - std::min(limit, out.size()));
    return out;
}

}  // namespace bcnk
