#pragma once
// What the scan found out about the site's own sitemaps and about the pace the server asked
// for: plain records carried in the scan result.
#include <vector>

#include "common/text.h"

namespace bcnk {

// One sitemap file as it was read.
struct SitemapFileSummary {
    Text url;
    int httpStatus = 0;
    Text kind;          // "urlset", "sitemap index", "text", "HTML page", "not a sitemap", ...
    int entries = 0;    // addresses it lists
    bool gzipped = false;
    bool limitReached = false;  // 50,000 addresses or 50 MiB: the rest was not read
    Text problem;       // why it gave no addresses; empty when it was read as a sitemap

    bool operator==(const SitemapFileSummary&) const = default;
};

// A sitemap entry that is no good listing: an error status, a redirect, a page robots.txt
// keeps out, an address on another site.
struct SitemapIssue {
    Text url;
    int httpStatus = 0;
    Text problem;  // "HTTP 404", "redirect", "blocked by robots.txt", "on another site", ...
    Text target;   // where a redirect leads; else empty

    bool operator==(const SitemapIssue&) const = default;
};

struct SitemapAudit {
    bool read = false;  // the scan read the site's sitemaps (not switched off)
    std::vector<SitemapFileSummary> files;
    int listed = 0;      // page addresses of this site the sitemaps list
    int otherSite = 0;   // addresses on another host or scheme, ignored
    int overCap = 0;     // addresses past what one scan keeps
    int seeded = 0;      // addresses the crawl queued from the sitemaps
    std::vector<Text> orphans;    // stored pages no crawled page links to, found by sitemap
    std::vector<Text> notListed;  // stored pages missing from every sitemap
    // False when the sitemaps were not read in full, so "missing" could be wrong.
    bool notListedJudged = false;
    std::vector<SitemapIssue> issues;
    int issueCount = 0;  // all issues, also those past the list's cap

    bool operator==(const SitemapAudit&) const = default;
};

// How often the server asked the crawl to slow down, and what the crawl did about it.
struct PolitenessSummary {
    int crawlDelayMs = 0;      // robots.txt Crawl-delay honoured (capped), 0 when none
    bool crawlDelayCapped = false;
    int slowDowns = 0;         // 429 and 503 answers
    int retries = 0;           // requests sent again after a refusal, a reset or a time-out
    int waitedMs = 0;          // time spent waiting before retries
    bool singleConnection = false;  // a 429 cut the crawl to one request at a time

    bool operator==(const PolitenessSummary&) const = default;
};

}  // namespace bcnk
