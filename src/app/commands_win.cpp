// The command logic's window operations on Windows, the two worker threads and the routing
// of commands and worker messages from the main window.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "app/app_ids.h"
#include "app/window_state.h"
#include "common/debug_log.h"
#include "common/maker_info.h"
#include "common/settings.h"
#include "package/package.h"
#include "package/package_form.h"
#include "scan/address_check.h"
#include "scan/crawler.h"

namespace bcnk {

namespace {

// Checks whether a worker ended without its final message arriving.
constexpr UINT_PTR kWorkerWatchTimer = 1;
constexpr UINT kWorkerWatchMs = 250;

HWND Control(int id) {
    if (id == kIdScanProgress) {
        return App().scanProgress;
    }
    HWND window = GetDlgItem(App().window, id);
    return window != nullptr ? window : GetDlgItem(App().panel, id);
}

bool IsMenuCommand(int id) {
    return id >= kCmdNewScan && id <= kCmdSaveReport;
}

class WindowMailbox : public Mailbox {
  public:
    explicit WindowMailbox(HWND window) : window_(window) {}

    bool PostScanProgress(int pageCount, std::unique_ptr<Text> text) override {
        return Post(MSG_SCAN_PROGRESS, static_cast<WPARAM>(pageCount), text);
    }
    bool PostScanDone(std::unique_ptr<ScanResult> result) override {
        return Post(MSG_SCAN_DONE, 0, result);
    }
    bool PostPackageDone(std::unique_ptr<PackageOutcome> outcome) override {
        return Post(MSG_PACKAGE_DONE, 0, outcome);
    }

  private:
    template <typename T>
    bool Post(UINT message, WPARAM wParam, std::unique_ptr<T>& object) {
        if (!PostMessageW(window_, message, wParam, reinterpret_cast<LPARAM>(object.get()))) {
            return false;  // still ours: destroyed when object goes out of scope
        }
        object.release();
        return true;
    }
    HWND window_;
};

struct ScanStart {
    HWND window;
    const std::atomic<bool>* cancelFlag;
    std::unique_ptr<ScanOptions> options;
};

struct GenerateStart {
    HWND window;
    std::unique_ptr<GenerateJob> job;
};

DWORD WINAPI ScanThread(void* parameter) {
    std::unique_ptr<ScanStart> start(static_cast<ScanStart*>(parameter));
    WindowMailbox mailbox(start->window);
    try {
        // Chosen here, off the window's thread: a typed address without a scheme may cost
        // a request or two before the crawl starts.
        Text bothSchemesFailed;
        start->options->startUrl =
            ChooseScheme(start->options->startUrl, start->options->userAgent, &bothSchemesFailed);
        // With no scheme typed and neither answering, both failures say more than one.
        const auto crawl = [&bothSchemesFailed](const ScanOptions& options,
                                                const std::atomic<bool>& cancelFlag,
                                                const CrawlProgress& progress) {
            ScanResult result = Crawl(options, cancelFlag, progress);
            if (!result.reachable && !bothSchemesFailed.empty()) {
                result.unreachableReason = bothSchemesFailed;
            }
            return result;
        };
        RunScanWorker(std::move(start->options), *start->cancelFlag, crawl, mailbox);
    } catch (...) {
        // Nothing was posted; the window notices the ended thread and leaves its busy state.
    }
    return 0;
}

DWORD WINAPI GenerateThread(void* parameter) {
    std::unique_ptr<GenerateStart> start(static_cast<GenerateStart*>(parameter));
    WindowMailbox mailbox(start->window);
    try {
        RunGenerateWorker(std::move(start->job), ModuleDirectory(), mailbox);
    } catch (...) {
        // As for the scan: the window notices the thread ended without an outcome.
    }
    return 0;
}

template <typename Start>
bool StartThread(LPTHREAD_START_ROUTINE routine, std::unique_ptr<Start> start,
                 UniqueHandle& handle) {
    HANDLE thread = CreateThread(nullptr, 0, routine, start.get(), 0, nullptr);
    if (thread == nullptr) {
        return false;
    }
    start.release();  // the thread owns it now
    handle = UniqueHandle(thread);
    SetTimer(App().window, kWorkerWatchTimer, kWorkerWatchMs, nullptr);
    return true;
}

}  // namespace

class WindowShell : public WindowOps {
  public:
    void SetText(int id, const Text& text) override {
        HWND control = Control(id);
        if (id == kIdStatusBar) {
            SendMessageW(control, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(Wide(text)));
            return;
        }
        SetWindowTextW(control, Wide(text));
        InvalidateRect(control, nullptr, TRUE);
    }
    void Enable(int id, bool enabled) override {
        if (IsMenuCommand(id)) {
            EnableMenuItem(GetMenu(App().window), static_cast<UINT>(id),
                           MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
            return;
        }
        HWND control = Control(id);
        EnableWindow(control, enabled ? TRUE : FALSE);
        if (id == kIdGeneratePanel) {
            // Children of a disabled panel would look usable while they are not.
            for (HWND child = GetWindow(control, GW_CHILD); child != nullptr;
                 child = GetWindow(child, GW_HWNDNEXT)) {
                EnableWindow(child, enabled ? TRUE : FALSE);
            }
        }
    }
    void Show(int id, bool visible) override {
        ShowWindow(Control(id), visible ? SW_SHOW : SW_HIDE);
    }
    void Animate(int id, bool running) override {
        HWND bar = Control(id);
        if (running) {
            // A bar shown finished has left marquee mode; the next run takes it back.
            SetWindowLongPtrW(bar, GWL_STYLE, GetWindowLongPtrW(bar, GWL_STYLE) | PBS_MARQUEE);
        }
        SendMessageW(bar, PBM_SETMARQUEE, running ? TRUE : FALSE, 30);
    }
    void ShowFinished(int id) override {
        HWND bar = Control(id);
        SendMessageW(bar, PBM_SETMARQUEE, FALSE, 0);
        // A stopped marquee keeps its last sliver; only a plain bar can be shown full.
        SetWindowLongPtrW(bar, GWL_STYLE, GetWindowLongPtrW(bar, GWL_STYLE) & ~PBS_MARQUEE);
        SendMessageW(bar, PBM_SETRANGE32, 0, 100);
        SendMessageW(bar, PBM_SETPOS, 100, 0);
    }
    void Focus(int id) override { SetFocus(Control(id)); }
    void SelectFirstTab() override {
        SendMessageW(Control(kIdTabs), TCM_SETCURSEL, 0, 0);
        ShowTabViews(0);
    }
    void RefreshResultViews() override { bcnk::RefreshResultViews(); }
    void ShowMessage(const Text& text, BoxIcon icon) override {
        const UINT style = icon == BoxIcon::Error     ? MB_ICONERROR
                           : icon == BoxIcon::Warning ? MB_ICONWARNING
                                                      : MB_ICONINFORMATION;
        MessageBoxW(App().window, Wide(text), Wide(kProductName), MB_OK | style);
    }
    void Open(const Text& target) override {
        ShellExecuteW(App().window, L"open", Wide(target), nullptr, nullptr, SW_SHOWNORMAL);
    }
    bool FolderExists(const Text& path) override {
        return GetFileAttributesW(Wide(path)) != INVALID_FILE_ATTRIBUTES;
    }
    void OpenSettingsDialog() override { bcnk::OpenSettingsDialog(); }
    Text AskReportPath(const Text& folder, const Text& fileName) override {
        // Long enough for any path Windows accepts.
        std::vector<wchar_t> path(32768, L'\0');
        const size_t length = std::min(fileName.size(), path.size() - 1);
        std::copy_n(Wide(fileName), length, path.begin());
        OPENFILENAMEW dialog{};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = App().window;
        dialog.lpstrFilter = L"HTML report (*.html)\0*.html;*.htm\0All files (*.*)\0*.*\0";
        dialog.lpstrFile = path.data();
        dialog.nMaxFile = static_cast<DWORD>(path.size());
        dialog.lpstrInitialDir = Wide(folder);
        dialog.lpstrTitle = L"Save Report";
        dialog.lpstrDefExt = L"html";
        dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
                       OFN_HIDEREADONLY;
        if (!GetSaveFileNameW(&dialog)) {
            return Text();
        }
        return Text(reinterpret_cast<const char16_t*>(path.data()));
    }
    void DestroyMainWindow() override { DestroyWindow(App().window); }
    bool StartScanWorker(std::unique_ptr<ScanOptions> options) override {
        auto start = std::make_unique<ScanStart>(
            ScanStart{App().window, &App().logic->CancelFlag(), std::move(options)});
        return StartThread(ScanThread, std::move(start), App().scanThread);
    }
    bool StartGenerateWorker(std::unique_ptr<GenerateJob> job) override {
        auto start = std::make_unique<GenerateStart>(GenerateStart{App().window, std::move(job)});
        return StartThread(GenerateThread, std::move(start), App().generateThread);
    }
    void Log(const Text& line) override { DebugLog::Write(line); }
};

namespace {

ScanFormValues ReadScanForm() {
    const auto selection = [](int id) {
        return static_cast<int>(SendMessageW(Control(id), CB_GETCURSEL, 0, 0));
    };
    return {WindowText(Control(kIdAddress), 2048), selection(kIdDepth), selection(kIdDelay),
            selection(kIdPageLimit)};
}

PackageForm ReadGenerateForm() {
    const auto text = [](int id) { return WindowText(Control(id), 2048); };
    const auto checked = [](int id) {
        return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    };
    PackageForm form;
    form.name = text(kIdName);
    form.description = text(kIdDescription);
    form.email = text(kIdEmail);
    form.founded = text(kIdFounded);
    form.tdmPolicy = text(kIdTdmPolicy);
    HWND industry = Control(kIdIndustry);
    const LRESULT selected = SendMessageW(industry, CB_GETCURSEL, 0, 0);
    if (selected != CB_ERR) {
        wchar_t entry[64] = {};
        if (SendMessageW(industry, CB_GETLBTEXTLEN, static_cast<WPARAM>(selected), 0) < 64) {
            SendMessageW(industry, CB_GETLBTEXT, static_cast<WPARAM>(selected),
                         reinterpret_cast<LPARAM>(entry));
            form.industry = reinterpret_cast<const char16_t*>(entry);
        }
    }
    form.allowTraining = checked(kIdAllowTraining);
    form.allowCitation = checked(kIdAllowCitation);
    form.allowSummarisation = checked(kIdAllowSummarisation);
    form.addRobotsRules = checked(kIdRobotsRules);
    form.contentUsageInRobots = checked(kIdContentUsageInRobots);
    form.publishMarkdown = checked(kIdPublishMarkdown);
    form.fullTextMaxKib = FullTextKibFromField(text(kIdFullTextMaxKib));
    return form;
}

// A worker whose thread has ended while its final message is not in the queue will never
// report back: its post failed, or it failed before posting.
bool WorkerEndedSilently(UniqueHandle& thread, UINT doneMessage) {
    if (!thread || WaitForSingleObject(thread.Get(), 0) != WAIT_OBJECT_0) {
        return false;
    }
    MSG pending;
    if (PeekMessageW(&pending, App().window, doneMessage, doneMessage, PM_NOREMOVE)) {
        return false;
    }
    thread.Reset();
    return true;
}

void WatchWorkers() {
    AppState& app = App();
    if (WorkerEndedSilently(app.scanThread, MSG_SCAN_DONE)) {
        app.logic->OnScanDone(nullptr);
    }
    if (WorkerEndedSilently(app.generateThread, MSG_PACKAGE_DONE)) {
        app.logic->OnPackageDone(nullptr);
    }
    if (IsWindow(app.window) && !app.scanThread && !app.generateThread) {
        KillTimer(app.window, kWorkerWatchTimer);
    }
}

}  // namespace

void CreateCommandLogic() {
    App().shell = std::make_unique<WindowShell>();
    App().logic = std::make_unique<CommandLogic>(*App().shell, ModuleDirectory());
}

void HandleCommand(int commandId) {
    CommandLogic& logic = *App().logic;
    switch (commandId) {
        case kIdScan:
            logic.OnScanButton(ReadScanForm());
            break;
        case kIdGenerate:
            logic.OnGenerateButton(ReadGenerateForm());
            break;
        case kIdOpenFolder:
            logic.OnOpenFolder();
            break;
        case kCmdNewScan:
            logic.OnNewScan();
            break;
        case kCmdOpenOutput:
            logic.OnOpenOutputFolder();
            break;
        case kCmdSaveReport:
            logic.OnSaveReport();
            break;
        case kCmdSettings:
            logic.OnSettings();
            break;
        case kCmdExit:
            SendMessageW(App().window, WM_CLOSE, 0, 0);
            break;
        case kCmdAbout:
            logic.OnAbout();
            break;
        case kIdAuditLink:
        case kCmdVisitHome:
        case kCmdUserGuide:
        case kCmdCheckUpdates:
            logic.OnWebLink(commandId);
            break;
        default:
            break;
    }
}

bool HandleWorkerMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    CommandLogic& logic = *App().logic;
    switch (message) {
        case MSG_SCAN_PROGRESS:
            logic.OnScanProgress(static_cast<int>(wParam),
                                 std::unique_ptr<Text>(reinterpret_cast<Text*>(lParam)));
            return true;
        case MSG_SCAN_DONE:
            App().scanThread.Reset();
            logic.OnScanDone(std::unique_ptr<ScanResult>(reinterpret_cast<ScanResult*>(lParam)));
            return true;
        case MSG_PACKAGE_DONE:
            App().generateThread.Reset();
            logic.OnPackageDone(
                std::unique_ptr<PackageOutcome>(reinterpret_cast<PackageOutcome*>(lParam)));
            return true;
        case WM_TIMER:
            if (wParam == kWorkerWatchTimer) {
                WatchWorkers();
                return true;
            }
            return false;
        default:
            return false;
    }
}

}  // namespace bcnk
