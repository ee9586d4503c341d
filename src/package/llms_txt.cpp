#include "package/llms_txt.h"

#include <array>
#include <unordered_set>
#include <vector>

#include "package/template_text.h"
#include "net/url.h"

namespace bcnk {
namespace {

struct Section {
    const char16_t* heading;
    std::vector<PageClass> classes;
};

// Legal pages stand under "Optional", the section the format lets a reader skip when its
// context is short; it comes last by the format's custom.
const std::array<Section, 5>& Sections() {
    static const std::array<Section, 5> sections = {{
        {u"## Products", {PageClass::Product}},
        {u"## Guides", {PageClass::Guide}},
        {u"## Articles", {PageClass::Article}},
        {u"## Pages", {PageClass::Index, PageClass::Utility, PageClass::Other}},
        {u"## Optional", {PageClass::Legal}},
    }};
    return sections;
}

bool InSection(const Section& section, PageClass pageClass) {
    for (const PageClass member : section.classes) {
        if (member == pageClass) {
            return true;
        }
    }
    // A class this file does not know is listed with the other pages.
    return section.classes.front() == PageClass::Index &&
           (pageClass < PageClass::Product || pageClass > PageClass::Other);
}

Text LinkText(const PageRecord& page) {
    if (page.pageClass == PageClass::Product) {
        return ProductHeading(page);
    }
    return page.title.empty() ? page.h1 : page.title;
}

// The pages to list: one per address after escaping, the first kMaxLlmsTxtEntries.
std::vector<const PageRecord*> ListedPages(const ScanResult& scan) {
    std::vector<const PageRecord*> listed;
    std::unordered_set<Text> seen;
    for (const PageRecord& page : scan.pages) {
        if (listed.size() == kMaxLlmsTxtEntries) {
            break;
        }
        if (!page.url.empty() && seen.insert(UriEscape(page.url)).second) {
            listed.push_back(&page);
        }
    }
    return listed;
}

}  // namespace

bool SiteHasLlmsTxt(const ScanResult& scan) {
    for (const DiscoveryCheck& check : scan.checks) {
        if (check.label == u"llms.txt" && check.state == CheckState::Ok) {
            return true;
        }
    }
    return false;
}

Text MakeLlmsTxt(const ScanResult& scan, const PackageForm& form) {
    return MakeLlmsTxt(scan, form, TodayDate());
}

Text MakeLlmsTxt(const ScanResult& scan, const PackageForm& form, const Text& date) {
    std::vector<Text> blocks = LlmsHead(form, MarkdownText(AboutText(scan, form)));
    blocks.push_back(u"[REVIEW] Generated from a crawl on " + date +
                     u": the first 2000 pages found, in crawl order, grouped by kind. Legal "
                     u"pages are under Optional, which a reader may skip.\n");
    const std::vector<const PageRecord*> pages = ListedPages(scan);
    for (const Section& section : Sections()) {
        Text block;
        for (const PageRecord* page : pages) {
            if (InSection(section, page->pageClass)) {
                block += LlmsListEntry(LinkText(*page), *page);
            }
        }
        if (!block.empty()) {
            blocks.push_back(section.heading + Text(u"\n") + block);
        }
    }
    return JoinBlocks(blocks);
}

}  // namespace bcnk
