#pragma once
// The bodies of the scan and generate workers. They touch no window: everything they hand
// back goes through a Mailbox, one heap object per message.
#include <atomic>
#include <functional>
#include <memory>

#include "common/text.h"
#include "package/package.h"
#include "scan/crawler.h"
#include "scan/scan_types.h"

namespace bcnk {

// What a generation works on: the form as it was when Generate was pressed and a full copy
// of the scan, so later scans or "New Scan" cannot change a package being written.
struct GenerateJob {
    PackageForm form;
    ScanResult scan;
};

// Posting to the main window. On success the object belongs to the window; on failure the
// unique_ptr destroys it here and the message is lost.
class Mailbox {
  public:
    virtual ~Mailbox() = default;
    virtual bool PostScanProgress(int pageCount, std::unique_ptr<Text> text) = 0;
    virtual bool PostScanDone(std::unique_ptr<ScanResult> result) = 0;
    virtual bool PostPackageDone(std::unique_ptr<PackageOutcome> outcome) = 0;
};

using CrawlFunction =
    std::function<ScanResult(const ScanOptions&, const std::atomic<bool>&, const CrawlProgress&)>;

void RunScanWorker(std::unique_ptr<ScanOptions> options, const std::atomic<bool>& cancelFlag,
                   const CrawlFunction& crawl, Mailbox& mailbox);

// Writes the package below moduleDirectory/output/ as the console does (GeneratePackage),
// then hands the outcome to the window.
void RunGenerateWorker(std::unique_ptr<GenerateJob> job, const Text& moduleDirectory,
                       Mailbox& mailbox);

}  // namespace bcnk
