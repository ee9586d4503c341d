#pragma once
// The pace a server asks for: robots.txt's Crawl-delay between requests, and for a refusal
// (429 Too Many Requests, 503 Service Unavailable) a wait of Retry-After and another try. The
// crawl still takes its answers in its own order, so a scan of a server that sometimes says
// "not now" stores the same pages as a scan of one that never does.
#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "common/text.h"
#include "net/http.h"
#include "scan/fetch_ahead.h"
#include "scan/robots_rules.h"
#include "scan/sitemap_types.h"

namespace bcnk {

// A site cannot make one scan take all day: longer delays are cut to these.
inline constexpr int kMaxCrawlDelayMs = 30000;
inline constexpr int kMaxRetryAfterMs = 60000;
// The wait before the one retry of a refusal that names no time.
inline constexpr int kDefaultRetryWaitMs = 2000;
// Tries after a refusal with Retry-After, and after one without or after a lost connection.
inline constexpr int kMaxRetriesAfterRefusal = 2;
inline constexpr int kMaxRetriesOtherwise = 1;

// Crawl-delay of the groups naming `productToken`, else of the "*" groups, in milliseconds;
// nullopt when the file sets none. Capped at kMaxCrawlDelayMs.
std::optional<int> CrawlDelayMs(const RobotsTxt& file, std::string_view productToken);

// Retry-After as seconds or as an HTTP date, in milliseconds from `now` (0 for a date in the
// past); nullopt when absent or unreadable. Not capped.
std::optional<long long> RetryAfterMs(const Text& value, std::chrono::system_clock::time_point now);

struct RetryPlan {
    bool retry = false;
    int waitMs = 0;
    bool slowDown = false;    // the server refused with 429 or 503
    bool oneAtATime = false;  // 429: one request in flight from now on
    Text why;                 // for the log: "HTTP 429, Retry-After 5 s"
};

// What to do about an answer after `retriesSoFar` retries of the same address.
RetryPlan PlanRetry(const FetchResult& fetched, int retriesSoFar,
                    std::chrono::system_clock::time_point now);

// The crawl's fetcher with the server's pace on top: requests ahead while the server lets
// us, a pause between pages, retries after refusals. Every wait ends within about a second
// of a cancel.
class PoliteFetcher {
  public:
    using Notice = std::function<void(const Text& message)>;

    PoliteFetcher(int userDelayMs, int connections, const Text& userAgent,
                  const std::atomic<bool>& cancelFlag, PolitenessSummary& summary, Notice notice);

    // The robots.txt the crawl obeys; its Crawl-delay becomes the least pause.
    void Obey(const RobotsTxt& file);
    int PauseMs() const;
    int Ahead() const { return fetcher_->Ahead(); }

    FetchResult Get(const Text& address, const std::vector<Text>& upcoming);
    void Finish() { fetcher_->Finish(); }

  private:
    int Connections() const;
    void Refit();
    bool Wait(int ms);

    const int userDelayMs_;
    const int connections_;
    const Text userAgent_;
    const std::atomic<bool>& cancel_;
    PolitenessSummary& summary_;
    Notice notice_;
    std::optional<FetchAhead> fetcher_;
    int fetcherConnections_ = 0;
};

}  // namespace bcnk
