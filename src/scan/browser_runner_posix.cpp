#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "scan/browser_runner.h"

namespace bcnk {
namespace {

constexpr int kPollStepMs = 100;

std::string Narrow(const Text& text) {
    return WideToUtf8(text);
}

// Runs in the child between fork and exec: only async-signal-safe calls.
[[noreturn]] void ExecChild(int outputFd, int nullFd, const char* program, char* const* argv) {
    setpgid(0, 0);
    // Should this program die without killing the browser, the browser dies with it.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    dup2(nullFd, STDIN_FILENO);
    dup2(outputFd, STDOUT_FILENO);
    dup2(nullFd, STDERR_FILENO);
    const int limit = static_cast<int>(sysconf(_SC_OPEN_MAX));
    for (int fd = 3; fd < limit && fd < 65536; ++fd) {
        close(fd);
    }
    execv(program, argv);
    _exit(127);
}

Text ExitText(int status) {
    if (WIFEXITED(status)) {
        return u"exited with code " + NumberText(WEXITSTATUS(status));
    }
    if (WIFSIGNALED(status)) {
        return u"ended by signal " + NumberText(WTERMSIG(status));
    }
    return u"ended";
}

}  // namespace

BrowserOutcome RunProgram(const Text& program, const std::vector<Text>& arguments,
                          std::chrono::milliseconds limit, const std::atomic<bool>& cancelFlag) {
    BrowserOutcome outcome;
    const std::string path = Narrow(program);
    std::vector<std::string> narrow{path};
    for (const Text& argument : arguments) {
        narrow.push_back(Narrow(argument));
    }
    std::vector<char*> argv;
    for (std::string& argument : narrow) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        outcome.failure = u"could not start the browser (no pipe)";
        return outcome;
    }
    const int nullFd = open("/dev/null", O_RDWR | O_CLOEXEC);
    const pid_t child = fork();
    if (child == 0) {
        ExecChild(pipeFds[1], nullFd, path.c_str(), argv.data());
    }
    close(pipeFds[1]);
    if (nullFd >= 0) {
        close(nullFd);
    }
    if (child < 0) {
        close(pipeFds[0]);
        outcome.failure = u"could not start the browser";
        return outcome;
    }
    // Also set here, so the group exists whichever side runs first.
    setpgid(child, child);

    const auto deadline = std::chrono::steady_clock::now() + limit;
    bool ended = false;
    bool cut = false;
    bool reapedEarly = false;
    int earlyStatus = 0;
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
        pollfd entry{pipeFds[0], POLLIN, 0};
        const int ready = poll(&entry, 1, kPollStepMs);
        if (ready < 0 && errno != EINTR) {
            break;
        }
        if (ready == 0) {
            // A helper that inherited the pipe may keep it open after the program ended.
            int status = 0;
            if (waitpid(child, &status, WNOHANG) == child) {
                reapedEarly = true;
                earlyStatus = status;
                ended = true;
                // What it wrote just before it ended is still in the pipe.
                while (outcome.output.size() < kMaxDomBytes && poll(&entry, 1, 0) > 0) {
                    const ssize_t rest = read(pipeFds[0], buffer, sizeof buffer);
                    if (rest <= 0) {
                        break;
                    }
                    const size_t room = kMaxDomBytes - outcome.output.size();
                    outcome.output.append(buffer, std::min(room, static_cast<size_t>(rest)));
                }
                break;
            }
            continue;
        }
        if (ready < 0) {
            continue;
        }
        const ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            ended = true;  // every writer closed the pipe
            break;
        }
        const size_t room = kMaxDomBytes - outcome.output.size();
        outcome.output.append(buffer, std::min(room, static_cast<size_t>(got)));
        if (outcome.output.size() >= kMaxDomBytes) {
            cut = true;
            break;
        }
    }
    close(pipeFds[0]);
    // The output ended, but helpers of the browser may still run; the group goes either way.
    int status = earlyStatus;
    pid_t reaped = reapedEarly ? child : 0;
    if (ended && !reapedEarly) {
        // Give the program a moment to exit by itself, so its exit code can be read.
        for (int i = 0; i < 20 && reaped == 0; ++i) {
            reaped = waitpid(child, &status, WNOHANG);
            if (reaped == 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(25));
            }
        }
    }
    kill(-child, SIGKILL);
    if (reaped == 0) {
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }
    if (!outcome.failure.empty()) {
        return outcome;
    }
    if (cut) {
        outcome.failure = u"output longer than the limit";
        return outcome;
    }
    if (reaped != 0 && !(WIFEXITED(status) && WEXITSTATUS(status) == 0)) {
        outcome.failure = ExitText(status);
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
    const char* base = std::getenv("TMPDIR");
    std::string pattern = (base != nullptr && *base != '\0') ? base : "/tmp";
    pattern += "/bcnk-browser-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        return Text();
    }
    return Utf8ToWide(pattern);
}

std::vector<Text> BrowserCandidates() {
    std::vector<Text> found;
    const char* path = std::getenv("PATH");
    const std::string folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    for (const char* name : {"chromium", "chromium-browser", "google-chrome",
                             "google-chrome-stable", "microsoft-edge"}) {
        size_t from = 0;
        while (from <= folders.size()) {
            size_t end = folders.find(':', from);
            if (end == std::string::npos) {
                end = folders.size();
            }
            const std::string folder = folders.substr(from, end - from);
            if (!folder.empty()) {
                found.push_back(Utf8ToWide(folder + "/" + name));
            }
            from = end + 1;
        }
    }
    return found;
}

bool IsRunnableFile(const Text& path) {
    struct stat info {};
    const std::string narrow = Narrow(path);
    return stat(narrow.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(narrow.c_str(), X_OK) == 0;
}

}  // namespace bcnk
