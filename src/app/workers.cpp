#include "app/workers.h"

#include <new>

#include "package/generate.h"

namespace bcnk {

void RunScanWorker(std::unique_ptr<ScanOptions> options, const std::atomic<bool>& cancelFlag,
                   const CrawlFunction& crawl, Mailbox& mailbox) {
    const CrawlProgress progress = [&mailbox](const Text& message, int pageCount) {
        // A progress line that cannot be allocated is still worth its page count.
        std::unique_ptr<Text> copy(new (std::nothrow) Text(message));
        mailbox.PostScanProgress(pageCount, std::move(copy));
    };
    auto result = std::make_unique<ScanResult>(crawl(*options, cancelFlag, progress));
    mailbox.PostScanDone(std::move(result));
}

void RunGenerateWorker(std::unique_ptr<GenerateJob> job, const Text& moduleDirectory,
                       Mailbox& mailbox) {
    // Allocated before any file is written: should memory run out here, nothing is left
    // half done.
    auto outcome = std::make_unique<PackageOutcome>();
    *outcome = GeneratePackage(moduleDirectory, job->scan, job->form);
    mailbox.PostPackageDone(std::move(outcome));
}

}  // namespace bcnk
