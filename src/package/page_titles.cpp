#include "package/page_titles.h"

#include <array>
#include <string_view>
#include <unordered_map>

#include "net/url.h"

namespace bcnk {
namespace {

constexpr std::array<std::u16string_view, 7> kSeparators = {
    u" \u2014 ", u" \u2013 ", u" | ", u" - ", u" :: ", u" \u00B7 ", u": "};

bool IsDigit(char16_t unit) {
    return unit >= u'0' && unit <= u'9';
}

// The last path segment without its extension, folded: "genindex-A" for /genindex-A.html.
Text FileStem(const Text& path) {
    Text stem = ToLower(path.substr(0, path.find_first_of(u"?#")));
    while (!stem.empty() && stem.back() == u'/') {
        stem.pop_back();
    }
    stem = stem.substr(stem.rfind(u'/') + 1);
    return stem.substr(0, stem.find(u'.'));
}

}  // namespace

SiteTitleParts FindSiteTitleParts(const std::vector<PageRecord>& pages) {
    std::unordered_map<Text, int> suffixes;
    std::unordered_map<Text, int> prefixes;
    int titled = 0;
    for (const PageRecord& page : pages) {
        if (page.title.empty()) {
            continue;
        }
        ++titled;
        for (const std::u16string_view separator : kSeparators) {
            const size_t last = page.title.rfind(separator);
            if (last != Text::npos && last > 0) {
                ++suffixes[page.title.substr(last)];
            }
            const size_t first = page.title.find(separator);
            if (first != Text::npos && first + separator.size() < page.title.size()) {
                ++prefixes[page.title.substr(0, first + separator.size())];
            }
        }
    }
    constexpr int kMinimumPages = 3;
    auto common = [&](const std::unordered_map<Text, int>& counts) {
        Text best;
        int bestCount = 0;
        for (const auto& [part, count] : counts) {
            if (count > bestCount || (count == bestCount && part.size() > best.size())) {
                best = part;
                bestCount = count;
            }
        }
        return bestCount >= kMinimumPages && bestCount * 2 > titled ? best : Text();
    };
    return {common(prefixes), common(suffixes)};
}

Text CleanTitle(const PageRecord& page, const SiteTitleParts& parts) {
    Text title = page.title;
    if (!parts.suffix.empty() && title.size() > parts.suffix.size() &&
        title.ends_with(parts.suffix)) {
        title.erase(title.size() - parts.suffix.size());
    }
    if (!parts.prefix.empty() && title.size() > parts.prefix.size() &&
        title.starts_with(parts.prefix)) {
        title.erase(0, parts.prefix.size());
    }
    title = Trim(title);
    return title.empty() ? page.h1 : title;
}

bool IsNavigationOnly(const PageRecord& page, const Text& cleanTitle) {
    const Text path = ToLower(ParseUrl(page.url).path);
    const Text stem = FileStem(path);
    if (stem == u"search" || stem.starts_with(u"genindex") || stem.ends_with(u"modindex") ||
        stem == u"bookindex" || stem == u"404" || stem == u"login" || stem == u"signin" ||
        stem == u"cart" || stem == u"basket" || stem == u"checkout" ||
        (stem.size() >= 3 && stem.starts_with(u"ix") && IsDigit(stem[2]))) {
        return true;
    }
    for (const std::u16string_view folder : {u"/search/", u"/tag/", u"/tags/", u"/login/"}) {
        if (path.find(folder) != Text::npos) {
            return true;
        }
    }
    // Paginated copies: /page/2/, ?page=3, ?p=4.
    const size_t pageFolder = path.find(u"/page/");
    if (pageFolder != Text::npos && pageFolder + 6 < path.size() && IsDigit(path[pageFolder + 6])) {
        return true;
    }
    for (const std::u16string_view query : {u"?page=", u"&page=", u"?p=", u"&p="}) {
        const size_t at = path.find(query);
        if (at != Text::npos && at + query.size() < path.size() &&
            IsDigit(path[at + query.size()])) {
            return true;
        }
    }
    const Text title = ToLower(cleanTitle);
    return title == u"index" || title == u"general index" || title == u"search" ||
           title == u"search results" || title == u"page not found" || title == u"not found";
}

Text ShortDescription(const PageRecord& page) {
    constexpr size_t kMaximumLength = 200;
    Text text = Trim(page.description.empty() ? page.leadSentence : page.description);
    if (text.size() > kMaximumLength) {
        const size_t space = text.rfind(u' ', kMaximumLength);
        text.erase(space == Text::npos || space < kMaximumLength / 2 ? kMaximumLength : space);
        text += u"\u2026";
    }
    return text;
}

}  // namespace bcnk
