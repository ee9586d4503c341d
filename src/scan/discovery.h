#pragma once
// Probes a site for its AI-discovery files and AI-crawler rules, and scores its readiness.
#include <atomic>
#include <vector>

#include "common/text.h"
#include "net/http.h"
#include "scan/scan_types.h"

namespace bcnk {

// Fills result.checks (the ten checks in their fixed order), the robots.txt fields and the
// AI crawlers' access, fetching robots.txt itself.
void RunDiscoveryChecks(const Text& baseUrl, const Text& userAgent, ScanResult& result,
                        const std::atomic<bool>& cancelFlag);

// The same with the answer to robots.txt already in hand (the crawl reads it first).
void RunDiscoveryChecks(const Text& baseUrl, const Text& userAgent, const FetchResult& robots,
                        ScanResult& result, const std::atomic<bool>& cancelFlag);

// 0..100 from the scored checks.
int ReadinessScore(const std::vector<DiscoveryCheck>& checks);

}  // namespace bcnk
