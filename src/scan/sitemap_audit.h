#pragma once
// The site's sitemaps held against the crawl: which listed pages only the sitemap led to
// (orphans), which stored pages no sitemap lists, and which listings are no good (an error,
// a redirect, a page robots.txt keeps out, another site). The crawl reports what it saw;
// the verdicts are made once at the end.
#include <cstddef>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "common/text.h"
#include "scan/scan_types.h"
#include "scan/sitemap_reader.h"

namespace bcnk {

// Lists in the audit stop here; the counts go on.
inline constexpr std::size_t kMaxSitemapIssues = 1000;

class SitemapLedger {
  public:
    // At most `linkCap` distinct link targets are remembered (the crawl's own key cap; 0
    // when sitemaps are not used): a site with an endless link space cannot grow the ledger
    // without bound.
    explicit SitemapLedger(std::size_t linkCap) : linkCap_(linkCap) {}

    void Load(SitemapReading reading);
    bool Active() const { return !listed_.empty(); }
    const std::vector<SitemapEntry>& Entries() const { return reading_.entries; }

    // The sitemap's lastmod for a listed address, as an HTTP date; empty when none.
    Text LastModifiedFor(const Text& address) const;

    // Links of a stored page, resolved against `base` as the crawl resolves them.
    void NoteLinks(const Text& base, const std::vector<Text>& hrefs);
    // How a fetch (or a refusal by robots.txt) of `requested` ended: `arrived` after
    // redirects, `skipReason` empty when the page was stored.
    void NoteOutcome(const Text& requested, const Text& arrived, int status, const Text& skipReason);

    void SetSeeded(int count) { seeded_ = count; }
    SitemapAudit Audit(const std::vector<PageRecord>& pages) const;

  private:
    bool Listed(const Text& key) const { return listed_.contains(key); }
    bool Linked(const Text& key) const { return linked_.contains(key); }

    std::size_t linkCap_;
    SitemapReading reading_;
    std::unordered_map<Text, std::size_t> listed_;  // duplicate key -> index in entries
    std::unordered_set<Text> linked_;               // duplicate keys of link targets
    bool linksOverflowed_ = false;
    std::unordered_map<Text, Text> arrivedFrom_;    // arrived key -> requested key, redirects
    std::vector<SitemapIssue> issues_;
    int issueCount_ = 0;
    int seeded_ = 0;
};

}  // namespace bcnk
