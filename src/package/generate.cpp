#include "package/generate.h"

#include "common/debug_log.h"

namespace bcnk {

namespace {

const char16_t* Flag(bool value) { return value ? u"1" : u"0"; }

}  // namespace

Text GenerateRequestLogLine(const PackageForm& form) {
    return u"Generate requested: name=" + form.name + u" industry=" + form.industry +
           u" founded=" + (form.founded.empty() ? Text(u"-") : form.founded) + u" train=" +
           Flag(form.allowTraining) + u" cite=" + Flag(form.allowCitation) + u" summ=" +
           Flag(form.allowSummarisation);
}

PackageOutcome GeneratePackage(const Text& directory, const ScanResult& scan,
                               const PackageForm& form) {
    DebugLog::Write(GenerateRequestLogLine(form));
    std::vector<MarkdownTwin> twins;
    const std::vector<PackageFile> files = BuildPackageFiles(scan, form, twins);
    DebugLog::Write(u"Generated " + NumberText(static_cast<long long>(files.size())) +
                    u" files");
    if (!twins.empty()) {
        DebugLog::Write(u"Markdown twins: " + NumberText(static_cast<long long>(twins.size())));
    }
    PackageOutcome outcome = WritePackage(directory, scan, files, twins);
    DebugLog::Write(outcome.ok ? u"Export OK: " + outcome.zipPath
                               : u"Export FAILED: " + outcome.errorText);
    return outcome;
}

}  // namespace bcnk
