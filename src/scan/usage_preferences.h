#pragma once
// Usage preferences: what a site says its content may be used for, rather than which crawler
// may fetch it. Three vocabularies are read and written here: Content Signals (robots.txt),
// the IETF Content-Usage vocabulary (robots.txt and a response header) and the TDMRep
// reservation (response header and meta tag). Their terms live in one table, one row per
// purpose of the AI-crawler table.
#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/text.h"
#include "net/http.h"
#include "scan/ai_crawlers.h"
#include "scan/robots_rules.h"
#include "scan/scan_types.h"

namespace bcnk {

struct UsageTerm {
    CrawlerPurpose purpose;
    std::string_view contentSignal;  // Content Signals term
    // The IETF vocabulary's term; empty where its draft has none yet (the category for
    // answers generated from fetched pages is still unnamed).
    std::string_view contentUsage;
};

// One row per purpose, in CrawlerPurpose order.
std::span<const UsageTerm> UsageTerms();

// The answer per purpose (indexed by CrawlerPurpose) one statement gives.
using UsageAnswers = std::array<UsageAnswer, 3>;

// A Content-Usage value: an RFC 9651 Dictionary in which only the tokens y and n count; a
// value that does not parse says nothing at all (nullopt-like: every answer Unknown, and
// `readable` false).
UsageAnswers ReadContentUsage(std::string_view value, bool* readable = nullptr);

// A Content-Signal value ("search=yes, ai-train=no"): the tokens yes and no count.
UsageAnswers ReadContentSignal(std::string_view value);

// The values the package writes for the owner's permissions: "search=yes, ai-input=yes,
// ai-train=no" and "train-ai=n, search=y".
std::string ContentSignalValue(const CrawlerPermissions& permissions);
std::string ContentUsageValue(const CrawlerPermissions& permissions);

// What the crawled pages sent, counted as the crawl goes, so nothing is kept per page.
struct PageUsageCounts {
    int pages = 0;
    std::array<std::array<int, 3>, 3> contentUsage{};  // [purpose][UsageAnswer]
    int unreadableContentUsage = 0;
    std::array<int, 3> reservationHeader{};  // [UsageAnswer] for training
    std::array<int, 3> reservationMeta{};
    Text tdmPolicy;
};

// Counts one stored page: its kept response headers and its tdm meta tags' contents.
void CountPageUsage(const std::vector<HttpHeader>& headers, const Text& metaReservation,
                    const Text& metaPolicy, PageUsageCounts& counts);

// Everything declared, per purpose: the robots.txt lines of every group (Content-Usage lines
// matched against the stored pages each group may fetch) and the pages' counts.
UsageFindings FindUsagePreferences(const RobotsTxt& file, const std::vector<PageRecord>& pages,
                                   const PageUsageCounts& counts);

// "ai-train=no (robots.txt, Content-Signal, group *)", "train-ai=n (HTTP header on 40 of 40
// pages)".
Text UsageDeclarationText(const UsageDeclaration& declaration, int pagesRead);

// "no: ai-train=no (...); train-ai=n (...)" or "unknown".
Text UsagePurposeText(const UsagePurposeFindings& findings, int pagesRead);

// For a purpose with conflicting statements: "robots.txt says search=yes, 3 pages send
// search=n"; empty otherwise.
Text UsageConflictText(const UsagePurposeFindings& findings);

// "yes", "no" or "unknown".
Text UsageAnswerName(UsageAnswer answer);

// "robotsContentSignal", "robotsContentUsage", "httpContentUsage", "tdmRepHeader",
// "tdmRepMeta": the names the JSON output uses.
Text UsageSourceName(UsageSource source);

}  // namespace bcnk
