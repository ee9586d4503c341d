#pragma once
// The plain records that carry one scan from the form, through the crawl, to the views and
// the package generators. Value types only: copying copies everything.
#include <cstdint>
#include <vector>

#include "common/settings.h"
#include "common/text.h"
#include "scan/usage_types.h"

namespace bcnk {

enum class PageClass : std::int32_t {
    Product = 0,
    Article = 1,
    Guide = 2,
    Utility = 3,
    Legal = 4,
    Index = 5,
    Other = 6,
};

// The word shown in the page list's "Class" column and in the crawl log; any value outside
// Product..Index shows as "Other".
Text PageClassName(PageClass pageClass);

enum class CheckState : std::int32_t {
    Ok = 0,
    Missing = 1,
    NeedsUpdate = 2,
    Blocking = 3,
};

// The symbol of the status list's "Status" column: "OK", "X", "!" or "BLOCK".
Text CheckStateSymbol(CheckState state);

// Page-limit marker meaning "no limit"; a crawl that stops there is not reported as limited.
constexpr int kNoPageLimit = 1000000;

struct ScanOptions {
    Text startUrl;
    int maxDepth = 3;
    int delayMs = 500;
    int maxPages = 500;
    Text userAgent = DefaultUserAgent();
    // Requests in flight at once; only a crawl without a pause between pages uses more than one.
    int connections = 4;
    // Pages that the site's robots.txt disallows for our own user-agent token are not fetched.
    bool respectRobots = true;
};

struct PageRecord {
    Text url;
    Text title;
    Text description;
    Text h1;
    Text lastModified;
    std::vector<Text> headings;
    std::vector<Text> schemaTypes;
    Text productName;
    int wordCount = 0;
    int httpStatus = 0;
    int depth = 0;
    PageClass pageClass = PageClass::Other;

    bool operator==(const PageRecord&) const = default;
};

// A page the crawl queued but did not store: an error status, a body that is not HTML, no
// answer at all, or a page robots.txt keeps out. reason is a short phrase for people
// ("HTTP 404", "connection refused", "blocked by robots.txt").
struct SkippedPage {
    Text url;
    int depth = 0;
    int httpStatus = 0;  // 0 when no response was received
    Text reason;

    bool operator==(const SkippedPage&) const = default;
};

// What a known AI crawler is for; each purpose follows one of the owner's permissions.
enum class CrawlerPurpose : std::int32_t {
    Training = 0,       // collects text to train models
    Search = 1,         // indexes pages so an AI search can cite them
    UserTriggered = 2,  // fetches a page when a user asks about it
};

// "Training", "Search" or "User-triggered".
Text CrawlerPurposeName(CrawlerPurpose purpose);

enum class CrawlerAccessLevel : std::int32_t {
    Allowed = 0,
    Blocked = 1,
    Partly = 2,  // allowed at "/" but some crawled pages are blocked
};

// "Allowed", "Blocked" or "Partly".
Text CrawlerAccessLevelName(CrawlerAccessLevel access);

// How the site's robots.txt treats one crawler of the AI-crawler table.
struct CrawlerAccess {
    Text token;         // the product token robots.txt names it by
    Text operatorName;  // who runs it
    CrawlerPurpose purpose = CrawlerPurpose::Training;
    CrawlerAccessLevel access = CrawlerAccessLevel::Allowed;
    Text decidingRule;  // the robots.txt line that decided, e.g. "Disallow: /"; empty when none

    bool operator==(const CrawlerAccess&) const = default;
};

struct DiscoveryCheck {
    Text label;
    Text path;
    CheckState state = CheckState::Ok;
    Text details;
    bool scored = false;

    bool operator==(const DiscoveryCheck&) const = default;
};

struct ScanResult {
    Text host;
    Text baseUrl;
    Text requestedUrl;  // the start address the scan was asked for
    Text finalUrl;      // where the start page was found after redirects
    Text scanTime;      // when the crawl started, UTC, RFC 3339 ("2026-12-08T00:15:44Z")
    Text language;
    Text siteDescription;
    Text organizationName;
    Text personName;
    std::vector<PageRecord> pages;
    std::vector<SkippedPage> skippedPages;  // queued but not stored, in crawl order
    std::vector<DiscoveryCheck> checks;
    std::vector<CrawlerAccess> crawlerAccess;  // one row per AI-crawler table entry
    std::vector<Text> topics;
    int elapsedSeconds = 0;
    int score = 0;
    bool pageLimitReached = false;
    bool cancelled = false;
    Text robotsTxt;
    int robotsStatus = 0;
    bool robotsFound = false;
    // What the site declares about the use of its content (robots.txt, headers, meta tags).
    UsageFindings usage;

    bool operator==(const ScanResult&) const = default;
};

}  // namespace bcnk
