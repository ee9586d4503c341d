#include "scan/after_crawl.h"

#include "scan/agent_check.h"
#include "scan/render_check.h"

namespace bcnk {

void RunAfterCrawlChecks(const ScanOptions& options, ScanResult& result,
                         const std::atomic<bool>& cancelFlag, const CrawlProgress& progress) {
    if (cancelFlag.load() || result.pages.empty()) {
        return;
    }
    if (options.agentCheck) {
        RunAgentCheck(options, result, cancelFlag, progress);
    }
    RunRenderCheck(options, result, cancelFlag, progress);
}

}  // namespace bcnk
