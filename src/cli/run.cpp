#include "cli/run.h"

#include <cerrno>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "cli/arguments.h"
#include "cli/console.h"
#include "cli/exit_codes.h"
#include "cli/json_output.h"
#include "cli/progress.h"
#include "cli/report.h"
#include "common/debug_log.h"
#include "common/file_system.h"
#include "common/safe_file.h"
#include "common/settings.h"
#include "package/generate.h"
#include "report/html_report.h"
#include "scan/address_check.h"
#include "scan/crawler.h"
#include "net/http.h"

namespace bcnk::cli {

namespace {

constexpr const char16_t* kNoPagesMessage = u"No pages could be crawled.";
constexpr const char16_t* kNoPagesAdvice =
    u"The site may be unreachable, blocking crawlers, or the address may be wrong. Check the "
    u"URL and your connection, then try again.";

void Complain(const Text& message) {
    WriteText(stderr, u"beaconsmith: " + message + u"\n");
}

Text ErrnoText(int error) {
    return Utf8ToWide(std::generic_category().message(error));
}

Text NowUtc() {
    const std::time_t now = std::time(nullptr);
    char text[32] = "";
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", std::gmtime(&now));
    return AsciiToText(text);
}

// Where the run's files go, settled before anything is fetched: a wrong path should cost
// the user a second, not a whole crawl.
struct Outputs {
    std::FILE* jsonFile = nullptr;  // open and empty; nullptr for standard output or no JSON
    Text packageBase;               // generate only: the folder that holds output/
    bool madeOutputFolder = false;  // output/ did not exist before this run
    ~Outputs() {
        if (jsonFile != nullptr) {
            std::fclose(jsonFile);
        }
    }
};

// The report is written whatever the scan found, also for a cancelled or empty scan: it
// shows what was there to see.
bool WriteReport(const Text& path, const ScanResult& result, const ScanOptions& options,
                 const ReportPackage* package) {
    const std::string html =
        WideToUtf8(MakeHtmlReport(result, options, package, ReportTimeStamp()));
    if (path == u"-") {
        if (!WriteBytes(stdout, html)) {
            Complain(u"could not write the report to standard output: " + ErrnoText(errno));
            return false;
        }
        return true;
    }
    const Text error = WriteFileSafely(path, html);
    if (!error.empty()) {
        Complain(u"could not write the report " + path + u": " + error);
        return false;
    }
    return true;
}

// A report that cannot be written (its folder is missing, or the path names a folder)
// fails before the crawl rather than after it.
bool ReportPathUsable(const Text& path) {
    std::error_code error;
    if (path == u"-") {
        return true;
    }
    if (std::filesystem::is_directory(std::filesystem::path(path), error)) {
        Complain(u"could not write the report " + path + u": it is a folder");
        return false;
    }
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty() || std::filesystem::is_directory(folder, error)) {
        return true;
    }
    Complain(u"could not write the report " + path + u": the folder " + folder.u16string() +
             u" does not exist");
    return false;
}

// The directory below which output/<site folder>/ is made, as an absolute path without a
// trailing separator, so the printed package paths can be used from anywhere.
std::filesystem::path OutputBase(const Text& given) {
    std::error_code error;
    std::filesystem::path base =
        given.empty() ? std::filesystem::current_path(error)
                      : std::filesystem::absolute(std::filesystem::path(given), error);
    if (error) {
        return std::filesystem::path(given.empty() ? Text(u".") : given);
    }
    base = base.lexically_normal();
    if (!base.has_filename() && base.has_relative_path()) {
        base = base.parent_path();
    }
    return base;
}

// Creates base/output and makes sure a file can be written there; the message on failure.
Text PreparePackageFolder(const std::filesystem::path& base, bool& made) {
    std::error_code error;
    const std::filesystem::path output = base / "output";
    made = std::filesystem::create_directories(output, error);
    if (error) {
        return u"could not create the output folder " + output.u16string() + u": " +
               Utf8ToWide(error.message());
    }
    const Text probe = (output / ".beaconsmith-write-test").u16string();
    std::FILE* file = OpenFileForWriting(probe);
    if (file == nullptr) {
        return u"cannot write into the output folder " + output.u16string() + u": " +
               ErrnoText(errno);
    }
    std::fclose(file);
    std::filesystem::remove(std::filesystem::path(probe), error);
    return Text();
}

bool PrepareOutputs(const Request& request, Outputs& outputs) {
    if (request.jsonWanted && request.jsonPath != u"-") {
        outputs.jsonFile = OpenFileForWriting(request.jsonPath);
        if (outputs.jsonFile == nullptr) {
            Complain(u"could not open the JSON file " + request.jsonPath + u" for writing: " +
                     ErrnoText(errno));
            return false;
        }
    }
    if (request.command == Command::Generate) {
        const std::filesystem::path base = OutputBase(request.outputDirectory);
        const Text problem = PreparePackageFolder(base, outputs.madeOutputFolder);
        if (!problem.empty()) {
            Complain(problem);
            return false;
        }
        outputs.packageBase = base.u16string();
    }
    return true;
}

bool WriteJson(const Request& request, Outputs& outputs, const ScanResult& result,
               const PackageOutcome* package) {
    const std::string json = ScanResultJson(result, package);
    if (outputs.jsonFile == nullptr) {
        if (!WriteBytes(stdout, json)) {
            Complain(u"could not write the JSON to standard output: " + ErrnoText(errno));
            return false;
        }
        return true;
    }
    const bool written = std::fwrite(json.data(), 1, json.size(), outputs.jsonFile) == json.size();
    const int error = errno;
    const bool closed = std::fclose(outputs.jsonFile) == 0;
    outputs.jsonFile = nullptr;
    if (!written || !closed) {
        Complain(u"could not write the JSON file " + request.jsonPath + u": " +
                 ErrnoText(written ? errno : error));
        return false;
    }
    return true;
}

ScanResult ScanWithProgress(const ScanOptions& options, const Request& request,
                            std::atomic<bool>& cancelFlag) {
    ProgressReporter progress(stderr, StandardErrorIsTerminal(), TerminalColumns(),
                              options.maxPages);
    bool cancelLogged = false;
    const auto noteCancel = [&] {
        if (!cancelLogged && cancelFlag.load()) {
            DebugLog::Write(u"Scan cancel requested by user.");
            cancelLogged = true;
        }
    };
    const Text startTime = NowUtc();
    ScanResult result = Crawl(options, cancelFlag, [&](const Text& message, int pageCount) {
        noteCancel();
        // A cancelled crawl did not complete; the line below says what happened instead.
        if (!request.quiet && !(cancelFlag.load() && message == u"Scan complete")) {
            progress.Report(message, pageCount);
        }
    });
    noteCancel();
    progress.Finish();
    // Filled here too, for a crawl that does not record them itself.
    result.cancelled = result.cancelled || cancelFlag.load();
    if (result.scanTime.empty()) {
        result.scanTime = startTime;
    }
    if (result.requestedUrl.empty()) {
        result.requestedUrl = options.startUrl;
    }
    if (result.cancelled) {
        WriteText(stderr, u"Cancelled after " +
                              NumberText(static_cast<long long>(result.pages.size())) +
                              (result.pages.size() == 1 ? u" page\n" : u" pages\n"));
    }
    return result;
}

int ScanAndReport(const Request& request, std::atomic<bool>& cancelFlag) {
    Outputs outputs;
    if (!PrepareOutputs(request, outputs) ||
        (!request.reportPath.empty() && !ReportPathUsable(request.reportPath))) {
        return kExitNotWritten;
    }
    if (!Http::Init()) {
        DebugLog::Write(u"Http::Init FAILED.");
        Complain(u"Failed to initialise networking.");
        return kExitNoPages;
    }
    DebugLog::Write(u"Networking initialised.");
    Http::SetTimeLimit(std::chrono::seconds(request.timeoutSeconds));

    ScanOptions options = request.scan;
    options.userAgent =
        request.userAgentOverride.empty() ? SettingsStore::userAgent : request.userAgentOverride;
    const Text typedAddress = options.startUrl;
    Text bothSchemesFailed;
    if (!HasScheme(options.startUrl)) {
        options.startUrl = ChooseScheme(options.startUrl, options.userAgent, &bothSchemesFailed);
        if (!request.quiet) {
            WriteText(stderr, u"No scheme given: using " + options.startUrl + u"\n");
        }
    }
    DebugLog::Write(u"Scan requested: url=" + options.startUrl);
    ScanResult result = ScanWithProgress(options, request, cancelFlag);
    const bool cancelled = result.cancelled;
    Http::Close();

    // With the JSON or the report on standard output, everything meant for people moves to
    // standard error, so that a pipe receives nothing but that.
    const bool machineOnStdout =
        (request.jsonWanted && request.jsonPath == u"-") || request.reportPath == u"-";
    std::FILE* human = machineOnStdout ? stderr : stdout;
    if (!result.reachable && !cancelled) {
        // Said first and alone: a site that never answered has no score to show.
        result.unreachableReason =
            bothSchemesFailed.empty() ? result.unreachableReason : bothSchemesFailed;
        WriteText(stderr, UnreachableMessage(typedAddress, result.unreachableReason) + u"\n");
    } else {
        WriteText(human, FormatSummary(result, cancelled, request.verbose));
    }

    RunFacts facts;
    facts.cancelled = cancelled;
    facts.anyPage = !result.pages.empty();
    facts.score = result.score;
    facts.minScore = request.minScore;
    if (result.robotsBlockAll && !cancelled) {
        WriteText(stderr,
                  Text(kNoPagesMessage) + u"\n" + kRobotsBlockAllMessage + u" --ignore-robots\n");
    } else if (!facts.anyPage && !cancelled && result.reachable) {
        const Text reason = NoPagesReason(result);
        WriteText(stderr, Text(kNoPagesMessage) + u"\n" +
                              (reason.empty() ? Text() : u"Reason: " + reason + u"\n") + u"\n" +
                              kNoPagesAdvice + u"\n");
    }
    PackageOutcome outcome;
    if (request.command == Command::Generate) {
        if (cancelled || !facts.anyPage) {
            Complain(u"no package was written.");
        } else {
            outcome = GeneratePackage(outputs.packageBase, result, request.form);
            if (outcome.ok) {
                WriteText(human, u"\nPackage folder: " + outcome.folderPath +
                                     u"\nArchive:        " + outcome.zipPath + u"\n");
            } else {
                Complain(u"Error: " + outcome.errorText);
                facts.written = false;
            }
        }
    }
    if (!outcome.ok && outputs.madeOutputFolder) {
        // Made only for the check before the crawl: a run that wrote nothing leaves nothing.
        std::error_code ignored;
        std::filesystem::remove(std::filesystem::path(outputs.packageBase) / "output", ignored);
    }
    if (request.jsonWanted &&
        !WriteJson(request, outputs, result, outcome.ok ? &outcome : nullptr)) {
        facts.written = false;
    }
    const bool packageTried = request.command == Command::Generate && !cancelled && facts.anyPage;
    const ReportPackage package{request.form, outcome};
    if (!request.reportPath.empty() &&
        !WriteReport(request.reportPath, result, options, packageTried ? &package : nullptr)) {
        facts.written = false;
    }
    if (facts.anyPage && !cancelled && request.minScore >= 0 && result.score < request.minScore) {
        Complain(u"the score " + NumberText(result.score) + u" is below the minimum of " +
                 NumberText(request.minScore) + u".");
    }
    facts.written = facts.written && !OutputFailed();
    return ExitCodeFor(facts);
}

}  // namespace

int Run(const std::vector<Text>& arguments, std::atomic<bool>& cancelFlag) {
    const ParsedArguments parsed = ParseArguments(arguments);
    if (!parsed.ok) {
        Complain(parsed.error);
        WriteText(stderr, u"Run 'beaconsmith --help' for the commands and options.\n");
        return OutputFailed() ? kExitNotWritten : kExitUsage;
    }
    const Request& request = parsed.request;
    if (request.command == Command::Help || request.command == Command::Version) {
        const bool written =
            WriteText(stdout, request.command == Command::Help ? CommandHelpText(request.helpFor)
                                                               : VersionText() + u"\n");
        return written ? kExitDone : kExitNotWritten;
    }

    SettingsStore::Load();
    StartLoggingIfEnabled();
    DebugLog::Write(u"Application starting.");
    const int code = ScanAndReport(request, cancelFlag);
    DebugLog::Close();
    return code;
}

}  // namespace bcnk::cli
