#include <windows.h>

#include <io.h>
#include <shellapi.h>

#include "cli/console.h"
#include "cli/exit_codes.h"

namespace bcnk::cli {

namespace {

std::atomic<bool>* gCancelFlag = nullptr;

// Runs on a thread of its own that the system starts for the event.
BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        return FALSE;
    }
    if (gCancelFlag->exchange(true)) {
        ExitProcess(kExitCancelled);
    }
    // Said at once, since the request in flight may take a moment to give up.
    static const char kNote[] = "\r\nCancelling... (Ctrl+C again stops at once)\r\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), kNote, sizeof kNote - 1, &written, nullptr);
    return TRUE;
}

}  // namespace

std::vector<Text> ProgramArguments(int, char**) {
    std::vector<Text> arguments;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) {
        return arguments;
    }
    for (int index = 1; index < count; ++index) {
        arguments.emplace_back(reinterpret_cast<const char16_t*>(wide[index]));
    }
    LocalFree(wide);
    return arguments;
}

void PrepareConsole() { SetConsoleOutputCP(CP_UTF8); }

bool StandardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

size_t TerminalColumns() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info)) {
        const int width = info.srWindow.Right - info.srWindow.Left + 1;
        if (width > 0) {
            return static_cast<size_t>(width);
        }
    }
    return 80;
}

void CancelOnInterrupt(std::atomic<bool>& cancelFlag) {
    gCancelFlag = &cancelFlag;
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

}  // namespace bcnk::cli
