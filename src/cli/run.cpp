#include "cli/run.h"

#include <filesystem>
#include <fstream>
#include <memory>

#include "cli/arguments.h"
#include "cli/console.h"
#include "cli/exit_codes.h"
#include "cli/progress.h"
#include "cli/report.h"
#include "common/debug_log.h"
#include "common/safe_file.h"
#include "common/settings.h"
#include "package/generate.h"
#include "report/html_report.h"
#include "scan/crawler.h"
#include "scan/http.h"

namespace bcnk::cli {

namespace {

constexpr const char16_t* kNoPagesMessage =
    u"No pages could be crawled.\n\nThe site may be unreachable, blocking crawlers, or the "
    u"address may be wrong. Check the URL and your connection, then try again.";

void Complain(const Text& message) { WriteText(stderr, u"beaconsmith: " + message + u"\n"); }

// JSON goes to a file, or to standard output when the path is "-".
bool WriteJson(const Text& path, const ScanResult& result) {
    const std::string json = ScanResultJson(result);
    if (path == u"-") {
        std::fwrite(json.data(), 1, json.size(), stdout);
        return std::fflush(stdout) == 0;
    }
    std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    file.write(json.data(), static_cast<std::streamsize>(json.size()));
    file.close();
    if (!file) {
        Complain(u"could not write the JSON file " + path);
        return false;
    }
    return true;
}

// The report is written whatever the scan found, also for a cancelled or empty scan: it
// shows what was there to see.
bool WriteReport(const Text& path, const ScanResult& result, const ScanOptions& options,
                 const ReportPackage* package) {
    const Text error = WriteFileSafely(
        path, WideToUtf8(MakeHtmlReport(result, options, package, ReportTimeStamp())));
    if (!error.empty()) {
        Complain(u"could not write the report " + path + u": " + error);
        return false;
    }
    return true;
}

// The directory below which output/<site folder>/ is made, as an absolute path without a
// trailing separator, so the printed package paths can be used from anywhere. A directory
// named on the command line is created when missing; if that fails, writing the package
// reports it.
Text OutputBase(const Text& given) {
    std::error_code error;
    std::filesystem::path base =
        given.empty() ? std::filesystem::current_path(error)
                      : std::filesystem::absolute(std::filesystem::path(given), error);
    if (error) {
        return given.empty() ? Text(u".") : given;
    }
    base = base.lexically_normal();
    if (!base.has_filename() && base.has_relative_path()) {
        base = base.parent_path();
    }
    std::filesystem::create_directories(base, error);
    return base.u16string();
}

ScanResult ScanWithProgress(const ScanOptions& options, std::atomic<bool>& cancelFlag) {
    ProgressReporter progress(stderr, StandardErrorIsTerminal(), TerminalColumns());
    bool cancelLogged = false;
    const auto noteCancel = [&] {
        if (!cancelLogged && cancelFlag.load()) {
            DebugLog::Write(u"Scan cancel requested by user.");
            cancelLogged = true;
        }
    };
    ScanResult result = Crawl(options, cancelFlag, [&](const Text& message, int pageCount) {
        noteCancel();
        progress.Report(message, pageCount);
    });
    noteCancel();
    progress.Finish();
    return result;
}

int ScanAndReport(const Request& request, std::atomic<bool>& cancelFlag) {
    if (!Http::Init()) {
        DebugLog::Write(u"Http::Init FAILED.");
        Complain(u"Failed to initialise networking.");
        return kExitNoPages;
    }
    DebugLog::Write(u"Networking initialised.");

    ScanOptions options = request.scan;
    options.userAgent =
        request.userAgentOverride.empty() ? SettingsStore::userAgent : request.userAgentOverride;
    DebugLog::Write(u"Scan requested: url=" + options.startUrl);
    const ScanResult result = ScanWithProgress(options, cancelFlag);
    const bool cancelled = cancelFlag.load();
    Http::Close();

    // With the JSON on standard output, everything meant for people moves to standard
    // error, so that a pipe receives nothing but the JSON.
    std::FILE* human = request.jsonWanted && request.jsonPath == u"-" ? stderr : stdout;
    WriteText(human, FormatSummary(result, cancelled));

    RunFacts facts;
    facts.cancelled = cancelled;
    facts.anyPage = !result.pages.empty();
    facts.score = result.score;
    facts.minScore = request.minScore;
    if (request.jsonWanted) {
        facts.written = WriteJson(request.jsonPath, result);
    }
    if (!facts.anyPage && !cancelled) {
        WriteText(stderr, Text(kNoPagesMessage) + u"\n");
    }
    std::unique_ptr<ReportPackage> package;
    if (request.command == Command::Generate) {
        if (cancelled || !facts.anyPage) {
            Complain(u"no package was written.");
        } else {
            const PackageOutcome outcome =
                GeneratePackage(OutputBase(request.outputDirectory), result, request.form);
            package = std::make_unique<ReportPackage>(ReportPackage{request.form, outcome});
            if (outcome.ok) {
                WriteText(human, u"\nPackage folder: " + outcome.folderPath +
                                     u"\nArchive:        " + outcome.zipPath + u"\n");
            } else {
                Complain(u"Error: " + outcome.errorText);
                facts.written = false;
            }
        }
    }
    if (!request.reportPath.empty() &&
        !WriteReport(request.reportPath, result, options, package.get())) {
        facts.written = false;
    }
    if (facts.anyPage && !cancelled && request.minScore >= 0 && result.score < request.minScore) {
        Complain(u"the score " + NumberText(result.score) + u" is below the minimum of " +
                 NumberText(request.minScore) + u".");
    }
    return ExitCodeFor(facts);
}

}  // namespace

int Run(const std::vector<Text>& arguments, std::atomic<bool>& cancelFlag) {
    const ParsedArguments parsed = ParseArguments(arguments);
    if (!parsed.ok) {
        Complain(parsed.error);
        WriteText(stderr, u"Run 'beaconsmith --help' for the commands and options.\n");
        return kExitUsage;
    }
    const Request& request = parsed.request;
    if (request.command == Command::Help) {
        WriteText(stdout, UsageText());
        return kExitDone;
    }
    if (request.command == Command::Version) {
        WriteText(stdout, VersionText() + u"\n");
        return kExitDone;
    }

    SettingsStore::Load();
    StartLoggingIfEnabled();
    DebugLog::Write(u"Application starting.");
    const int code = ScanAndReport(request, cancelFlag);
    DebugLog::Close();
    return code;
}

}  // namespace bcnk::cli
