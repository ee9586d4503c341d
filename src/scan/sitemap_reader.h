#pragma once
// The site's sitemaps fetched and read as crawlers read them: every file robots.txt names,
// else /sitemap.xml; a sitemap index one level deep; gzip recognised by content; XML or plain
// text. Each file is parsed as it arrives, so a 50 MiB file costs no more memory than a small
// one; what is kept is bounded by the limits below.
#include <atomic>
#include <cstddef>
#include <vector>

#include "common/text.h"
#include "scan/sitemap_parser.h"
#include "scan/sitemap_types.h"

namespace bcnk {

struct SitemapLimits {
    std::size_t maxEntriesPerFile = kSitemapMaxEntries;
    std::size_t maxBytesPerFile = kSitemapMaxBytes;
    std::size_t maxKeptEntries = 1000;  // page addresses kept over all files
    std::size_t maxFiles = 64;          // files fetched, index and children together
};

// Page addresses worth keeping for a crawl that stores at most `maxPages`: room for a
// sitemap that lists far more than the crawl will fetch, so that the audit still knows which
// stored pages are listed.
SitemapLimits SitemapLimitsFor(int maxPages);

struct SitemapReading {
    std::vector<SitemapFileSummary> files;  // in the order read
    // Page addresses on the site itself, the first listing of each, in sitemap order.
    std::vector<SitemapEntry> entries;
    std::size_t otherSite = 0;  // page addresses on another host or scheme: ignored
    std::vector<Text> otherSiteSamples;  // the first few of them, for the audit's list
    std::size_t overCap = 0;    // site addresses past maxKeptEntries
    // Addresses written relative ("/about.html"): crawlers expect full ones, so they are
    // listings to fix; the scan still takes them, resolved against their file.
    std::size_t relative = 0;
    std::vector<Text> relativeSamples;
};

// `siteOrigin` is "scheme://host[:port]"; `named` are the Sitemap lines of its robots.txt
// (a relative one is taken relative to the site).
SitemapReading ReadSitemaps(const Text& siteOrigin, const std::vector<Text>& named,
                            const Text& userAgent, const SitemapLimits& limits,
                            const std::atomic<bool>& cancelFlag);

// A sitemap's W3C date ("2026-11-30" or "2026-11-30T10:00:00+01:00") as an HTTP date
// ("Mon, 30 Nov 2026 00:00:00 GMT"), the form pages' Last-Modified headers have; empty when
// it is no valid date. Only the day is taken: that is all a sitemap date is used for.
Text HttpDateOfSitemapDate(const Text& lastmod);

}  // namespace bcnk
