#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "cli/console.h"
#include "cli/exit_codes.h"

namespace bcnk::cli {

namespace {

std::atomic<bool>* gCancelFlag = nullptr;

static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

extern "C" void OnInterrupt(int) {
    if (gCancelFlag->exchange(true)) {
        _exit(kExitCancelled);
    }
    // Said at once, since the request in flight may take a moment to give up; write() is
    // safe in a signal handler where stdio is not.
    static const char kNote[] = "\nCancelling... (Ctrl+C again stops at once)\n";
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, kNote, sizeof kNote - 1);
}

}  // namespace

std::vector<Text> ProgramArguments(int argc, char** argv) {
    std::vector<Text> arguments;
    for (int index = 1; index < argc; ++index) {
        arguments.push_back(Utf8ToWide(argv[index]));
    }
    return arguments;
}

void PrepareConsole() {}

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

size_t TerminalColumns() {
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
    return 80;
}

void CancelOnInterrupt(std::atomic<bool>& cancelFlag) {
    gCancelFlag = &cancelFlag;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a blocking call interrupted by Ctrl+C should return and let the crawl
    // see the flag rather than wait on.
    sigaction(SIGINT, &action, nullptr);
}

}  // namespace bcnk::cli
