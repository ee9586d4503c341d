#include "app/workers.h"

#include <new>

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

Text GenerateRequestLine(const PackageForm& form) {
    const auto flag = [](bool value) { return Text(value ? u"1" : u"0"); };
    return u"Generate requested: name=" + form.name + u" industry=" + form.industry + u" founded=" +
           (form.founded.empty() ? Text(u"-") : form.founded) + u" train=" +
           flag(form.allowTraining) + u" cite=" + flag(form.allowCitation) + u" summ=" +
           flag(form.allowSummarisation);
}

void RunGenerateWorker(std::unique_ptr<GenerateJob> job, const PackageWriter& writer,
                       Mailbox& mailbox) {
    auto outcome = std::make_unique<PackageOutcome>();
    writer.log(GenerateRequestLine(job->form));
    const std::vector<PackageFile> files = writer.build(job->scan, job->form);
    writer.log(u"Generated " + NumberText(static_cast<long long>(files.size())) + u" files");
    *outcome = writer.write(writer.moduleDirectory, job->scan, files);
    writer.log(outcome->ok ? u"Export OK: " + outcome->zipPath
                           : u"Export FAILED: " + outcome->errorText);
    mailbox.PostPackageDone(std::move(outcome));
}

}  // namespace bcnk
