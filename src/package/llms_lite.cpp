#include "package/llms_lite.h"

#include <unordered_set>

#include "net/url.h"
#include "package/page_titles.h"
#include "package/template_text.h"

namespace bcnk {
namespace {

constexpr size_t kKeyPages = 10;

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

const PageRecord* StartPage(const ScanResult& scan) {
    for (const PageRecord& page : scan.pages) {
        if (page.depth == 0 && !page.url.empty()) {
            return &page;
        }
    }
    return nullptr;
}

// "126 guides, 3 articles and 1 legal page", by the classes found.
Text ClassCounts(const ScanResult& scan) {
    struct Kind {
        PageClass pageClass;
        const char16_t* one;
        const char16_t* many;
    };
    const Kind kinds[] = {{PageClass::Product, u"product page", u"product pages"},
                          {PageClass::Guide, u"guide", u"guides"},
                          {PageClass::Article, u"article", u"articles"},
                          {PageClass::Legal, u"legal page", u"legal pages"}};
    std::vector<Text> parts;
    for (const Kind& kind : kinds) {
        const size_t count = CountPagesOfClass(scan, kind.pageClass);
        if (count > 0) {
            parts.push_back(NumberText(static_cast<long long>(count)) + u" " +
                            (count == 1 ? kind.one : kind.many));
        }
    }
    Text joined;
    for (size_t index = 0; index < parts.size(); ++index) {
        joined += index == 0 ? u"" : index + 1 == parts.size() ? u" and " : u", ";
        joined += parts[index];
    }
    return joined;
}

// What the site offers: the start page's own opening sentence, then what kinds of pages it
// holds.
Text OfferParagraph(const ScanResult& scan, const Text& about) {
    Text paragraph;
    if (const PageRecord* start = StartPage(scan)) {
        const Text lead = MarkdownText(start->leadSentence);
        if (!lead.empty() && lead != about) {
            paragraph = lead;
        }
    }
    const Text counts = ClassCounts(scan);
    if (!counts.empty()) {
        if (!paragraph.empty()) {
            paragraph += u' ';
        }
        paragraph += u"The site holds ";
        paragraph += counts;
        paragraph += u'.';
    }
    return paragraph.empty() ? Text() : paragraph + u"\n";
}

Text ContactParagraph(const ScanResult& scan, const PackageForm& form) {
    if (!form.email.empty()) {
        return u"Contact: " + MarkdownText(form.email) + u"\n";
    }
    for (const PageRecord& page : scan.pages) {
        if (ToLower(ParseUrl(page.url).path).find(u"contact") != Text::npos) {
            // Prose holds no links in this format; the address stands as text.
            return u"Contact page: " + MarkdownText(UriEscape(page.url)) + u"\n";
        }
    }
    return Text();
}

// The ten pages a reader should see first: those the start page links to, in its order,
// then the rest in crawl order; never the start page itself, a legal page or a page only
// for navigation.
Text KeyPages(const ScanResult& scan) {
    const SiteTitleParts parts = FindSiteTitleParts(scan.pages);
    std::vector<const PageRecord*> ordered;
    for (const Text& link : scan.startPageLinks) {
        for (const PageRecord& page : scan.pages) {
            if (page.url == link) {
                ordered.push_back(&page);
                break;
            }
        }
    }
    for (const PageRecord& page : scan.pages) {
        ordered.push_back(&page);
    }
    const PageRecord* start = StartPage(scan);
    Text list;
    size_t listed = 0;
    std::unordered_set<Text> seen;
    for (const PageRecord* page : ordered) {
        if (listed == kKeyPages) {
            break;
        }
        const Text title = CleanTitle(*page, parts);
        if (page->url.empty() || page == start || page->pageClass == PageClass::Legal ||
            IsNavigationOnly(*page, title) || !seen.insert(UriEscape(page->url)).second) {
            continue;
        }
        list += LlmsListEntry(title, page->url, ShortDescription(*page));
        ++listed;
    }
    return list;
}

}  // namespace

Text MakeLlmsLite(const ScanResult& scan, const PackageForm& form) {
    // Everything before the first H2 is prose: readers of the format take every H2 section
    // to be a list of links.
    const Text about = MarkdownText(AboutText(scan, form));
    std::vector<Text> blocks = LlmsHead(form, about);
    blocks.push_back(
        u"[REVIEW] The summary below is auto-generated from the crawl. Edit before publishing.\n");
    for (const Text& block :
         {OfferParagraph(scan, about), ContactParagraph(scan, form), TopicsParagraph(scan)}) {
        if (!block.empty()) {
            blocks.push_back(block);
        }
    }
    const Text keyPages = KeyPages(scan);
    if (!keyPages.empty()) {
        blocks.push_back(u"## Key pages\n" + keyPages);
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
