#include "package/llms_txt.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "net/url.h"
#include "package/markdown_twins.h"
#include "package/page_titles.h"
#include "package/template_text.h"

namespace bcnk {
namespace {

struct Entry {
    const PageRecord* page;
    Text name;
};

struct Section {
    Text heading;
    std::vector<Entry> entries;
    size_t navigationRank = SIZE_MAX;  // first place the start page links into it
    bool root = false;                  // the pages at the site's own level
};

Text LinkText(const PageRecord& page, const SiteTitleParts& parts) {
    if (page.pageClass == PageClass::Product) {
        return ProductHeading(page);
    }
    return CleanTitle(page, parts);
}

// The pages to list: one per address after escaping, without pages only for navigation.
std::vector<Entry> ListedEntries(const ScanResult& scan) {
    const SiteTitleParts parts = FindSiteTitleParts(scan.pages);
    std::vector<Entry> listed;
    std::unordered_set<Text> seen;
    for (const PageRecord& page : scan.pages) {
        if (page.url.empty() || !seen.insert(UriEscape(page.url)).second) {
            continue;
        }
        Text name = LinkText(page, parts);
        if (!IsNavigationOnly(page, CleanTitle(page, parts))) {
            listed.push_back({&page, std::move(name)});
        }
    }
    return listed;
}

// The page's top-level folder below the site root ("library" for /library/os.html); empty
// for pages at the root.
Text TopFolder(const Text& url) {
    const Text path = ParseUrl(url).path;
    const size_t end = path.find_first_of(u"/?#", 1);
    return path.size() > 1 && end != Text::npos && path[end] == u'/' ? path.substr(1, end - 1)
                                                                     : Text();
}

bool IsFolderIndex(const PageRecord& page, const Text& folder) {
    const Text path = ToLower(ParseUrl(page.url).path);
    Text base = u"/";
    base += ToLower(folder);
    base += u'/';
    if (path.size() < base.size() || path.compare(0, base.size(), base) != 0) {
        return false;
    }
    const Text rest = path.substr(base.size());
    return rest.empty() || rest == u"index.html" || rest == u"index.htm" || rest == u"index.php";
}

// "getting-started" -> "Getting started".
Text FolderHeading(const Text& folder) {
    Text heading = folder;
    std::replace(heading.begin(), heading.end(), u'-', u' ');
    std::replace(heading.begin(), heading.end(), u'_', u' ');
    if (!heading.empty() && heading[0] >= u'a' && heading[0] <= u'z') {
        heading[0] = static_cast<char16_t>(heading[0] - u'a' + u'A');
    }
    return heading;
}

bool IsLegal(const Entry& entry) {
    return entry.page->pageClass == PageClass::Legal;
}

// Sections by the site's top-level folders, named by each folder's index page, in the order
// the start page links into them (its navigation), the rest by size. Empty when the site
// keeps its pages in fewer than two folders.
std::vector<Section> FolderSections(const ScanResult& scan, const std::vector<Entry>& entries) {
    std::vector<Section> sections;
    std::unordered_map<Text, size_t> byFolder;
    for (const Entry& entry : entries) {
        if (IsLegal(entry)) {
            continue;
        }
        const Text folder = TopFolder(entry.page->url);
        auto [found, added] = byFolder.try_emplace(folder, sections.size());
        if (added) {
            sections.push_back({folder.empty() ? Text(u"Overview") : FolderHeading(folder), {},
                                SIZE_MAX, folder.empty()});
        }
        Section& section = sections[found->second];
        if (!folder.empty() && IsFolderIndex(*entry.page, folder)) {
            section.heading = entry.name.empty() ? section.heading : entry.name;
            section.entries.insert(section.entries.begin(), entry);
        } else {
            section.entries.push_back(entry);
        }
    }
    if (byFolder.size() - (byFolder.count(Text()) ? 1 : 0) < 2) {
        return {};
    }
    for (size_t rank = 0; rank < scan.startPageLinks.size(); ++rank) {
        const auto found = byFolder.find(TopFolder(scan.startPageLinks[rank]));
        if (found != byFolder.end()) {
            Section& section = sections[found->second];
            section.navigationRank = std::min(section.navigationRank, rank);
        }
    }
    // The site's own level comes first; then its navigation's order; then the larger first.
    std::stable_sort(sections.begin(), sections.end(), [](const Section& a, const Section& b) {
        if (a.root != b.root) return a.root;
        if (a.navigationRank != b.navigationRank) return a.navigationRank < b.navigationRank;
        return a.entries.size() > b.entries.size();
    });
    return sections;
}

// Sections by kind, for sites that keep their pages in one folder.
std::vector<Section> ClassSections(const std::vector<Entry>& entries) {
    struct Kind {
        const char16_t* heading;
        std::vector<PageClass> classes;
    };
    static const std::array<Kind, 4> kinds = {{
        {u"Products", {PageClass::Product}},
        {u"Guides", {PageClass::Guide}},
        {u"Articles", {PageClass::Article}},
        {u"Pages", {PageClass::Index, PageClass::Utility, PageClass::Other}},
    }};
    std::vector<Section> sections;
    for (const Kind& kind : kinds) {
        Section section{kind.heading, {}};
        for (const Entry& entry : entries) {
            const PageClass given = entry.page->pageClass;
            // A class this file does not know is listed with the other pages.
            const bool unknown = given < PageClass::Product || given > PageClass::Other;
            const bool member =
                std::find(kind.classes.begin(), kind.classes.end(), given) != kind.classes.end() ||
                (unknown && kind.classes.front() == PageClass::Index);
            if (member && !IsLegal(entry)) {
                section.entries.push_back(entry);
            }
        }
        if (!section.entries.empty()) {
            sections.push_back(std::move(section));
        }
    }
    return sections;
}

// Cuts the largest sections to one common size so that at most `limit` entries remain;
// returns how many were left out.
size_t CutEvenly(std::vector<Section>& sections, size_t limit) {
    size_t total = 0;
    size_t largest = 0;
    for (const Section& section : sections) {
        total += section.entries.size();
        largest = std::max(largest, section.entries.size());
    }
    if (total <= limit) {
        return 0;
    }
    auto keptWith = [&](size_t cap) {
        size_t kept = 0;
        for (const Section& section : sections) {
            kept += std::min(section.entries.size(), cap);
        }
        return kept;
    };
    size_t low = 0;
    size_t high = largest;
    while (low < high) {  // the largest cap that keeps no more than `limit`
        const size_t middle = (low + high + 1) / 2;
        if (keptWith(middle) <= limit) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    for (Section& section : sections) {
        if (section.entries.size() > low) {
            section.entries.resize(low);
        }
    }
    return total - keptWith(low);
}

// A page's entry links to its Markdown twin when one is published.
Text SectionBlock(const Section& section,
                  const TwinAddresses& twinAddresses) {
    Text block = u"## " + MarkdownText(section.heading) + u"\n";
    for (const Entry& entry : section.entries) {
        const auto twin = twinAddresses.find(entry.page->url);
        const Text& address = twin == twinAddresses.end() ? entry.page->url : twin->second;
        block += LlmsListEntry(entry.name, address, ShortDescription(*entry.page));
    }
    return block;
}

// The listed pages by section, in the order llms.txt gives them; `cut` counts the pages
// left out to keep the list within kMaxLlmsTxtEntries.
std::vector<Section> OutlineSections(const ScanResult& scan, size_t& cut) {
    const std::vector<Entry> entries = ListedEntries(scan);
    std::vector<Section> sections = FolderSections(scan, entries);
    if (sections.empty()) {
        sections = ClassSections(entries);
    }
    // Legal pages stand under "Optional", the section the format lets a reader skip when its
    // context is short; it comes last by the format's custom.
    Section optional{u"Optional", {}};
    std::copy_if(entries.begin(), entries.end(), std::back_inserter(optional.entries), IsLegal);
    if (!optional.entries.empty()) {
        sections.push_back(std::move(optional));
    }
    cut = CutEvenly(sections, kMaxLlmsTxtEntries);
    std::erase_if(sections, [](const Section& section) { return section.entries.empty(); });
    return sections;
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
    size_t cut = 0;
    const std::vector<Section> sections = OutlineSections(scan, cut);
    const TwinAddresses twinAddresses =
        form.publishMarkdown ? PublishedTwinAddresses(scan) : TwinAddresses();

    std::vector<Text> blocks = LlmsHead(form, MarkdownText(AboutText(scan, form)));
    Text note = u"[REVIEW] Generated from a crawl on ";
    note += date;
    note += u": the site's pages by section, without pages that only lead to others. Legal "
            u"pages are under Optional, which a reader may skip.";
    if (!twinAddresses.empty()) {
        note += u" Links lead to each page's Markdown version (the same address plus .md).";
    }
    if (cut > 0) {
        note += u' ';
        note += NumberText(static_cast<long long>(cut));
        note += u" pages of the largest sections are left out to keep the list at ";
        note += NumberText(static_cast<long long>(kMaxLlmsTxtEntries));
        note += u" entries.";
    }
    blocks.push_back(note + u"\n");
    for (const Section& section : sections) {
        blocks.push_back(SectionBlock(section, twinAddresses));
    }
    return JoinBlocks(blocks);
}

std::vector<const PageRecord*> LlmsTxtPages(const ScanResult& scan) {
    size_t cut = 0;
    std::vector<const PageRecord*> pages;
    for (const Section& section : OutlineSections(scan, cut)) {
        for (const Entry& entry : section.entries) {
            pages.push_back(entry.page);
        }
    }
    return pages;
}

}  // namespace bcnk
