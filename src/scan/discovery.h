#pragma once
// Probes a site for its AI-discovery files and AI-crawler rules, and scores its readiness.
#include <atomic>
#include <vector>

#include "common/text.h"
#include "scan/scan_types.h"

namespace bcnk {

// Fills result.checks (the ten checks in their fixed order) and the robots.txt fields.
void RunDiscoveryChecks(const Text& baseUrl, const Text& userAgent, ScanResult& result,
                        const std::atomic<bool>& cancelFlag);

// 0..100 from the scored checks.
int ReadinessScore(const std::vector<DiscoveryCheck>& checks);

}  // namespace bcnk
