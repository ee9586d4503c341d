#include "scan/discovery.h"

#include "scan/discovery_rules.h"
#include "scan/http.h"

namespace bcnk {

void RunDiscoveryChecks(const Text& baseUrl, const Text& userAgent, ScanResult& result,
                        const std::atomic<bool>& cancelFlag) {
    // A probe under way when the flag is raised is given up and makes no row, so a
    // cancelled scan keeps a prefix of the rows in their usual order.
    for (const DiscoveryFile& file : kDiscoveryFiles) {
        const FetchResult fetched = Http::Get(baseUrl + file.path, userAgent, &cancelFlag);
        if (cancelFlag.load()) {
            return;
        }
        result.checks.push_back(JudgeDiscoveryFile(file, fetched));
    }
    const FetchResult robots = Http::Get(baseUrl + kRobotsPath, userAgent, &cancelFlag);
    if (cancelFlag.load()) {
        return;
    }
    result.checks.push_back(JudgeRobotsTxt(robots, result));
}

}  // namespace bcnk
