#pragma once
// The plain records that carry one scan from the form, through the crawl, to the views and
// the package generators. Value types only: copying copies everything.
#include <cstdint>
#include <memory>
#include <vector>

#include "common/settings.h"
#include "common/text.h"
#include "scan/sitemap_types.h"
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
// The start page and up to 24 more, spread over the page classes.
constexpr int kDefaultRenderPages = 25;
constexpr int kRenderAllPages = kNoPageLimit;

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

    // Sitemaps: read the site's own and queue what they list after the start page's links.
    bool useSitemaps = true;
    // What AI crawlers actually get, checked after the crawl without changing its result.
    // Off unless a front end asks: the window and the console turn both on by default.
    bool agentCheck = false;  // ask the server as each AI crawler and as a browser
    // Pages rendered in a headless browser: 0 for none, kRenderAllPages for every page.
    int renderPages = 0;
    Text browserPath;  // empty: look for an installed Chromium-based browser
    // Links keep their tracking parameters (utm_source, gclid, ...) and such variants are
    // fetched as pages of their own.
    bool keepQueryTracking = false;
    // Scope of the crawl: path patterns ("*" as in robots.txt) of the pages to take, those to
    // leave, and whether only pages under the start address's folder are taken.
    std::vector<Text> includePaths;
    std::vector<Text> excludePaths;
    bool withinStartFolder = false;
};

// The deepest link level a crawl may be asked for.
constexpr int kMaxCrawlDepth = 20;

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

    // What the page says about being published, judged by scan/indexability.h. Kept small:
    // directives only for the crawlers we judge, addresses only when the page gives them.
    std::vector<Text> robotsDirectives;  // "noindex", "gptbot: noindex": agent-specific ones named
    Text canonical;         // the page's canonical address on this site, resolved; empty if none
    Text canonicalIgnored;  // a canonical that cannot count (another site, not http(s)), as given
    Text duplicateOf;       // the page whose visible text this page repeats; empty when none

    // What the page's markup shows of its kind (see analysis/page_kind.h), the first
    // sentence of its text and the language it reads in (declared, else recognised).
    int linkCount = 0;
    int documentationMarks = 0;
    bool documentationTool = false;
    int priceMarks = 0;
    bool addToCart = false;
    bool articleMeta = false;
    int itemBlocks = 0;
    Text leadSentence;
    Text language;

    // The page's main content: its words, and where its Markdown twin lies in the scan's
    // spool (markdownBytes 0: no twin).
    int mainWordCount = 0;
    std::uint64_t markdownAt = 0;
    std::uint32_t markdownBytes = 0;

    // What the page's metas and microdata say of products (see analysis/page_kind.h).
    bool productMeta = false;
    bool productGroupMeta = false;
    int productItems = 0;

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
    Text linkedFrom{};  // the page whose link first queued it; empty for the start page

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

// The server's answer to one AI crawler, measured against its answer to a desktop browser.
enum class AgentVerdict : std::int32_t {
    SameAsBrowser = 0,
    Refused = 1,      // an error status the browser did not get
    Challenge = 2,    // a bot challenge page instead of the content
    RateLimited = 3,  // HTTP 429
    DifferentContent = 4,
    SentElsewhere = 5,  // redirected where the browser was not
    NoAnswer = 6,
};

struct AgentAnswer {
    Text token;      // the table crawler
    Text probedAs;   // the crawler whose requests stand for it (itself, or e.g. Googlebot)
    Text userAgent;  // what was sent
    AgentVerdict verdict = AgentVerdict::SameAsBrowser;
    int status = 0;  // the status that gave the verdict; 0 when none came
    // The challenge marker, the percentage of fewer words, the redirect target or the reason
    // for no answer; empty otherwise.
    Text detail;
    Text page;  // the page the verdict was seen on

    bool operator==(const AgentAnswer&) const = default;
};

// Whether a page's content is there without scripts, from a headless render of it.
enum class RenderVerdict : std::int32_t {
    SameWithoutScripts = 0,
    NeedsJavaScript = 1,  // most of the rendered text only appears after scripts run
    ScriptsAddSome = 2,   // scripts add text or links, but the page reads without them
    NotRendered = 3,      // the browser gave no page (time limit, crash); `note` says why
};

struct PageRender {
    Text url;
    RenderVerdict verdict = RenderVerdict::NotRendered;
    int rawWords = 0;
    int renderedWords = 0;
    int scriptOnlyWords = 0;  // rendered words that the raw response does not have
    int scriptOnlyLinks = 0;  // same-site links that only exist after rendering
    std::vector<Text> changed;  // "title", "H1", "description", "canonical", "meta robots"
    Text note;

    bool operator==(const PageRender&) const = default;
};

enum class RenderState : std::int32_t {
    Off = 0,        // not asked for
    NoBrowser = 1,  // "not checked: no browser found"
    Done = 2,
    Cancelled = 3,
};

struct RenderCheck {
    RenderState state = RenderState::Off;
    Text browser;  // the program that rendered
    std::vector<PageRender> pages;
    // Same-site pages that rendered links lead to and the crawl (which, like the AI crawlers,
    // reads no scripts) never reached.
    std::vector<Text> scriptOnlyPages;

    bool operator==(const RenderCheck&) const = default;
};

class MarkdownSpool;

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
    // robots.txt as served, byte for byte, whenever robotsTxt is stored: robotsTxt is its
    // UTF-8 reading for display, and the owner's file may be in any encoding.
    std::string robotsBytes;
    // The start page's links within the site, resolved, in page order: its navigation
    // first, as a rule, then its content.
    std::vector<Text> startPageLinks;

    // The site's sitemaps as a source and an audit, and the pace the server asked for.
    SitemapAudit sitemaps;
    PolitenessSummary politeness;
    // What AI crawlers actually get: the server's answer to each, and what needs scripts.
    std::vector<AgentAnswer> agentAnswers;  // one per AI-crawler table row; empty when unchecked
    int agentCheckRequests = 0;
    RenderCheck render;
    // Whether the start page answered at all. When it did not (refused, not resolved, timed
    // out, TLS failure) the scan stopped there: no probes, no crawler verdicts, no score.
    bool reachable = true;
    Text unreachableReason;
    // robots.txt keeps our crawl out of the start page, and so out of every page.
    bool robotsBlockAll = false;
    // What the site declares about the use of its content (robots.txt, headers, meta tags).
    UsageFindings usage;
    // The Markdown twins of the stored pages, spooled to a temporary file during the crawl;
    // null when none were written. Shared by the copies of this result, removed with the last.
    std::shared_ptr<const MarkdownSpool> markdown;

    bool operator==(const ScanResult&) const = default;
};

}  // namespace bcnk
