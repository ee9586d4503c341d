#include "scan/discovery.h"

#include "scan/discovery_rules.h"
#include "scan/http.h"

namespace bcnk {

void RunDiscoveryChecks(const Text& baseUrl, const Text& userAgent, ScanResult& result,
                        const std::atomic<bool>& cancelFlag) {
    // The flag is tested before every probe so that a cancelled scan keeps a prefix of the
    // rows in their usual order.
    for (const DiscoveryFile& file : kDiscoveryFiles) {
        if (cancelFlag.load()) {
            return;
        }
        result.checks.push_back(
            JudgeDiscoveryFile(file, Http::Get(baseUrl + file.path, userAgent)));
    }
    if (cancelFlag.load()) {
        return;
    }
    const FetchResult robots = Http::Get(baseUrl + kRobotsPath, userAgent);
    result.checks.push_back(JudgeRobotsTxt(robots, result));
}

}  // namespace bcnk
