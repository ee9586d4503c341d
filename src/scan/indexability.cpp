#include "scan/indexability.h"

#include <algorithm>
#include <unordered_map>

#include "analysis/html_parser.h"
#include "net/url.h"
#include "scan/ai_crawlers.h"

namespace bcnk {
namespace {

// Meta names and header agents of the search engines whose noindex keeps a page out of the
// sitemaps; "robots" and headers without an agent address every crawler.
constexpr const char16_t* kSearchAgents[] = {u"googlebot", u"bingbot"};

bool IsSearchAgent(const Text& agent) {
    return std::any_of(std::begin(kSearchAgents), std::end(kSearchAgents),
                       [&](const char16_t* name) { return agent == name; });
}

bool IsAiAgent(const Text& agent) {
    const std::span<const AiCrawler> crawlers = AiCrawlers();
    return std::any_of(crawlers.begin(), crawlers.end(),
                       [&](const AiCrawler& crawler) { return agent == ToLower(crawler.token); });
}

// The directives of agents we judge; directives of other crawlers say nothing about us.
bool IsJudgedAgent(const Text& agent) {
    return agent.empty() || IsSearchAgent(agent) || IsAiAgent(agent);
}

bool IsNoindex(const Text& directive) {
    return directive == u"noindex" || directive == u"none";
}

// Bounds what one page can add to its record: a page can repeat a meta many times over, or
// write one of any length. No real directive or address comes near these.
constexpr size_t kMaxKeptDirectives = 24;
constexpr size_t kMaxDirectiveLength = 96;
constexpr size_t kMaxCanonicalLength = 2048;

void KeepDirectives(const std::vector<AgentDirective>& parsed, std::vector<Text>& kept) {
    for (const AgentDirective& item : parsed) {
        if (!IsJudgedAgent(item.agent) || kept.size() >= kMaxKeptDirectives ||
            item.directive.size() > kMaxDirectiveLength) {
            continue;
        }
        Text text = item.agent.empty() ? item.directive : item.agent + u": " + item.directive;
        if (std::find(kept.begin(), kept.end(), text) == kept.end()) {
            kept.push_back(std::move(text));
        }
    }
}

std::vector<AgentDirective> StoredDirectives(const PageRecord& page) {
    std::vector<AgentDirective> all;
    for (const Text& text : page.robotsDirectives) {
        for (AgentDirective& item : ParseRobotsDirectives(text, Text(), true)) {
            all.push_back(std::move(item));
        }
    }
    return all;
}

// True when the reference names a scheme other than http(s) ("ftp:", "mailto:"): the link
// resolver would take it for a relative path.
bool HasOtherScheme(const Text& reference) {
    const Text trimmed = Trim(reference);
    size_t at = 0;
    while (at < trimmed.size() &&
           ((trimmed[at] >= u'a' && trimmed[at] <= u'z') ||
            (trimmed[at] >= u'A' && trimmed[at] <= u'Z') ||
            (at > 0 && ((trimmed[at] >= u'0' && trimmed[at] <= u'9') || trimmed[at] == u'+' ||
                        trimmed[at] == u'-' || trimmed[at] == u'.')))) {
        ++at;
    }
    if (at == 0 || at >= trimmed.size() || trimmed[at] != u':') {
        return false;
    }
    const Text scheme = ToLower(trimmed.substr(0, at));
    return scheme != u"http" && scheme != u"https";
}

// The canonical as the record keeps it: resolved, and usable only on this site over http(s).
void TakeCanonical(const Text& written, const Text& base, const Text& host, PageRecord& record) {
    if (written.empty()) {
        return;
    }
    if (written.size() > kMaxCanonicalLength) {
        record.canonicalIgnored = u"(a canonical address longer than " +
                                  NumberText(static_cast<long long>(kMaxCanonicalLength)) +
                                  u" characters)";
        return;
    }
    const Text decoded = DecodeEntities(written);
    const Text resolved = HasOtherScheme(decoded) ? Text() : ResolveLink(base, decoded);
    if (resolved.empty()) {
        record.canonicalIgnored = written + u" (not an http(s) address)";
    } else if (HostKey(resolved) != host) {
        record.canonicalIgnored = resolved + u" (another site)";
    } else {
        record.canonical = resolved;
    }
}

Text SchemelessKey(const Text& address) {
    const Text key = DuplicateKey(address);
    const size_t slashes = key.find(u"://");
    return slashes == Text::npos ? key : key.substr(slashes + 3);
}

// An address of the site shown by its path, another by itself.
Text ShortAddress(const Text& address, const Text& baseUrl) {
    if (!baseUrl.empty() && OriginOf(address) == baseUrl) {
        return ParseUrl(address).path;
    }
    return address;
}

}  // namespace

bool SamePage(const Text& a, const Text& b) {
    return HostKey(a) == HostKey(b) && SchemelessKey(a) == SchemelessKey(b);
}

Text ExclusionName(Exclusion exclusion) {
    switch (exclusion) {
        case Exclusion::Noindex: return u"noindex";
        case Exclusion::CanonicalElsewhere: return u"canonical elsewhere";
        case Exclusion::Duplicate: return u"duplicate";
        case Exclusion::StatusNot200: return u"status not 200";
        case Exclusion::MarkedAgainstAi: return u"marked against AI";
    }
    return u"unknown";
}

std::vector<Exclusion> PageExclusions(const PageRecord& page) {
    bool noindex = false;
    bool againstAi = false;
    for (const AgentDirective& item : StoredDirectives(page)) {
        const bool forEveryone = item.agent.empty();
        if (IsNoindex(item.directive) && (forEveryone || IsSearchAgent(item.agent))) {
            noindex = true;
        }
        if ((item.directive == u"noai" && forEveryone) ||
            (IsNoindex(item.directive) && IsAiAgent(item.agent)) ||
            (item.directive == u"noai" && IsAiAgent(item.agent))) {
            againstAi = true;
        }
    }
    std::vector<Exclusion> reasons;
    if (noindex) {
        reasons.push_back(Exclusion::Noindex);
    }
    if (!page.canonical.empty() && !SamePage(page.canonical, page.url)) {
        reasons.push_back(Exclusion::CanonicalElsewhere);
    }
    if (!page.duplicateOf.empty()) {
        reasons.push_back(Exclusion::Duplicate);
    }
    if (page.httpStatus != 200) {
        reasons.push_back(Exclusion::StatusNot200);
    }
    if (againstAi) {
        reasons.push_back(Exclusion::MarkedAgainstAi);
    }
    return reasons;
}

bool MayList(const PageRecord& page, ListAudience audience) {
    for (const Exclusion reason : PageExclusions(page)) {
        if (reason != Exclusion::MarkedAgainstAi || audience == ListAudience::Ai) {
            return false;
        }
    }
    return true;
}

ScanResult PublishableScan(const ScanResult& scan, ListAudience audience) {
    ScanResult view = scan;
    std::erase_if(view.pages, [&](const PageRecord& page) { return !MayList(page, audience); });
    for (PageRecord& page : view.pages) {
        if (!page.canonical.empty()) {
            page.url = page.canonical;
        }
    }
    return view;
}

Text IndexableLabel(const PageRecord& page, const Text& baseUrl) {
    const std::vector<Exclusion> reasons = PageExclusions(page);
    if (reasons.empty()) {
        return u"Yes";
    }
    switch (reasons.front()) {
        case Exclusion::CanonicalElsewhere:
            return u"canonical \u2192 " + ShortAddress(page.canonical, baseUrl);
        case Exclusion::Duplicate: return u"duplicate of " + ShortAddress(page.duplicateOf, baseUrl);
        case Exclusion::MarkedAgainstAi: return u"noai";
        default: return ExclusionName(reasons.front());
    }
}

void TakePageSignals(const PageSignals& signals, const FetchResult& fetched,
                     const Text& linkBase, const Text& host, PageRecord& record) {
    for (const NamedMeta& meta : signals.metas) {
        const Text agent = meta.name == u"robots" ? Text() : meta.name;
        if (IsJudgedAgent(agent)) {
            KeepDirectives(ParseRobotsDirectives(meta.content, agent, false),
                           record.robotsDirectives);
        }
    }
    for (const Text& value : fetched.HeaderValues(u"x-robots-tag")) {
        KeepDirectives(ParseRobotsDirectives(value, Text(), true), record.robotsDirectives);
    }
    // The page's own link comes first; the header stands in for pages that have none (and
    // for the server's way of naming one without touching the pages).
    if (!signals.canonicalHref.empty()) {
        TakeCanonical(signals.canonicalHref, linkBase, host, record);
    } else {
        TakeCanonical(CanonicalFromLinkHeaders(fetched.HeaderValues(u"link")), record.url, host,
                      record);
    }
}

void MarkDuplicates(std::vector<PageRecord>& pages, const std::vector<std::uint64_t>& textHashes) {
    std::unordered_map<std::uint64_t, std::vector<size_t>> groups;
    std::vector<std::uint64_t> order;
    for (size_t at = 0; at < pages.size(); ++at) {
        pages[at].duplicateOf.clear();
        const std::uint64_t hash = at < textHashes.size() ? textHashes[at] : 0;
        if (hash == 0) {
            continue;
        }
        std::vector<size_t>& members = groups[hash];
        if (members.empty()) {
            order.push_back(hash);
        }
        members.push_back(at);
    }
    for (const std::uint64_t hash : order) {
        const std::vector<size_t>& members = groups[hash];
        if (members.size() < 2) {
            continue;
        }
        size_t kept = members.front();
        // The copy the others name as their canonical is the one the owner publishes.
        for (const size_t candidate : members) {
            const bool named = std::any_of(members.begin(), members.end(), [&](size_t other) {
                return other != candidate && !pages[other].canonical.empty() &&
                       SamePage(pages[other].canonical, pages[candidate].url);
            });
            if (named) {
                kept = candidate;
                break;
            }
        }
        for (const size_t member : members) {
            if (member != kept) {
                pages[member].duplicateOf = pages[kept].url;
            }
        }
    }
}

}  // namespace bcnk

namespace bcnk {

LeftOutCounts CountLeftOut(const std::vector<PageRecord>& pages) {
    LeftOutCounts counts;
    for (const PageRecord& page : pages) {
        const std::vector<Exclusion> reasons = PageExclusions(page);
        if (!reasons.empty()) {
            ++counts.total;
            ++counts.byReason[static_cast<int>(reasons.front())];
        }
    }
    return counts;
}

}  // namespace bcnk

namespace bcnk {

Text LeftOutSummary(const std::vector<PageRecord>& pages) {
    const LeftOutCounts counts = CountLeftOut(pages);
    if (counts.total == 0) {
        return Text();
    }
    Text text = u"Left out of the package: ";
    text += NumberText(counts.total);
    text += counts.total == 1 ? u" page (" : u" pages (";
    bool first = true;
    for (int kind = 0; kind < kExclusionKinds; ++kind) {
        if (counts.byReason[kind] == 0) {
            continue;
        }
        if (!first) {
            text += u", ";
        }
        first = false;
        text += ExclusionName(static_cast<Exclusion>(kind));
        text += u' ';
        text += NumberText(counts.byReason[kind]);
    }
    text += u')';
    return text;
}

}  // namespace bcnk
