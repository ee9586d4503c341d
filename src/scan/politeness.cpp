#include "scan/politeness.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <thread>

#include "common/debug_log.h"

namespace bcnk {

namespace {

constexpr int kWaitStepMs = 50;

bool IsDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return c >= '0' && c <= '9';
    });
}

// "Sun, 06 Nov 1994 08:49:37 GMT", the one date form servers are to send.
std::optional<std::chrono::system_clock::time_point> ParseHttpDate(const std::string& text) {
    using namespace std::chrono;
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char weekdayName[4] = {};
    char monthName[4] = {};
    unsigned d = 0, y = 0, h = 0, mi = 0, s = 0;
    int consumed = 0;
    if (std::sscanf(text.c_str(), "%3s, %u %3s %u %u:%u:%u GMT%n", weekdayName, &d, monthName, &y,
                    &h, &mi, &s, &consumed) != 7 ||
        consumed == 0 || h > 23 || mi > 59 || s > 60) {
        return std::nullopt;
    }
    unsigned m = 0;
    for (unsigned i = 0; i < 12; ++i) {
        if (std::strcmp(monthName, kMonths[i]) == 0) {
            m = i + 1;
        }
    }
    const year_month_day date{year(static_cast<int>(y)), month(m), day(d)};
    if (m == 0 || !date.ok()) {
        return std::nullopt;
    }
    return sys_days(date) + hours(h) + minutes(mi) + seconds(s);
}

Text Seconds(int ms) {
    return ms % 1000 == 0 ? NumberText(ms / 1000) + u" s"
                          : NumberText(ms / 1000) + u"." + NumberText(ms % 1000 / 100) + u" s";
}

bool LostConnection(const FetchResult& fetched) {
    return fetched.status == 0 &&
           (fetched.reason == kReasonTimedOut || fetched.reason == kReasonConnectionLost);
}

}  // namespace

std::optional<int> CrawlDelayMs(const RobotsTxt& file, std::string_view productToken) {
    for (const std::string_view wanted : {productToken, std::string_view("*")}) {
        bool named = false;
        std::optional<double> seconds;
        for (const RobotsGroup& group : file.groups) {
            if (std::find(group.agents.begin(), group.agents.end(), wanted) == group.agents.end()) {
                continue;
            }
            named = true;
            if (group.crawlDelaySeconds >= 0 && !seconds) {
                seconds = group.crawlDelaySeconds;
            }
        }
        // A crawler named by its own group takes nothing from the "*" groups.
        if (named) {
            if (!seconds) {
                return std::nullopt;
            }
            return static_cast<int>(std::min(std::ceil(*seconds * 1000.0), double(kMaxCrawlDelayMs)));
        }
    }
    return std::nullopt;
}

std::optional<long long> RetryAfterMs(const Text& value, std::chrono::system_clock::time_point now) {
    const std::string text = WideToUtf8(Trim(value));
    if (IsDigits(text)) {
        // Beyond any cap; the digits only need to be read without overflowing.
        return text.size() > 9 ? 999999999000LL : std::stoll(text) * 1000;
    }
    const auto when = ParseHttpDate(text);
    if (!when) {
        return std::nullopt;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*when - now).count();
    return std::max<long long>(left, 0);
}

RetryPlan PlanRetry(const FetchResult& fetched, int retriesSoFar,
                    std::chrono::system_clock::time_point now) {
    RetryPlan plan;
    if (fetched.status == 429 || fetched.status == 503) {
        plan.slowDown = true;
        plan.oneAtATime = fetched.status == 429;
        const std::vector<Text> values = fetched.HeaderValues(u"retry-after");
        const std::optional<long long> asked =
            values.empty() ? std::nullopt : RetryAfterMs(values.front(), now);
        plan.why = u"HTTP " + NumberText(fetched.status);
        if (asked) {
            plan.retry = retriesSoFar < kMaxRetriesAfterRefusal;
            plan.waitMs = static_cast<int>(std::min<long long>(*asked, kMaxRetryAfterMs));
            plan.why += u", Retry-After " + values.front();
        } else {
            plan.retry = retriesSoFar < kMaxRetriesOtherwise;
            plan.waitMs = kDefaultRetryWaitMs;
        }
        return plan;
    }
    if (LostConnection(fetched)) {
        plan.retry = retriesSoFar < kMaxRetriesOtherwise;
        plan.why = fetched.reason;
    }
    return plan;
}

PoliteFetcher::PoliteFetcher(int userDelayMs, int connections, const Text& userAgent,
                             const std::atomic<bool>& cancelFlag, PolitenessSummary& summary,
                             Notice notice)
    : userDelayMs_(std::max(userDelayMs, 0)),
      connections_(connections),
      userAgent_(userAgent),
      cancel_(cancelFlag),
      summary_(summary),
      notice_(std::move(notice)) {
    Refit();
}

void PoliteFetcher::Obey(const RobotsTxt& file) {
    const std::optional<int> delay = CrawlDelayMs(file, RobotsProductToken(userAgent_));
    const int ms = delay.value_or(0);
    if (ms == summary_.crawlDelayMs) {
        return;
    }
    summary_.crawlDelayMs = ms;
    summary_.crawlDelayCapped = ms == kMaxCrawlDelayMs;
    if (ms > 0) {
        notice_(u"robots.txt asks for a Crawl-delay of " + Seconds(ms) +
                (summary_.crawlDelayCapped ? u" (capped)" : u"") + u" between requests");
    }
    Refit();
}

int PoliteFetcher::PauseMs() const {
    return std::max(userDelayMs_, summary_.crawlDelayMs);
}

int PoliteFetcher::Connections() const {
    // Requests overlap only when nobody asked for a pause between them.
    return PauseMs() > 0 || summary_.singleConnection ? 1 : connections_;
}

void PoliteFetcher::Refit() {
    const int wanted = Connections();
    if (fetcher_ && wanted == fetcherConnections_) {
        return;
    }
    // Requests a wider fetcher has under way are given up; they are asked again one at a time.
    fetcher_.reset();
    fetcher_.emplace(wanted, userAgent_, cancel_);
    fetcherConnections_ = wanted;
}

bool PoliteFetcher::Wait(int ms) {
    for (int waited = 0; waited < ms; waited += kWaitStepMs) {
        if (cancel_.load()) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(kWaitStepMs, ms - waited)));
    }
    summary_.waitedMs += ms;
    return !cancel_.load();
}

FetchResult PoliteFetcher::Get(const Text& address, const std::vector<Text>& upcoming) {
    FetchResult fetched = fetcher_->Get(address, upcoming);
    for (int retries = 0;; ++retries) {
        const RetryPlan plan = PlanRetry(fetched, retries, std::chrono::system_clock::now());
        if (plan.slowDown) {
            ++summary_.slowDowns;
        }
        if (plan.oneAtATime && !summary_.singleConnection) {
            summary_.singleConnection = true;
            notice_(u"The server answered 429: one request at a time from now on");
            Refit();
        }
        if (!plan.retry || cancel_.load()) {
            return fetched;
        }
        notice_(plan.why + u": waiting " + Seconds(plan.waitMs) + u", then trying again - " +
                address);
        if (!Wait(plan.waitMs)) {
            return FetchResult();
        }
        ++summary_.retries;
        fetched = fetcher_->Get(address, {});
    }
}

}  // namespace bcnk
