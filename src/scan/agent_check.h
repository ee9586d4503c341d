#pragma once
// What the server sends each AI crawler. Firewalls and content networks often refuse crawlers
// by their user agent whatever robots.txt says; asking the server once as each crawler and
// once as a browser shows the difference.
#include <atomic>
#include <vector>

#include "common/text.h"
#include "net/http.h"
#include "scan/crawler.h"
#include "scan/scan_types.h"

namespace bcnk {

// A current desktop browser, the answer every crawler's answer is measured against.
inline constexpr const char16_t* kBrowserUserAgent =
    u"Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    u"Chrome/131.0.0.0 Safari/537.36";

// A crawler that gets this share of the browser's words or less is served different content;
// smaller differences are adverts, dates and the like.
inline constexpr int kFewerWordsPercent = 20;
// Below this many words in the browser's answer, word counts say nothing.
inline constexpr int kMinComparedWords = 20;

// How one answer to a crawler compares with the browser's answer for the same address.
// Fills verdict, status and detail.
AgentAnswer JudgeAgentAnswer(const FetchResult& browser, const FetchResult& agent);

// The mark a bot challenge left on a response ("cf-mitigated: challenge", "title: Just a
// moment..."), or empty when there is none.
Text ChallengeMarker(const FetchResult& response);

// The pages asked for: the start page and the deepest page of the most common class.
std::vector<Text> AgentCheckPages(const ScanResult& result);

// After the crawl: at most one request per distinct user agent and page, the browser's
// first, paced like the crawl. Fills result.agentAnswers (one per AI-crawler table row, in
// table order) and result.agentCheckRequests; a cancelled check leaves agentAnswers empty.
void RunAgentCheck(const ScanOptions& options, ScanResult& result,
                   const std::atomic<bool>& cancelFlag, const CrawlProgress& progress);

// "same as a browser", "refused (HTTP 403)", "challenge page (HTTP 503, cf-mitigated:
// challenge)", "rate limited (HTTP 429)", "different content (40 % fewer words)", "sent
// elsewhere (redirect to ...)", "no answer (timed out)".
Text AgentVerdictText(const AgentAnswer& answer);

// True when robots.txt lets the crawler in but the server keeps it from the content.
bool ServerRefusesWhatRobotsAllows(const AgentAnswer& answer, const CrawlerAccess& access);

// The row's words for an owner: "robots.txt allows it, the server refuses it", or empty.
Text AgentDisagreement(const AgentAnswer& answer, const CrawlerAccess& access);

// For a token answered as the crawler that fetches for it (Google-Extended as Googlebot):
// "same as Googlebot's answer: this token has no crawler of its own"; empty for a crawler
// answered as itself.
Text AgentStandInNote(const AgentAnswer& answer);

// What a row's answer means for an owner: any disagreement with robots.txt and the stand-in
// note, joined by "; ", e.g. "robots.txt allows it, the server refuses it; same as
// Googlebot's answer: this token has no crawler of its own"; empty when neither applies.
Text AgentMeaning(const AgentAnswer& answer, const CrawlerAccess& access);

}  // namespace bcnk
