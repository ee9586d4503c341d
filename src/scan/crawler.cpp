#include "scan/crawler.h"

#include <chrono>
#include <cstdint>
#include <thread>

#include "analysis/classify.h"
#include "analysis/html_parser.h"
#include "analysis/topics.h"
#include "common/debug_log.h"
#include "scan/crawl_frontier.h"
#include "scan/discovery.h"
#include "scan/fetch_ahead.h"
#include "scan/http.h"
#include "scan/url.h"

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

bool Analysable(const FetchResult& fetched) {
    return fetched.status >= 200 && fetched.status <= 399 &&
           (fetched.contentType.empty() || ContainsNoCase(fetched.contentType, u"html")) &&
           !fetched.body.empty();
}

PageRecord MakeRecord(const QueuedPage& queued, const FetchResult& fetched,
                      const ParsedPage& parsed) {
    PageRecord record;
    record.url = queued.address;
    record.depth = queued.depth;
    record.httpStatus = fetched.status;
    record.lastModified = fetched.lastModified;
    record.title = parsed.title;
    record.description = parsed.description;
    record.h1 = parsed.h1;
    record.headings = parsed.headings;
    record.schemaTypes = parsed.schemaTypes;
    record.productName = parsed.productName;
    record.wordCount = parsed.wordCount;
    return record;
}

// The site-wide facts come from the first pages that have them, except the description,
// which only the start page may give.
void TakeSiteFacts(const ParsedPage& parsed, bool isStartPage, ScanResult& result) {
    if (result.language.empty()) {
        result.language = parsed.language;
    }
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

void QueueLinks(const QueuedPage& page, const std::vector<Text>& links, const Text& host,
                CrawlFrontier& frontier) {
    for (const Text& href : links) {
        const Text target = ResolveLink(page.address, href);
        if (target.empty() || HostKey(target) != host || IsSkippedExtension(target)) {
            continue;
        }
        if (frontier.Add(target, page.depth + 1) == QueueOutcome::Full) {
            return;
        }
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

Text SkipLine(const QueuedPage& page, int status) {
    return u"skip [" + NumberText(status) + u"] d" + NumberText(page.depth) +
           u" (non-HTML/error) - " + page.address;
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

    const Text startAddress = result.baseUrl + ParseUrl(options.startUrl).path;
    // Three keys per allowed page leaves room for links that fail or are not HTML; 64-bit
    // so that an extreme page limit cannot overflow the cap.
    const long long keyCap = 3LL * options.maxPages;
    CrawlFrontier frontier(keyCap > 0 ? static_cast<std::size_t>(keyCap) : 0);
    frontier.Seed(startAddress);
    DebugLog::Write(StartLine(result, options));

    // Requests overlap only when the user asked for no pause between them.
    FetchAhead fetcher(options.delayMs > 0 ? 1 : options.connections, options.userAgent,
                       cancelFlag);
    while (!frontier.Empty()) {
        if (cancelFlag.load()) {
            break;
        }
        if (PageCount(result) >= options.maxPages) {
            result.pageLimitReached = options.maxPages < kNoPageLimit;
            break;
        }
        const QueuedPage page = frontier.Take();
        Report(progress, u"Crawling: " + page.address, PageCount(result));
        const FetchResult fetched = fetcher.Get(page.address, frontier.Upcoming(fetcher.Ahead()));
        if (cancelFlag.load()) {
            break;  // whatever arrived after the cancel, the page is not taken
        }
        if (Analysable(fetched)) {
            const ParsedPage parsed = ParseHtmlPage(fetched.body);
            PageRecord record = MakeRecord(page, fetched, parsed);
            TakeSiteFacts(parsed, page.address == startAddress, result);
            if (page.depth < options.maxDepth) {
                QueueLinks(page, parsed.links, result.host, frontier);
            }
            record.pageClass = ClassifyPage(record, startAddress);
            result.pages.push_back(std::move(record));
            DebugLog::Write(PageLine(PageCount(result), result.pages.back()));
        } else {
            DebugLog::Write(SkipLine(page, fetched.status));
        }
        if (!frontier.Empty() && options.delayMs > 0) {
            PauseBetweenPages(options.delayMs, cancelFlag);
        }
    }
    fetcher.Finish();

    if (result.language.empty()) {
        result.language = u"en";
    }
    if (!cancelFlag.load()) {
        Report(progress, u"Checking AI discovery files...", PageCount(result));
        RunDiscoveryChecks(result.baseUrl, options.userAgent, result, cancelFlag);
        for (const DiscoveryCheck& check : result.checks) {
            DebugLog::Write(u"ADP: " + check.label + u" = " + check.details);
        }
    }
    result.topics = ExtractTopics(result.pages, kMaxTopics);
    result.score = ReadinessScore(result.checks);
    result.elapsedSeconds = static_cast<int>((TickMs() - startTick) / 1000u);
    DebugLog::Write(CompleteLine(result, cancelFlag.load()));
    Report(progress, u"Scan complete", PageCount(result));
    return result;
}

}  // namespace bcnk
