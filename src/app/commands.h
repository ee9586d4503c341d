#pragma once
// What the buttons and menu commands do, and the busy states around the two workers. The
// window system is reached only through WindowOps, so the whole state machine runs without
// a window.
#include <atomic>
#include <memory>

#include "app/forms.h"
#include "app/workers.h"
#include "common/text.h"
#include "package/package.h"
#include "report/html_report.h"
#include "scan/scan_types.h"

namespace bcnk {

enum class BoxIcon { Information, Warning, Error };

// The operations the command logic needs from the window system and the process. Control
// identifiers are those of app_ids.h; menu commands are enabled through Enable as well.
class WindowOps {
  public:
    virtual ~WindowOps() = default;
    virtual void SetText(int controlId, const Text& text) = 0;
    virtual void Enable(int controlId, bool enabled) = 0;
    virtual void Show(int controlId, bool visible) = 0;
    // Starts or stops a progress bar's marquee animation.
    virtual void Animate(int progressId, bool running) = 0;
    // Stops the marquee and shows the bar full: the work it stood for is done.
    virtual void ShowFinished(int progressId) = 0;
    virtual void Focus(int controlId) = 0;
    virtual void SelectFirstTab() = 0;
    // Refills the status list, sets the page list's item count and repaints the gauge from
    // the current result (empty views when there is none).
    virtual void RefreshResultViews() = 0;
    virtual void ShowMessage(const Text& text, BoxIcon icon) = 0;
    // Opens a folder or web address with the desktop's default handler; failures ignored.
    virtual void Open(const Text& pathOrAddress) = 0;
    virtual bool FolderExists(const Text& path) = 0;
    virtual void OpenSettingsDialog() = 0;
    // A save dialog for the report, opening in folder with fileName filled in; the chosen
    // path, or empty when the user cancelled.
    virtual Text AskReportPath(const Text& folder, const Text& fileName) = 0;
    virtual void DestroyMainWindow() = 0;
    // False when no thread could be started; the object has then been destroyed.
    virtual bool StartScanWorker(std::unique_ptr<ScanOptions> options) = 0;
    virtual bool StartGenerateWorker(std::unique_ptr<GenerateJob> job) = 0;
    virtual void Log(const Text& line) = 0;
};

class CommandLogic {
  public:
    CommandLogic(WindowOps& ops, Text moduleDirectory);

    // Scan button: starts a scan when idle, raises the cancel flag while one runs.
    void OnScanButton(const ScanFormValues& form);
    void OnGenerateButton(const PackageForm& form);
    void OnOpenFolder();
    void OnOpenOutputFolder();
    // File > Save Report...: the current result (and the package made from it) as HTML.
    void OnSaveReport();
    void OnNewScan();
    void OnSettings();
    void OnAbout();
    // Help menu items and the site-audit link: each opens one of the maker's pages.
    void OnWebLink(int commandId);
    // Close request from any source; the window is destroyed now or after the running
    // worker has reported back.
    void OnCloseRequest();
    void OnDestroy();

    // The three worker messages; a null object means the worker had nothing to hand over.
    void OnScanProgress(int pageCount, std::unique_ptr<Text> text);
    void OnScanDone(std::unique_ptr<ScanResult> result);
    void OnPackageDone(std::unique_ptr<PackageOutcome> outcome);

    const ScanResult* Current() const { return current_.get(); }
    // The page list's sort reorders the current result in place.
    ScanResult* MutableCurrent() { return current_.get(); }
    const std::atomic<bool>& CancelFlag() const { return cancelFlag_; }
    bool Scanning() const { return scanning_; }
    bool Generating() const { return generating_; }
    bool Closing() const { return closing_; }
    const Text& LastPackageFolder() const { return lastPackageFolder_; }

  private:
    void StartScan(const ScanFormValues& form);
    void SetScanBusy(bool busy);
    void EndScanUi();
    void ShowSummary();
    // Save Report needs a current result and no scan replacing it.
    void UpdateReportCommand();

    WindowOps& ops_;
    Text moduleDirectory_;
    std::unique_ptr<ScanResult> current_;
    ScanOptions currentOptions_;  // the options the current result was scanned with
    PackageForm generatingForm_;
    std::unique_ptr<ReportPackage> currentPackage_;  // the last package made from current_
    std::atomic<bool> cancelFlag_{false};
    std::atomic<bool> scanning_{false};
    std::atomic<bool> generating_{false};
    bool closing_ = false;
    Text lastPackageFolder_;
};

// The host of the maker's home page, shown in the Help menu and the About box.
Text MakerHostName();

// The About box text, with the version as the user sees it.
Text AboutText();

}  // namespace bcnk
