#include "app/commands.h"

#include "app/agent_views.h"
#include "app/app_ids.h"
#include "common/directory.h"
#include "common/maker_info.h"
#include "common/safe_file.h"
#include "common/settings.h"
#include "package/package_form.h"
#include "scan/address_check.h"
#include "scan/crawl_scope.h"
#include "scan/result_figures.h"

namespace bcnk {
namespace {

#ifdef _WIN32
constexpr char16_t kSeparator = u'\\';
#else
constexpr char16_t kSeparator = u'/';
#endif

// A generate worker that ends without handing over its outcome (the window's queue was
// full) still has to end the busy state, and the user has to learn that nothing was saved.
constexpr const char16_t* kLostPackageText =
    u"Package generation ended without a result. Please try again.";

}  // namespace

Text MakerHostName() {
    Text host = kMakerHomePage;
    const size_t scheme = host.find(u"://");
    if (scheme != Text::npos) {
        host = host.substr(scheme + 3);
    }
    return host.substr(0, host.find_first_of(u"/:?#"));
}

Text AboutText() {
    return Text(kProductName) + u"\n" + kProductVersion + u"\n\n" +
           u"Scans a website for AI discovery files, scores its readiness and writes an "
           u"AI Discovery Package for it.\n\n" +
           MakerHostName();
}

namespace {

// Where the window's way past a robots.txt that blocks everything is.
constexpr const char16_t* kRobotsWayOutInWindow = u" Settings and clear \"Respect robots.txt\".";

}  // namespace

CommandLogic::CommandLogic(WindowOps& ops, Text moduleDirectory)
    : ops_(ops), moduleDirectory_(std::move(moduleDirectory)) {}

void CommandLogic::OnScanButton(const ScanFormValues& form) {
    if (scanning_) {
        // Only makes the crawl stop sooner; the controls stay locked until it reports back.
        cancelFlag_ = true;
        ops_.Log(u"Scan cancel requested by user.");
        return;
    }
    if (generating_) {
        ops_.ShowMessage(u"Please wait for package generation to finish.", BoxIcon::Information);
        return;
    }
    StartScan(form);
}

void CommandLogic::StartScan(const ScanFormValues& form) {
    auto options = std::make_unique<ScanOptions>(MakeScanOptions(form, SettingsStore::userAgent));
    options->respectRobots = SettingsStore::respectRobots;
    options->useSitemaps = SettingsStore::useSitemaps;
    options->agentCheck = SettingsStore::agentCheck;
    options->renderPages = SettingsStore::renderPages;
    options->keepQueryTracking = SettingsStore::keepQueryTracking;
    options->includePaths = SplitPathList(SettingsStore::includePaths);
    options->excludePaths = SplitPathList(SettingsStore::excludePaths);
    options->withinStartFolder = SettingsStore::withinStartFolder;
    if (options->startUrl.empty()) {
        ops_.ShowMessage(kEnterAddressMessage, BoxIcon::Information);
        return;
    }
    const Text problem = StartAddressProblem(options->startUrl);
    if (!problem.empty()) {
        ops_.ShowMessage(problem, BoxIcon::Warning);
        ops_.Focus(kIdAddress);
        return;
    }
    options->startUrl = WithoutUserInfo(options->startUrl);
    current_.reset();
    currentPackage_.reset();
    currentOptions_ = *options;
    UpdateReportCommand();
    ops_.RefreshResultViews();
    cancelFlag_ = false;
    scanning_ = true;
    ops_.SetText(kIdScan, u"Cancel");
    ops_.Show(kIdScanProgress, true);
    ops_.Animate(kIdScanProgress, true);
    SetScanBusy(true);
    const Text startUrl = options->startUrl;
    ops_.Log(u"Scan requested: url=" + startUrl);
    if (!ops_.StartScanWorker(std::move(options))) {
        scanning_ = false;
        cancelFlag_ = false;
        EndScanUi();
        ops_.Log(u"Failed to start scan thread.");
        ops_.ShowMessage(u"Could not start the scan. Please try again.", BoxIcon::Error);
    }
}

void CommandLogic::SetScanBusy(bool busy) {
    for (int id : {kIdAddress, kIdDepth, kIdDelay, kIdPageLimit, kIdTabs, kIdGeneratePanel,
                   kCmdNewScan, kCmdSettings}) {
        ops_.Enable(id, !busy);
    }
}

void CommandLogic::EndScanUi() {
    ops_.SetText(kIdScan, u"Scan");
    ops_.Animate(kIdScanProgress, false);
    ops_.Show(kIdScanProgress, false);
    SetScanBusy(false);
}

void CommandLogic::ShowSummary() {
    if (!current_) {
        ops_.SetText(kIdStatusBar, u"Ready");
        return;
    }
    Text text = u"  ";
    text += ScanSummaryText(*current_);
    const Text render = RenderStatusText(current_->render);
    if (!render.empty()) {
        text += u"     ";
        text += render;
    }
    ops_.SetText(kIdStatusBar, text);
}

void CommandLogic::OnScanProgress(int pageCount, std::unique_ptr<Text> text) {
    ops_.SetText(kIdStatusBar,
                 u"  " + (text ? *text : Text()) + u"  (" + NumberText(pageCount) + u" pages)");
}

void CommandLogic::OnScanDone(std::unique_ptr<ScanResult> result) {
    if (!scanning_) {
        return;  // nothing was waiting for it; the object is simply destroyed
    }
    if (result) {
        current_ = std::move(result);
    }
    scanning_ = false;
    EndScanUi();
    UpdateReportCommand();
    // A site that never answered has no result to show: the views stay empty and the
    // reason stands where the result would.
    Text unreachable;
    if (current_ && !current_->reachable) {
        unreachable = UnreachableMessage(current_->requestedUrl, current_->unreachableReason);
        current_.reset();
        UpdateReportCommand();
    }
    ops_.RefreshResultViews();
    if (current_) {
        if (!current_->organizationName.empty()) {
            ops_.SetText(kIdName, current_->organizationName);
        }
        if (!current_->siteDescription.empty()) {
            ops_.SetText(kIdDescription, current_->siteDescription);
        }
    }
    ShowSummary();
    if (!unreachable.empty()) {
        ops_.SetText(kIdStatusBar, u"  " + unreachable);
    }
    if (closing_) {
        ops_.DestroyMainWindow();
        return;
    }
    if (!unreachable.empty()) {
        ops_.ShowMessage(unreachable, BoxIcon::Warning);
    } else if (current_ && current_->robotsBlockAll) {
        ops_.ShowMessage(Text(kRobotsBlockAllMessage) + kRobotsWayOutInWindow, BoxIcon::Warning);
    } else if (current_ && current_->pages.empty()) {
        ops_.ShowMessage(
            u"No pages could be crawled.\n\nThe site may be unreachable, blocking crawlers, or "
            u"the address may be wrong. Check the URL and your connection, then try again.",
            BoxIcon::Warning);
        if (closing_) {
            ops_.DestroyMainWindow();
        }
    }
}

void CommandLogic::OnGenerateButton(const PackageForm& values) {
    if (scanning_) {
        ops_.ShowMessage(u"Wait for the scan to finish first.", BoxIcon::Information);
        return;
    }
    if (!current_) {
        ops_.ShowMessage(u"Run a scan first.", BoxIcon::Information);
        return;
    }
    if (generating_) {
        return;
    }
    PackageForm form = TrimmedPackageForm(values);
    const Text problem = PackageFormProblem(form);
    if (!problem.empty()) {
        ops_.ShowMessage(problem, BoxIcon::Information);
        return;
    }
    generating_ = true;
    generatingForm_ = form;
    ops_.Enable(kIdGenerate, false);
    ops_.Show(kIdAuditLink, false);
    ops_.Animate(kIdGenerateProgress, true);
    auto job = std::make_unique<GenerateJob>(GenerateJob{std::move(form), *current_});
    if (!ops_.StartGenerateWorker(std::move(job))) {
        generating_ = false;
        ops_.Enable(kIdGenerate, true);
        ops_.Animate(kIdGenerateProgress, false);
        ops_.Log(u"Failed to start generate thread.");
        ops_.ShowMessage(u"Could not start package generation. Please try again.", BoxIcon::Error);
    }
}

void CommandLogic::OnPackageDone(std::unique_ptr<PackageOutcome> outcome) {
    if (!generating_) {
        return;
    }
    generating_ = false;
    ops_.Animate(kIdGenerateProgress, false);
    ops_.Enable(kIdGenerate, true);
    if (outcome && outcome->ok) {
        lastPackageFolder_ = outcome->folderPath;
        if (current_) {
            currentPackage_ =
                std::make_unique<ReportPackage>(ReportPackage{generatingForm_, *outcome});
        }
        ops_.ShowFinished(kIdGenerateProgress);
        ops_.SetText(kIdResult, u"Package saved to: " + outcome->folderPath);
        ops_.Show(kIdAuditLink, true);
    } else {
        const Text error = outcome ? outcome->errorText : Text(kLostPackageText);
        ops_.SetText(kIdResult, u"Error: " + error);
        ops_.ShowMessage(error, BoxIcon::Error);
    }
    if (closing_) {
        ops_.DestroyMainWindow();
    }
}

void CommandLogic::OnOpenFolder() {
    if (!lastPackageFolder_.empty()) {
        ops_.Open(lastPackageFolder_);
    }
}

void CommandLogic::OnOpenOutputFolder() {
    const Text output = moduleDirectory_ + kSeparator + u"output";
    ops_.Open(ops_.FolderExists(output) ? output : moduleDirectory_);
}

void CommandLogic::UpdateReportCommand() {
    ops_.Enable(kCmdSaveReport, current_ != nullptr && !scanning_);
}

void CommandLogic::OnSaveReport() {
    if (!current_ || scanning_) {
        return;
    }
    // The dialog opens in the output folder, which the first package would otherwise make.
    const Text output = moduleDirectory_ + kSeparator + u"output";
    EnsureDirectory(output);
    const Text path = ops_.AskReportPath(output, ReportFileName(SiteFolderHost(*current_)));
    if (path.empty()) {
        return;
    }
    const std::string html = WideToUtf8(
        MakeHtmlReport(*current_, currentOptions_, currentPackage_.get(), ReportTimeStamp()));
    const Text error = WriteFileSafely(path, html);
    if (!error.empty()) {
        ops_.Log(u"Report FAILED: " + path + u" (" + error + u")");
        ops_.ShowMessage(u"The report could not be saved to\n" + path + u"\n\n" + error,
                         BoxIcon::Error);
        return;
    }
    ops_.Log(u"Report saved: " + path);
    ops_.SetText(kIdStatusBar, u"  Report saved to: " + path);
}

void CommandLogic::OnNewScan() {
    if (scanning_ || generating_) {
        return;
    }
    current_.reset();
    currentPackage_.reset();
    UpdateReportCommand();
    ops_.RefreshResultViews();
    ops_.SetText(kIdResult, Text());
    ops_.Show(kIdAuditLink, false);
    ShowSummary();
    ops_.SelectFirstTab();
    ops_.Focus(kIdAddress);
}

void CommandLogic::OnSettings() {
    // The menu item is greyed during a scan; this guards a command that slipped through.
    if (!scanning_) {
        ops_.OpenSettingsDialog();
    }
}

void CommandLogic::OnAbout() {
    ops_.ShowMessage(AboutText(), BoxIcon::Information);
}

void CommandLogic::OnWebLink(int commandId) {
    switch (commandId) {
        case kCmdVisitHome:
            ops_.Open(kMakerHomePage);
            break;
        case kCmdUserGuide:
        case kCmdCheckUpdates:
            ops_.Open(kMakerToolsPage);
            break;
        case kIdAuditLink:
            ops_.Open(kSiteAuditProductPage);
            break;
        default:
            break;
    }
}

void CommandLogic::OnCloseRequest() {
    if (!scanning_ && !generating_) {
        ops_.DestroyMainWindow();
        return;
    }
    if (closing_) {
        return;
    }
    closing_ = true;
    cancelFlag_ = true;
    ops_.SetText(kIdStatusBar, u"  Cancelling, please wait...");
    ops_.Enable(kIdAddress, false);
    ops_.Enable(kIdScan, false);
    ops_.Enable(kIdGenerate, false);
    ops_.Log(u"Close requested while a worker was running - cancelling.");
}

void CommandLogic::OnDestroy() {
    cancelFlag_ = true;
}

}  // namespace bcnk
