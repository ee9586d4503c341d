#include <windows.h>

#include <filesystem>
#include <thread>

#include "scan/browser_runner.h"

namespace bcnk {
namespace {

constexpr DWORD kPollStepMs = 100;

const wchar_t* Wide(const Text& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

// One argument as the C runtime's command-line parser reads it back: quoted when it holds
// blanks or quotes, backslashes doubled only where they precede a quote.
Text QuoteArgument(const Text& argument) {
    if (!argument.empty() && argument.find_first_of(u" \t\n\v\"") == Text::npos) {
        return argument;
    }
    Text quoted = u"\"";
    size_t backslashes = 0;
    for (const char16_t unit : argument) {
        if (unit == u'\\') {
            ++backslashes;
            continue;
        }
        if (unit == u'"') {
            quoted.append(backslashes * 2 + 1, u'\\');
        } else {
            quoted.append(backslashes, u'\\');
        }
        backslashes = 0;
        quoted += unit;
    }
    quoted.append(backslashes * 2, u'\\');
    quoted += u'"';
    return quoted;
}

Text EnvironmentText(const wchar_t* name) {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD length = GetEnvironmentVariableW(name, buffer, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) {
        return Text();
    }
    return Text(reinterpret_cast<const char16_t*>(buffer), length);
}

class Handle {
  public:
    explicit Handle(HANDLE handle = nullptr) : handle_(handle) {}
    ~Handle() {
        if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return handle_; }
    HANDLE* out() { return &handle_; }
    void reset() {
        if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
        handle_ = nullptr;
    }

  private:
    HANDLE handle_;
};

}  // namespace

BrowserOutcome RunProgram(const Text& program, const std::vector<Text>& arguments,
                          std::chrono::milliseconds limit, const std::atomic<bool>& cancelFlag) {
    BrowserOutcome outcome;
    // Every process the browser starts belongs to the job; closing the job's last handle,
    // on any path including this program's own end, kills them all.
    Handle job(CreateJobObjectW(nullptr, nullptr));
    if (job.get() == nullptr) {
        outcome.failure = u"could not start the browser (no job object)";
        return outcome;
    }
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);

    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    Handle readEnd;
    Handle writeEnd;
    if (!CreatePipe(readEnd.out(), writeEnd.out(), &inheritable, 0)) {
        outcome.failure = u"could not start the browser (no pipe)";
        return outcome;
    }
    SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
    Handle nul(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           &inheritable, OPEN_EXISTING, 0, nullptr));

    Text commandLine = QuoteArgument(program);
    for (const Text& argument : arguments) {
        commandLine += u' ';
        commandLine += QuoteArgument(argument);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = nul.get();
    startup.hStdOutput = writeEnd.get();
    startup.hStdError = nul.get();
    PROCESS_INFORMATION process{};
    std::wstring mutableLine(reinterpret_cast<const wchar_t*>(commandLine.c_str()));
    if (!CreateProcessW(Wide(program), mutableLine.data(), nullptr, nullptr, TRUE,
                        CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &process)) {
        outcome.failure = u"could not start the browser";
        return outcome;
    }
    Handle processHandle(process.hProcess);
    Handle threadHandle(process.hThread);
    // In the job before it runs, so not even its first child escapes.
    if (!AssignProcessToJobObject(job.get(), process.hProcess)) {
        TerminateProcess(process.hProcess, 1);
        outcome.failure = u"could not start the browser (job object refused)";
        return outcome;
    }
    ResumeThread(process.hThread);
    writeEnd.reset();  // our copy; the pipe ends when the browser's copies close

    const auto deadline = std::chrono::steady_clock::now() + limit;
    bool ended = false;
    bool cut = false;
    char buffer[65536];
    for (;;) {
        if (cancelFlag.load()) {
            outcome.failure = u"cancelled";
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            outcome.failure = u"time limit (" +
                              NumberText(static_cast<long long>(limit.count() / 1000)) + u" s)";
            break;
        }
        DWORD available = 0;
        if (!PeekNamedPipe(readEnd.get(), nullptr, 0, nullptr, &available, nullptr)) {
            ended = true;  // broken pipe: every writer is gone
            break;
        }
        if (available == 0) {
            // A helper that inherited the pipe may keep it open after the program ended.
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
                PeekNamedPipe(readEnd.get(), nullptr, 0, nullptr, &available, nullptr);
                if (available == 0) {
                    ended = true;
                    break;
                }
                continue;
            }
            Sleep(kPollStepMs / 4);
            continue;
        }
        DWORD got = 0;
        const DWORD wanted = available < sizeof buffer ? available : sizeof buffer;
        if (!ReadFile(readEnd.get(), buffer, wanted, &got, nullptr) || got == 0) {
            ended = true;
            break;
        }
        const size_t room = kMaxDomBytes - outcome.output.size();
        outcome.output.append(buffer, std::min(room, static_cast<size_t>(got)));
        if (outcome.output.size() >= kMaxDomBytes) {
            cut = true;
            break;
        }
    }
    DWORD exitCode = STILL_ACTIVE;
    if (ended && WaitForSingleObject(process.hProcess, 500) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &exitCode);
    }
    TerminateJobObject(job.get(), 1);
    WaitForSingleObject(process.hProcess, 5000);
    if (!outcome.failure.empty()) {
        return outcome;
    }
    if (cut) {
        outcome.failure = u"output longer than the limit";
        return outcome;
    }
    if (exitCode != 0 && exitCode != STILL_ACTIVE) {
        outcome.failure = u"exited with code " + NumberText(static_cast<long long>(exitCode));
        return outcome;
    }
    if (outcome.output.empty()) {
        outcome.failure = u"no output";
        return outcome;
    }
    outcome.ok = true;
    return outcome;
}

Text MakePrivateTempDirectory() {
    wchar_t base[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, base);
    if (length == 0 || length > MAX_PATH) {
        return Text();
    }
    const Text folder(reinterpret_cast<const char16_t*>(base), length);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const Text candidate = folder + u"bcnk-browser-" +
                               NumberText(static_cast<long long>(GetCurrentProcessId())) + u"-" +
                               NumberText(static_cast<long long>(GetTickCount64() % 1000000)) +
                               u"-" + NumberText(attempt);
        // Under the user's own temporary folder, which only that user (and administrators)
        // can read.
        if (CreateDirectoryW(Wide(candidate), nullptr)) {
            return candidate;
        }
    }
    return Text();
}

std::vector<Text> BrowserCandidates() {
    std::vector<Text> found;
    const Text programFiles = EnvironmentText(L"ProgramFiles");
    const Text programFiles86 = EnvironmentText(L"ProgramFiles(x86)");
    const Text localData = EnvironmentText(L"LOCALAPPDATA");
    for (const Text& root : {programFiles86, programFiles}) {
        if (!root.empty()) {
            found.push_back(root + u"\\Microsoft\\Edge\\Application\\msedge.exe");
        }
    }
    for (const Text& root : {programFiles, programFiles86, localData}) {
        if (!root.empty()) {
            found.push_back(root + u"\\Google\\Chrome\\Application\\chrome.exe");
        }
    }
    return found;
}

bool IsRunnableFile(const Text& path) {
    const DWORD attributes = GetFileAttributesW(Wide(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace bcnk
