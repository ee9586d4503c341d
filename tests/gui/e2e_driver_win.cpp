// Drives the real Beaconsmith.exe through its windows from another process, the way a user
// would: types an address, scans, reads both lists, sorts, switches tabs, generates a
// package, saves the report, switches logging off in Settings and closes the window during a
// second scan. Every wait polls for a condition with a deadline. Prints one line per check and
// "key=value" lines for the shell step (package folder, page count, report file); exits
// non-zero on the first failed check.
//
// Usage: bcnk_gui_driver e2e <Beaconsmith.exe> <site address>
//        bcnk_gui_driver screens <Beaconsmith.exe> <site address> <folder>
// The second form poses the window for screenshots instead of checking it.
#include <algorithm>
#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/app_ids.h"
#include "app/win_handle.h"

namespace {

using namespace bcnk;
using Clock = std::chrono::steady_clock;

[[noreturn]] void Fail(const std::string& what) {
    std::printf("FAIL: %s\n", what.c_str());
    std::fflush(stdout);
    std::exit(1);
}

void Pass(const std::string& what) {
    std::printf("ok: %s\n", what.c_str());
    std::fflush(stdout);
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    out.resize(static_cast<size_t>(size));
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

// Polls until the condition holds; fails the run when the deadline passes.
void WaitFor(const std::string& what, const std::function<bool()>& condition, int seconds = 60) {
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    while (!condition()) {
        if (Clock::now() > deadline) {
            Fail("timed out waiting for " + what);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    Pass(what);
}

std::wstring TextOf(HWND window) {
    wchar_t buffer[4096] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_BLOCK,
                        5000, nullptr);
    return buffer;
}

void SetTextOf(HWND window, const std::wstring& text) {
    SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Click(HWND button) {
    // Posted, so a message box opened by the click cannot block the driver.
    PostMessageW(button, BM_CLICK, 0, 0);
}

void ClickAt(HWND window, POINT point) {
    const LPARAM where = MAKELPARAM(point.x, point.y);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, where);
    PostMessageW(window, WM_LBUTTONUP, 0, where);
}

// Memory inside the program's process, for the list and tab messages whose pointers the
// system does not carry across processes.
class RemoteMemory {
  public:
    RemoteMemory(HANDLE process, size_t size) : process_(process) {
        address_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (address_ == nullptr) {
            Fail("VirtualAllocEx");
        }
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;
    ~RemoteMemory() { VirtualFreeEx(process_, address_, 0, MEM_RELEASE); }

    template <typename T>
    T* At(size_t offset) const {
        return reinterpret_cast<T*>(static_cast<char*>(address_) + offset);
    }
    void Write(size_t offset, const void* data, size_t size) const {
        WriteProcessMemory(process_, At<char>(offset), data, size, nullptr);
    }
    void Read(size_t offset, void* data, size_t size) const {
        ReadProcessMemory(process_, At<char>(offset), data, size, nullptr);
    }

  private:
    HANDLE process_;
    void* address_ = nullptr;
};

struct Program {
    HANDLE process = nullptr;
    DWORD processId = 0;
    HWND main = nullptr;
    HWND panel = nullptr;
    std::wstring folder;  // where Beaconsmith.exe lives
    HWND Item(int id) const {
        HWND window = GetDlgItem(main, id);
        return window != nullptr ? window : GetDlgItem(panel, id);
    }
};

std::wstring ListCell(const Program& program, HWND list, int row, int column) {
    constexpr size_t kTextOffset = 256;
    constexpr int kTextChars = 2048;
    RemoteMemory memory(program.process, kTextOffset + kTextChars * sizeof(wchar_t));
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = memory.At<wchar_t>(kTextOffset);
    item.cchTextMax = kTextChars;
    memory.Write(0, &item, sizeof item);
    const LRESULT length = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                        reinterpret_cast<LPARAM>(memory.At<LVITEMW>(0)));
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    memory.Read(kTextOffset, text.data(), text.size() * sizeof(wchar_t));
    return text;
}

int RowCount(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

POINT CentreOfRemoteRect(const Program& program, HWND window, UINT message, WPARAM index) {
    RemoteMemory memory(program.process, sizeof(RECT));
    SendMessageW(window, message, index, reinterpret_cast<LPARAM>(memory.At<RECT>(0)));
    RECT rect{};
    memory.Read(0, &rect, sizeof rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void ClickTab(const Program& program, int index) {
    HWND tabs = program.Item(kIdTabs);
    ClickAt(tabs, CentreOfRemoteRect(program, tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index)));
}

void ClickColumn(const Program& program, int column) {
    HWND header =
        reinterpret_cast<HWND>(SendMessageW(program.Item(kIdPageList), LVM_GETHEADER, 0, 0));
    ClickAt(header,
            CentreOfRemoteRect(program, header, HDM_GETITEMRECT, static_cast<WPARAM>(column)));
}

std::vector<int> WordColumn(const Program& program) {
    HWND list = program.Item(kIdPageList);
    std::vector<int> words;
    for (int row = 0; row < RowCount(list); ++row) {
        words.push_back(std::stoi(ListCell(program, list, row, 3)));
    }
    return words;
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

struct FindState {
    DWORD processId;
    const wchar_t* className;
    HWND found;
};

HWND FindProcessWindow(DWORD processId, const wchar_t* className) {
    FindState state{processId, className, nullptr};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto* s = reinterpret_cast<FindState*>(parameter);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (owner == s->processId && std::wstring(name) == s->className) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&state));
    return state.found;
}

Program Launch(const std::wstring& exe) {
    std::wstring folder = exe.substr(0, exe.find_last_of(L"\\/"));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info)) {
        Fail("could not start " + Narrow(exe));
    }
    CloseHandle(info.hThread);
    Program program;
    program.process = info.hProcess;
    program.processId = info.dwProcessId;
    WaitFor("main window appears", [&] {
        program.main = FindProcessWindow(program.processId, L"BCNK_MAIN");
        return program.main != nullptr && IsWindowVisible(program.main);
    });
    program.panel = GetDlgItem(program.main, kIdGeneratePanel);
    program.folder = folder;
    return program;
}

void CheckStartupState(const Program& program) {
    wchar_t title[128] = {};
    GetWindowTextW(program.main, title, 128);
    if (std::wstring(title) != L"Talvenn's Beaconsmith  v1") {
        Fail("window title is " + Narrow(title));
    }
    if (TextOf(program.Item(kIdStatusBar)) != L"Ready") {
        Fail("status bar does not start with Ready");
    }
    const struct {
        int id;
        int selection;
    } lists[] = {{kIdDepth, 2}, {kIdDelay, 2}, {kIdPageLimit, 2}, {kIdIndustry, 0}};
    for (const auto& list : lists) {
        if (SendMessageW(program.Item(list.id), CB_GETCURSEL, 0, 0) != list.selection) {
            Fail("initial selection of list " + std::to_string(list.id));
        }
    }
    for (int id = kIdAllowTraining; id <= kIdRobotsRules; ++id) {
        if (SendMessageW(program.Item(id), BM_GETCHECK, 0, 0) != BST_CHECKED) {
            Fail("check box " + std::to_string(id) + " not checked at start");
        }
    }
    // Off by default: the line it adds fails some robots.txt audits.
    if (SendMessageW(program.Item(kIdContentUsageInRobots), BM_GETCHECK, 0, 0) != BST_UNCHECKED) {
        Fail("the Content-Usage check box is checked at start");
    }
    if (SendMessageW(program.Item(kIdPublishMarkdown), BM_GETCHECK, 0, 0) != BST_CHECKED ||
        TextOf(program.Item(kIdFullTextMaxKib)) != L"1024") {
        Fail("Markdown versions not on, or the full text size not 1024 KiB, at start");
    }
    if (!IsWindowVisible(program.Item(kIdStatusList)) ||
        IsWindowVisible(program.Item(kIdPageList)) || IsWindowVisible(program.Item(kIdAuditLink))) {
        Fail("first tab's views are not the visible ones");
    }
    Pass("start-up state: title, Ready, initial selections, checked boxes, first tab");

    RECT outer;
    GetWindowRect(program.main, &outer);
    SetWindowPos(program.main, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT shrunk;
    GetWindowRect(program.main, &shrunk);
    if (outer.right - outer.left != 900 || outer.bottom - outer.top != 640 ||
        shrunk.right - shrunk.left != 900 || shrunk.bottom - shrunk.top != 640) {
        Fail("window is not 900 x 640 at 96 DPI or could be made smaller");
    }
    Pass("window opens at 900 x 640 and cannot be made smaller");
}

int ScanAndCheckViews(const Program& program, const std::wstring& address) {
    SetTextOf(program.Item(kIdAddress), L"  " + address + L"  ");
    SendMessageW(program.Item(kIdDelay), CB_SETCURSEL, 0, 0);  // no pause between pages
    Click(program.Item(kIdScan));
    std::wstring summary;
    WaitFor("scan summary in the status bar", [&] {
        summary = TextOf(program.Item(kIdStatusBar));
        return StartsWith(summary, L"  Domain: ");
    });
    std::printf("summary=%s\n", Narrow(summary).c_str());
    if (TextOf(program.Item(kIdScan)) != L"Scan" || !IsWindowEnabled(program.Item(kIdAddress)) ||
        !IsWindowEnabled(program.Item(kIdTabs))) {
        Fail("controls not unlocked after the scan");
    }

    HWND status = program.Item(kIdStatusList);
    if (RowCount(status) != 10) {
        Fail("status list has " + std::to_string(RowCount(status)) + " rows, not 10");
    }
    for (int row = 0; row < 10; ++row) {
        const std::wstring symbol = ListCell(program, status, row, 1);
        if (symbol != L"OK" && symbol != L"X" && symbol != L"!" && symbol != L"BLOCK") {
            Fail("status symbol " + Narrow(symbol));
        }
        std::printf("check=%s|%s|%s\n", Narrow(ListCell(program, status, row, 0)).c_str(),
                    Narrow(symbol).c_str(), Narrow(ListCell(program, status, row, 2)).c_str());
    }
    Pass("status list shows ten checks");

    const size_t pagesAt = summary.find(L"Pages: ");
    const int pages = std::stoi(summary.substr(pagesAt + 7));
    HWND pageList = program.Item(kIdPageList);
    if (pages < 2 || RowCount(pageList) != pages) {
        Fail("page list count " + std::to_string(RowCount(pageList)) + " vs summary " +
             std::to_string(pages));
    }
    for (int row = 0; row < pages; ++row) {
        std::printf("page=%s|%s|%s|%s|%s\n", Narrow(ListCell(program, pageList, row, 0)).c_str(),
                    Narrow(ListCell(program, pageList, row, 1)).c_str(),
                    Narrow(ListCell(program, pageList, row, 2)).c_str(),
                    Narrow(ListCell(program, pageList, row, 3)).c_str(),
                    Narrow(ListCell(program, pageList, row, 4)).c_str());
    }
    Pass("page list holds every page of the summary");
    std::printf("pages=%d\n", pages);
    return pages;
}

void SortAndSwitchTabs(const Program& program) {
    ClickTab(program, 1);
    WaitFor(
        "Pages Found tab shows the page list",
        [&] {
            return IsWindowVisible(program.Item(kIdPageList)) &&
                   !IsWindowVisible(program.Item(kIdStatusList));
        },
        10);
    ClickColumn(program, 3);
    WaitFor(
        "Words column sorted ascending",
        [&] {
            const std::vector<int> words = WordColumn(program);
            return std::is_sorted(words.begin(), words.end()) && words.front() < words.back();
        },
        10);
    ClickColumn(program, 3);
    WaitFor(
        "second click sorts Words descending",
        [&] {
            const std::vector<int> words = WordColumn(program);
            return std::is_sorted(words.rbegin(), words.rend()) && words.front() > words.back();
        },
        10);
    ClickTab(program, 2);
    WaitFor(
        "Generate tab shows the form",
        [&] {
            return IsWindowVisible(program.panel) && !IsWindowVisible(program.Item(kIdPageList));
        },
        10);
}

void Generate(const Program& program) {
    SetTextOf(program.Item(kIdName), L"Sample Owner");
    SetTextOf(program.Item(kIdEmail), L"owner@example.com");
    SetTextOf(program.Item(kIdFounded), L"2021");
    SendMessageW(program.Item(kIdIndustry), CB_SETCURSEL, 4, 0);  // "Blog"
    Click(program.Item(kIdAllowTraining));                        // untick: training not allowed
    std::wstring result;
    Click(program.Item(kIdGenerate));
    WaitFor("package result in the result field", [&] {
        result = TextOf(program.Item(kIdResult));
        return StartsWith(result, L"Package saved to: ") || StartsWith(result, L"Error: ");
    });
    if (!StartsWith(result, L"Package saved to: ")) {
        Fail("generation failed: " + Narrow(result));
    }
    WaitFor(
        "site-audit link shown and Generate enabled again",
        [&] {
            return IsWindowVisible(program.Item(kIdAuditLink)) &&
                   IsWindowEnabled(program.Item(kIdGenerate));
        },
        10);
    std::printf("package_folder=%s\n", Narrow(result.substr(18)).c_str());
}

// The common save dialog is the process's only window of the dialog class while no message
// box is open.
HWND FindSaveDialog(const Program& program) {
    HWND dialog = FindProcessWindow(program.processId, L"#32770");
    return dialog != nullptr && IsWindowVisible(dialog) ? dialog : nullptr;
}

void CheckSaveReportWaitsForAResult(const Program& program) {
    PostMessageW(program.main, WM_COMMAND, kCmdSaveReport, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    if (FindSaveDialog(program) != nullptr) {
        Fail("Save Report opened a dialog before any scan");
    }
    Pass("Save Report does nothing before a scan");
}

HWND OpenSaveReport(const Program& program) {
    PostMessageW(program.main, WM_COMMAND, kCmdSaveReport, 0);
    HWND dialog = nullptr;
    WaitFor(
        "Save Report dialog opens", [&] { return (dialog = FindSaveDialog(program)) != nullptr; },
        30);
    return dialog;
}

// The host of a test site's address ("http://127.0.0.1:8080/" gives "127.0.0.1"), which
// names the report the window suggests.
// The package folder's name: the host, and the port when the address names one
// ("127.0.0.1_8801"); the loopback sites always do.
std::wstring SiteFolderOf(const std::wstring& address) {
    const size_t scheme = address.find(L"://");
    const std::wstring rest = scheme == std::wstring::npos ? address : address.substr(scheme + 3);
    std::wstring folder = rest.substr(0, rest.find(L'/'));
    std::replace(folder.begin(), folder.end(), L':', L'_');
    return folder;
}

// Accepting the dialog's suggestion saves <site folder>-report.html in the output folder.
void SaveReport(const Program& program, HWND dialog, const std::wstring& address) {
    const std::wstring expected =
        program.folder + L"\\output\\" + SiteFolderOf(address) + L"-report.html";
    Click(GetDlgItem(dialog, IDOK));
    WaitFor(
        "report saved under its suggested name",
        [&] { return GetFileAttributesW(expected.c_str()) != INVALID_FILE_ATTRIBUTES; }, 30);
    WaitFor(
        "status bar names the saved report",
        [&] { return StartsWith(TextOf(program.Item(kIdStatusBar)), L"  Report saved to: "); }, 10);
    std::printf("report_file=%s\n", Narrow(expected).c_str());
}

HWND OpenSettings(const Program& program) {
    PostMessageW(program.main, WM_COMMAND, kCmdSettings, 0);
    HWND dialog = nullptr;
    WaitFor(
        "Settings dialog opens and disables the main window",
        [&] {
            dialog = FindProcessWindow(program.processId, L"BCNK_DLG");
            return dialog != nullptr && IsWindowVisible(dialog) && !IsWindowEnabled(program.main);
        },
        20);
    return dialog;
}

void CloseSettings(const Program& program, HWND dialog, int button) {
    Click(GetDlgItem(dialog, button));
    WaitFor(
        "Settings dialog closed and main window enabled",
        [&] { return !IsWindow(dialog) && IsWindowEnabled(program.main); }, 20);
}

void SwitchLoggingOff(const Program& program) {
    HWND dialog = OpenSettings(program);
    HWND check = GetDlgItem(dialog, kIdLogCheck);
    if (SendMessageW(check, BM_GETCHECK, 0, 0) != BST_CHECKED) {
        Fail("logging check box not checked while logging is on");
    }
    Click(check);
    WaitFor(
        "logging check box cleared",
        [&] { return SendMessageW(check, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }, 10);
    CloseSettings(program, dialog, kIdSettingsOk);
}

void StartSlowScan(const Program& program, const std::wstring& address) {
    SendMessageW(program.Item(kIdDelay), CB_SETCURSEL, 4, 0);  // 2000 ms: the scan stays busy
    SetTextOf(program.Item(kIdAddress), address);
    Click(program.Item(kIdScan));
    WaitFor(
        "second scan running (caption Cancel, tabs locked)",
        [&] {
            return TextOf(program.Item(kIdScan)) == L"Cancel" &&
                   !IsWindowEnabled(program.Item(kIdTabs));
        },
        20);
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(program.main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored)) {
        Fail("main window does not answer while the scan runs");
    }
    Pass("main window answers while the scan runs");
}

void CloseAndCheckExit(const Program& program) {
    PostMessageW(program.main, WM_CLOSE, 0, 0);
    WaitFor(
        "process exits after closing during the scan",
        [&] { return WaitForSingleObject(program.process, 0) == WAIT_OBJECT_0; }, 60);
    DWORD code = 1;
    GetExitCodeProcess(program.process, &code);
    if (code != 0) {
        Fail("exit code " + std::to_string(code));
    }
    Pass("exit code 0");
}

// Screenshot hand-over: the window's screen rectangle goes into <name>.rect, then the
// driver waits until the shell has captured it and written <name>.done.
void Pose(const std::wstring& folder, const std::wstring& name, HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT rect;
    GetWindowRect(window, &rect);
    const std::wstring base = folder + L"\\" + name;
    const std::wstring temporary = base + L".tmp";
    FILE* file = _wfopen(temporary.c_str(), L"w");
    if (file == nullptr) {
        Fail("cannot write " + Narrow(temporary));
    }
    std::fprintf(file, "%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top);
    std::fclose(file);
    MoveFileW(temporary.c_str(), (base + L".rect").c_str());
    WaitFor(
        "screenshot " + Narrow(name),
        [&] { return GetFileAttributesW((base + L".done").c_str()) != INVALID_FILE_ATTRIBUTES; },
        60);
}

// The fifth tab lists the sitemap audit; its first row is always the summary.
void ShowSitemapsTab(const Program& program) {
    ClickTab(program, 4);
    WaitFor(
        "Sitemaps tab shows its list with the summary row",
        [&] {
            HWND list = program.Item(kIdSitemapList);
            return IsWindowVisible(list) && !IsWindowVisible(program.Item(kIdCrawlerList)) &&
                   SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) >= 1;
        },
        10);
}

void TakeScreens(const Program& program, const std::wstring& address, const std::wstring& folder) {
    ScanAndCheckViews(program, address);
    Pose(folder, L"adp-status", program.main);
    ClickTab(program, 1);
    WaitFor(
        "Pages Found tab", [&] { return IsWindowVisible(program.Item(kIdPageList)); }, 10);
    Pose(folder, L"pages-found", program.main);
    ClickTab(program, 2);
    WaitFor(
        "Generate tab", [&] { return IsWindowVisible(program.panel); }, 10);
    Generate(program);
    Pose(folder, L"generate", program.main);
    ClickTab(program, 3);
    WaitFor(
        "AI Crawlers tab", [&] { return IsWindowVisible(program.Item(kIdCrawlerList)); }, 10);
    Pose(folder, L"ai-crawlers", program.main);
    ShowSitemapsTab(program);
    Pose(folder, L"sitemaps", program.main);
    HWND saveDialog = OpenSaveReport(program);
    Pose(folder, L"save-report", saveDialog);
    SaveReport(program, saveDialog, address);
    HWND dialog = OpenSettings(program);
    Pose(folder, L"settings", dialog);
    CloseSettings(program, dialog, kIdSettingsCancel);
    ClickTab(program, 0);
    StartSlowScan(program, address);
    Pose(folder, L"scanning", program.main);
    CloseAndCheckExit(program);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (!((mode == L"e2e" && argc == 4) || (mode == L"screens" && argc == 5))) {
        std::printf(
            "usage: bcnk_gui_driver e2e <Beaconsmith.exe> <site address>\n"
            "       bcnk_gui_driver screens <Beaconsmith.exe> <site address> <folder>\n");
        return 2;
    }
    const Program program = Launch(argv[2]);
    if (mode == L"screens") {
        TakeScreens(program, argv[3], argv[4]);
    } else {
        CheckStartupState(program);
        CheckSaveReportWaitsForAResult(program);
        ScanAndCheckViews(program, argv[3]);
        ShowSitemapsTab(program);
        SortAndSwitchTabs(program);
        Generate(program);
        SaveReport(program, OpenSaveReport(program), argv[3]);
        SwitchLoggingOff(program);
        StartSlowScan(program, argv[3]);
        CloseAndCheckExit(program);
    }
    CloseHandle(program.process);
    std::printf("ALL PASSED\n");
    return 0;
}
