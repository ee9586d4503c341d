// A stand-in for a headless browser, for the tests of the browser runner on both platforms.
// It reads the address (the last argument) and behaves as the address says:
//   ...hang...   starts a child that sleeps, then sleeps itself, printing nothing
//   ...early...  exits with code 3 without printing
//   ...flood...  prints more than any DOM the runner keeps, then sleeps
//   otherwise    prints a small DOM naming its profile folder and the address
// "log=PATH" in the address names a file that gets the process ids it started and its
// profile folder, one per line, so a test can check that nothing is left behind.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

void SleepForever() {
    for (int i = 0; i < 3600; ++i) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
}

long CurrentProcessId() {
#ifdef _WIN32
    return static_cast<long>(GetCurrentProcessId());
#else
    return static_cast<long>(getpid());
#endif
}

// Starts a copy of this program that only sleeps; its process id, or -1.
long StartSleepingChild(const char* self) {
#ifdef _WIN32
    (void)self;
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring line = L"\"";
    line += path;
    line += L"\" --sleep";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(path, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return -1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<long>(process.dwProcessId);
#else
    const pid_t child = fork();
    if (child == 0) {
        execl(self, self, "--sleep", static_cast<char*>(nullptr));
        _exit(127);
    }
    return static_cast<long>(child);
#endif
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--sleep") == 0) {
        SleepForever();
        return 0;
    }
    std::string profile;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--user-data-dir=", 16) == 0) {
            profile = argv[i] + 16;
        }
    }
    const std::string address = argc > 1 ? argv[argc - 1] : "";
    std::string logPath;
    const size_t log = address.find("log=");
    if (log != std::string::npos) {
        logPath = address.substr(log + 4);
    }
    const std::string mode = address.substr(0, log);
    std::FILE* logFile = logPath.empty() ? nullptr : std::fopen(logPath.c_str(), "w");
    auto note = [&](const std::string& line) {
        if (logFile != nullptr) {
            std::fprintf(logFile, "%s\n", line.c_str());
            std::fflush(logFile);
        }
    };
    note("profile " + profile);
    note("pid " + std::to_string(CurrentProcessId()));
    if (mode.find("hang") != std::string::npos) {
        note("pid " + std::to_string(StartSleepingChild(argv[0])));
        SleepForever();
        return 0;
    }
    if (mode.find("early") != std::string::npos) {
        return 3;
    }
    if (mode.find("flood") != std::string::npos) {
        const std::string block(65536, 'x');
        for (int i = 0; i < 256; ++i) {
            std::fwrite(block.data(), 1, block.size(), stdout);
        }
        std::fflush(stdout);
        SleepForever();
        return 0;
    }
    std::printf("<html><head><title>Rendered</title></head><body><p>profile %s</p>"
                "<p>address %s</p></body></html>\n",
                profile.c_str(), address.c_str());
    return 0;
}
