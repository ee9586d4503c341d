#include "scan/discovery.h"

#include "scan/ai_crawlers.h"
#include "scan/discovery_rules.h"
#include "net/http.h"
#include "scan/robots_rules.h"

namespace bcnk {
namespace {

// Every page the crawl reached, stored or not: a crawler kept from any of them is only partly
// welcome.
std::vector<Text> CrawledAddresses(const ScanResult& result) {
    std::vector<Text> addresses;
    for (const PageRecord& page : result.pages) {
        addresses.push_back(page.url);
    }
    for (const SkippedPage& page : result.skippedPages) {
        addresses.push_back(page.url);
    }
    return addresses;
}

}  // namespace

void RunDiscoveryChecks(const Text& baseUrl, const Text& userAgent, ScanResult& result,
                        const std::atomic<bool>& cancelFlag) {
    if (cancelFlag.load()) {
        return;
    }
    RunDiscoveryChecks(baseUrl, userAgent, Http::Get(baseUrl + kRobotsPath, userAgent, &cancelFlag),
                       result, cancelFlag);
}

void RunDiscoveryChecks(const Text& baseUrl, const Text& userAgent, const FetchResult& robots,
                        ScanResult& result, const std::atomic<bool>& cancelFlag) {
    // A probe under way when the flag is raised is given up and makes no row, so a
    // cancelled scan keeps a prefix of the rows in their usual order.
    for (const DiscoveryFile& file : kDiscoveryFiles) {
        const FetchResult fetched = Http::Get(baseUrl + file.path, userAgent, &cancelFlag);
        if (cancelFlag.load()) {
            return;
        }
        result.checks.push_back(JudgeDiscoveryFile(file, fetched));
    }
    result.checks.push_back(JudgeRobotsTxt(robots, result));
    result.crawlerAccess =
        CrawlerAccessFor(RobotsTxtForAnswer(robots.status, robots.body), CrawledAddresses(result));
}

}  // namespace bcnk
