#include "scan/crawler.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <thread>

#include "analysis/classify.h"
#include "analysis/html_parser.h"
#include "analysis/language.h"
#include "analysis/page_record.h"
#include "analysis/topics.h"
#include "common/debug_log.h"
#include "scan/after_crawl.h"
#include "scan/crawl_frontier.h"
#include "scan/crawl_scope.h"
#include "scan/discovery.h"
#include "scan/crawl_sitemaps.h"
#include "scan/politeness.h"
#include "scan/sitemap_audit.h"
#include "scan/sitemap_figures.h"
#include "scan/indexability.h"
#include "scan/markdown_spool.h"
#include "scan/page_content.h"
#include "net/tracking_parameters.h"
#include "net/http.h"
#include "scan/robots_rules.h"
#include "scan/usage_preferences.h"
#include "net/url.h"

namespace bcnk {
namespace {

constexpr int kMaxTopics = 8;
constexpr int kPauseStepMs = 50;

// A millisecond tick that wraps like the system's 32-bit tick count; differences are taken
// in unsigned arithmetic, so a wrap during the scan does no harm.
std::uint32_t TickMs() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void Report(const CrawlProgress& progress, const Text& message, int pageCount) {
    if (progress) {
        progress(message, pageCount);
    }
}

int PageCount(const ScanResult& result) {
    return static_cast<int>(result.pages.size());
}

// The time as RFC 3339 in UTC, to the second: "2026-12-08T00:15:44Z".
Text UtcTimestamp() {
    using namespace std::chrono;
    const auto now = floor<seconds>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day date(day);
    const hh_mm_ss<seconds> time(now - day);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02uT%02d:%02d:%02dZ",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<int>(time.hours().count()),
                  static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return AsciiToText(buffer);
}

Text SkipLine(const QueuedPage& page, int status, const Text& reason);

// Where a fetch of `page` ended: the queued address itself when no redirect was followed,
// else the redirect's target in the form links resolve to, so that it finds the same key.
Text ArrivedAddress(const QueuedPage& page, const FetchResult& fetched) {
    if (fetched.finalUrl.empty() || fetched.finalUrl == page.address) {
        return page.address;
    }
    const Text arrived = ResolveLink(Text(), fetched.finalUrl);
    return arrived.empty() ? page.address : arrived;
}

// A start page that redirects to another origin (example.com to www.example.com, http to
// https) shows where the site lives: the same-site test and the probes follow it there.
void AdoptStartOrigin(const Text& arrived, ScanResult& result) {
    const Text origin = OriginOf(arrived);
    if (origin.empty() || origin == result.baseUrl) {
        return;
    }
    DebugLog::Write(u"Site moved: " + result.requestedUrl + u" redirects to " + arrived +
                    u"; crawling " + origin);
    result.host = HostKey(arrived);
    result.baseUrl = origin;
}

// The media type alone, for a reason text: "application/pdf" of "application/pdf; q=1".
Text MediaType(const Text& contentType) {
    return Trim(contentType.substr(0, contentType.find(u';')));
}

// Why a fetched page is not stored, or empty when it is analysed.
Text SkipReason(const FetchResult& fetched, const Text& arrived, const Text& host) {
    if (fetched.status == 0) {
        return fetched.reason.empty() ? Text(u"no response") : fetched.reason;
    }
    if (HostKey(arrived) != host) {
        return u"redirect to another site (" + arrived + u")";
    }
    if (fetched.status < 200 || fetched.status > 399) {
        return u"HTTP " + NumberText(fetched.status);
    }
    if (!fetched.contentType.empty() && !ContainsNoCase(fetched.contentType, u"html")) {
        return u"not HTML (" + MediaType(fetched.contentType) + u")";
    }
    if (fetched.body.empty()) {
        return u"empty body";
    }
    return Text();
}

// Links resolve against the page's own address, or against its <base href> when it has one.
Text LinkBase(const Text& pageAddress, const ParsedPage& parsed) {
    if (parsed.baseHref.empty()) {
        return pageAddress;
    }
    const Text base = ResolveLink(pageAddress, DecodeEntities(parsed.baseHref));
    return base.empty() ? pageAddress : base;
}

PageRecord MakeRecord(const QueuedPage& queued, const FetchResult& fetched,
                      const ParsedPage& parsed, const SitemapLedger& sitemaps) {
    PageRecord record = PageRecordOf(queued.address, parsed);
    // What the page declares comes first, then what its server says, then its text.
    if (parsed.language.empty()) {
        for (const Text& value : fetched.HeaderValues(u"content-language")) {
            const Text primary = PrimaryLanguage(value);
            if (!primary.empty()) {
                record.language = primary;
                break;
            }
        }
    }
    record.depth = queued.depth;
    record.httpStatus = fetched.status;
    // A sitemap's date stands in for a server that sends none.
    record.lastModified = fetched.lastModified.empty() ? sitemaps.LastModifiedFor(queued.address)
                                                       : fetched.lastModified;
    return record;
}

// The site-wide facts come from the first pages that have them, except the description,
// which only the start page may give.
void TakeSiteFacts(const ParsedPage& parsed, bool isStartPage, ScanResult& result) {
    if (isStartPage) {
        result.siteDescription = parsed.description;
        if (!parsed.organizationName.empty()) {
            result.organizationName = parsed.organizationName;
        }
    }
    if (result.organizationName.empty()) {
        result.organizationName = parsed.organizationName;
    }
    if (result.personName.empty()) {
        result.personName = parsed.personName;
    }
}

// The page's links the crawl may follow (on the site and within the chosen scope), resolved,
// in page order.
std::vector<Text> SiteLinks(const QueuedPage& page, const ParsedPage& parsed, const Text& host,
                            bool keepTracking, const CrawlScope& scope) {
    const Text base = LinkBase(page.address, parsed);
    std::vector<Text> links;
    for (const Text& href : parsed.links) {
        Text target = ResolveLink(base, DecodeEntities(href));
        if (!keepTracking) {
            target = DropTrackingParameters(target);
        }
        if (!target.empty() && HostKey(target) == host && !IsSkippedExtension(target) &&
            scope.Contains(target)) {
            links.push_back(std::move(target));
        }
    }
    return links;
}

void QueueLinks(const QueuedPage& page, const std::vector<Text>& links, CrawlFrontier& frontier) {
    for (const Text& target : links) {
        if (frontier.Add(target, page.depth + 1, page.address) == QueueOutcome::Full) {
            return;
        }
    }
}

// A page whose <meta> refresh moves its reader at once is followed like a redirect: the
// target is fetched next, at the same depth, and stored instead. Returns the reason the
// page is not stored when the refresh leads nowhere the crawl may go, and sets `moved` when
// the page gives way to its target.
Text FollowRefresh(const QueuedPage& page, const ParsedPage& parsed, const Text& host,
                   CrawlFrontier& frontier, bool& moved) {
    moved = false;
    if (parsed.refreshTarget.empty()) {
        return Text();
    }
    const Text target = ResolveLink(LinkBase(page.address, parsed), parsed.refreshTarget);
    if (target.empty() || DuplicateKey(target) == DuplicateKey(page.address)) {
        return Text();  // a page that reloads itself is a page
    }
    moved = true;
    if (HostKey(target) != host) {
        return u"redirect to another site (" + target + u")";
    }
    if (page.refreshHops >= Http::kMaxRedirects) {
        return kReasonTooManyRedirects;
    }
    DebugLog::Write(u"refresh d" + NumberText(page.depth) + u" - " + page.address + u" -> " +
                    target);
    frontier.AddNext(QueuedPage{target, page.depth, page.linkedFrom, page.refreshHops + 1});
    return Text();
}

// No answer at all: refused, not resolved, timed out, TLS failure. A server that answered
// with redirects the client would not follow (a loop, another scheme) or with a body it
// cannot decode did answer.
bool GotNoAnswer(const FetchResult& fetched) {
    return fetched.status == 0 && fetched.reason != kReasonTooManyRedirects &&
           fetched.reason != kReasonOtherScheme && fetched.reason.rfind(kReasonUndecodable, 0) != 0;
}

bool IsFirstFetch(const QueuedPage& page) {
    return page.depth == 0 && page.refreshHops == 0;
}

void Skip(const QueuedPage& page, int status, const Text& reason, ScanResult& result) {
    DebugLog::Write(SkipLine(page, status, reason));
    result.skippedPages.push_back({page.address, page.depth, status, reason, page.linkedFrom});
}

// The server's own requests about pace and the sitemap findings, for the log's last lines.
void LogPoliteness(const PolitenessSummary& politeness) {
    if (politeness.slowDowns > 0 || politeness.retries > 0) {
        DebugLog::Write(u"The server asked us to slow down " + NumberText(politeness.slowDowns) +
                        u" times; " + NumberText(politeness.retries) + u" retries, " +
                        NumberText(politeness.waitedMs / 1000) + u" s waited");
    }
}

void PauseBetweenPages(int delayMs, const std::atomic<bool>& cancelFlag) {
    for (int paused = 0; paused < delayMs && !cancelFlag.load(); paused += kPauseStepMs) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kPauseStepMs));
    }
}

Text StartLine(const ScanResult& result, const ScanOptions& options) {
    return u"Crawl start: base=" + result.baseUrl + u" host=" + result.host + u" depth=" +
           NumberText(options.maxDepth) + u" delay=" + NumberText(options.delayMs) +
           u"ms maxPages=" + NumberText(options.maxPages);
}

Text PageLine(int number, const PageRecord& record) {
    return u"page #" + NumberText(number) + u" [" + NumberText(record.httpStatus) + u"] d" +
           NumberText(record.depth) + u" " + PageClassName(record.pageClass) + u" - " + record.url;
}

Text SkipLine(const QueuedPage& page, int status, const Text& reason) {
    return u"skip [" + NumberText(status) + u"] d" + NumberText(page.depth) + u" (" + reason +
           u") - " + page.address;
}

Text CompleteLine(const ScanResult& result, bool cancelled) {
    return u"Crawl complete: " + NumberText(PageCount(result)) + u" pages, score " +
           NumberText(result.score) + u"%, " + NumberText(result.elapsedSeconds) + u"s" +
           (cancelled ? u" (cancelled)" : u"");
}

}  // namespace

ScanResult Crawl(const ScanOptions& options, const std::atomic<bool>& cancelFlag,
                 const CrawlProgress& progress) {
    ScanResult result;
    const std::uint32_t startTick = TickMs();
    result.host = HostKey(options.startUrl);
    result.baseUrl = OriginOf(options.startUrl);
    if (result.baseUrl.empty()) {
        DebugLog::Write(u"Crawl aborted: invalid URL '" + options.startUrl + u"'");
        Report(progress, u"Invalid URL", 0);
        return result;
    }

    // A fragment names a place in the page, never another page.
    Text startAddress = result.baseUrl + WithoutFragment(ParseUrl(options.startUrl).path);
    result.requestedUrl = startAddress;
    result.scanTime = UtcTimestamp();
    // The pages' Markdown twins go to disk as they come: only the package reads them.
    auto spool = std::make_shared<MarkdownSpool>();
    if (spool->Usable()) {
        result.markdown = spool;
    } else {
        DebugLog::Write(u"No temporary file for the pages' Markdown: the package will have none");
        spool.reset();
    }
    // Three keys per allowed page leaves room for links that fail or are not HTML; 64-bit
    // so that an extreme page limit cannot overflow the cap.
    const long long keyCap = 3LL * options.maxPages;
    CrawlFrontier frontier(keyCap > 0 ? static_cast<std::size_t>(keyCap) : 0);
    frontier.Seed(startAddress);
    CrawlScope scope(options);
    scope.SetStart(startAddress);
    DebugLog::Write(StartLine(result, options));
    // Read before the first page, and the same answer makes the discovery row.
    CrawlRobots robots(options.userAgent, options.respectRobots);
    robots.ReadFor(result.baseUrl);

    // Fingerprints of the stored pages' text, kept beside them only until copies are marked.
    std::vector<std::uint64_t> textHashes;
    PoliteFetcher fetcher(options.delayMs, options.connections, options.userAgent, cancelFlag,
                          result.politeness, [&](const Text& message) {
                              DebugLog::Write(message);
                              Report(progress, message, PageCount(result));
                          });
    fetcher.Obey(robots.File());
    SitemapLedger sitemaps(options.useSitemaps ? frontier.KeyCap() : 0);
    PageUsageCounts usageCounts;
    while (!frontier.Empty()) {
        if (cancelFlag.load()) {
            break;
        }
        if (PageCount(result) >= options.maxPages) {
            result.pageLimitReached = options.maxPages < kNoPageLimit;
            break;
        }
        QueuedPage page = frontier.Take();
        if (!robots.Permits(page.address)) {
            result.robotsBlockAll = result.robotsBlockAll || IsFirstFetch(page);
            Skip(page, 0, kBlockedByRobots, result);
            sitemaps.NoteOutcome(page.address, page.address, 0, kBlockedByRobots);
            continue;
        }
        Report(progress, u"Crawling: " + page.address, PageCount(result));
        // Pages robots.txt keeps out are not fetched ahead either.
        std::vector<Text> upcoming = frontier.Upcoming(fetcher.Ahead());
        std::erase_if(upcoming, [&](const Text& address) { return !robots.Permits(address); });
        const FetchResult fetched = fetcher.Get(page.address, upcoming);
        if (cancelFlag.load()) {
            break;  // whatever arrived after the cancel, the page is not taken
        }
        const bool isStartPage = page.depth == 0;
        const Text arrived = ArrivedAddress(page, fetched);
        if (IsFirstFetch(page) && GotNoAnswer(fetched)) {
            // No answer at all: there is no site to judge, so nothing else is asked of it.
            Skip(page, 0, fetched.reason, result);
            result.reachable = false;
            result.unreachableReason = fetched.reason;
            break;
        }
        if (isStartPage && fetched.status != 0) {
            result.finalUrl = arrived;
            startAddress = arrived;
            scope.SetStart(arrived);
            AdoptStartOrigin(arrived, result);
            robots.ReadFor(result.baseUrl);
            fetcher.Obey(robots.File());
        }
        const Text reason = SkipReason(fetched, arrived, result.host);
        sitemaps.NoteOutcome(page.address, arrived, fetched.status, reason);
        if (!reason.empty()) {
            Skip(page, fetched.status, reason, result);
        } else if (!frontier.Arrive(page.address, arrived)) {
            // Another address already led to this page; it is stored once.
            DebugLog::Write(SkipLine(page, fetched.status, u"same page as " + arrived));
        } else {
            page.address = arrived;
            const ParsedPage parsed = ParseHtmlPage(fetched.body, fetched.contentType);
            bool moved = false;
            const Text refreshProblem = FollowRefresh(page, parsed, result.host, frontier, moved);
            if (moved) {
                if (!refreshProblem.empty()) {
                    Skip(page, fetched.status, refreshProblem, result);
                }
                continue;  // the pause is for the target's fetch, which comes next
            }
            PageRecord record = MakeRecord(page, fetched, parsed, sitemaps);
            TakeMainContent(fetched.body, fetched.contentType, page.address, spool.get(), record);
            sitemaps.NoteLinks(LinkBase(page.address, parsed), parsed.links);
            TakePageSignals(parsed.signals, fetched, LinkBase(page.address, parsed), result.host,
                            record);
            TakeSiteFacts(parsed, isStartPage, result);
            if (result.language.empty()) {
                result.language = record.language;
            }
            const std::vector<Text> links =
                SiteLinks(page, parsed, result.host, options.keepQueryTracking, scope);
            if (isStartPage) {
                result.startPageLinks = links;
            }
            CountPageUsage(fetched.headers, parsed.tdmReservation, parsed.tdmPolicy, usageCounts);
            // noindex and nofollow pages are still followed: the owner sees the whole site.
            if (page.depth < options.maxDepth) {
                QueueLinks(page, links, frontier);
            }
            record.pageClass = ClassifyPage(record, startAddress);
            result.pages.push_back(std::move(record));
            textHashes.push_back(parsed.signals.textHash);
            DebugLog::Write(PageLine(PageCount(result), result.pages.back()));
        }
        if (isStartPage && options.useSitemaps && !cancelFlag.load()) {
            Report(progress, u"Reading the site's sitemaps...", PageCount(result));
            SeedFromSitemaps(options, result.baseUrl, robots.Answer(), scope, frontier, sitemaps,
                             cancelFlag);
        }
        if (!frontier.Empty() && fetcher.PauseMs() > 0) {
            PauseBetweenPages(fetcher.PauseMs(), cancelFlag);
        }
    }
    fetcher.Finish();
    MarkDuplicates(result.pages, textHashes);
    if (options.useSitemaps) {
        result.sitemaps = sitemaps.Audit(result.pages);
    }
    LogPoliteness(result.politeness);

    if (result.language.empty()) {
        result.language = u"en";
    }
    if (!cancelFlag.load() && result.reachable) {
        Report(progress, u"Checking AI discovery files...", PageCount(result));
        RunDiscoveryChecks(result.baseUrl, options.userAgent, robots.Answer(), result, cancelFlag);
        AddSitemapCounts(result.sitemaps, result.checks);
        result.usage = FindUsagePreferences(
            RobotsTxtForAnswer(robots.Answer().status, robots.Answer().body), result.pages,
            usageCounts);
        for (const DiscoveryCheck& check : result.checks) {
            DebugLog::Write(u"ADP: " + check.label + u" = " + check.details);
        }
    }
    ClassifyBySiteLayout(result.pages);
    result.topics = ExtractTopics(result.pages, kMaxTopics);
    result.score = ReadinessScore(result.checks);
    result.elapsedSeconds = static_cast<int>((TickMs() - startTick) / 1000u);
    result.cancelled = cancelFlag.load();
    if (!result.cancelled) {
        RunAfterCrawlChecks(options, result, cancelFlag, progress);
    }
    DebugLog::Write(CompleteLine(result, result.cancelled));
    if (result.reachable) {
        Report(progress, u"Scan complete", PageCount(result));
    }
    return result;
}

}  // namespace bcnk
