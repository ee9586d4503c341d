#pragma once
// Whether the package may list a page, and why not: the page's robots directives, its
// canonical address and its copies, read from the page and its headers (analysis/
// page_signals.h) and judged against the crawlers we know. The crawl only labels pages; it
// still fetches noindex pages and follows their links, as an auditor would.
#include <vector>

#include "analysis/page_signals.h"
#include "net/http.h"
#include "scan/scan_types.h"

namespace bcnk {

// Why a page is left out, in the order a page's first reason is chosen for labels and counts.
enum class Exclusion : std::int32_t {
    Noindex = 0,            // noindex or none for every crawler or for a search engine
    CanonicalElsewhere = 1, // its canonical names another page of the site
    Duplicate = 2,          // its visible text repeats an earlier page's
    StatusNot200 = 3,       // it answered with a redirect status the client did not follow
    MarkedAgainstAi = 4,    // noai, or noindex for an AI crawler: left out of AI files only
};
inline constexpr int kExclusionKinds = 5;

// "noindex", "canonical elsewhere", "duplicate", "status not 200", "marked against AI".
Text ExclusionName(Exclusion exclusion);

// Every reason that applies, in enumeration order; empty for a page every list may hold.
std::vector<Exclusion> PageExclusions(const PageRecord& page);

enum class ListAudience {
    Search,  // sitemap.xml
    Ai,      // ai-sitemap.xml, llms.txt, llms-lite.txt, ai-discovery.md, the knowledge graph
};

// The one question every generated list asks.
bool MayList(const PageRecord& page, ListAudience audience);

// The scan as a generator for `audience` should see it: only pages it may list, each under
// its canonical address when it names its own page by another spelling.
ScanResult PublishableScan(const ScanResult& scan, ListAudience audience);

// The page list's label: "Yes", "noindex", "canonical → /a/one.html", "duplicate of /x",
// "status not 200" or "noai"; addresses on the site shown by their path.
Text IndexableLabel(const PageRecord& page, const Text& baseUrl);

// Fills the record's directives and canonical from the page's signals and the response.
// `linkBase` is the address links of the page resolve against (its <base href> applied).
void TakePageSignals(const PageSignals& signals, const FetchResult& fetched,
                     const Text& linkBase, const Text& host, PageRecord& record);

// Sets duplicateOf on every page whose visible text repeats another's: all members of a
// group point at the one the others name as canonical, else at the first in crawl order.
// textHashes holds PageSignals::textHash of each page, in the same order.
void MarkDuplicates(std::vector<PageRecord>& pages, const std::vector<std::uint64_t>& textHashes);

// True when two addresses name one page: same host and DuplicateKey but for the scheme.
bool SamePage(const Text& a, const Text& b);

}  // namespace bcnk

namespace bcnk {

// Pages left out of at least one generated list, counted by their first reason.
struct LeftOutCounts {
    int total = 0;
    int byReason[kExclusionKinds] = {};
};
LeftOutCounts CountLeftOut(const std::vector<PageRecord>& pages);

}  // namespace bcnk

namespace bcnk {

// "Left out of the package: 4 pages (noindex 1, canonical elsewhere 1, duplicate 1, marked
// against AI 1)", reasons with no page omitted; empty when every page is listed.
Text LeftOutSummary(const std::vector<PageRecord>& pages);

}  // namespace bcnk
