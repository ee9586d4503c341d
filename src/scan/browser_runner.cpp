#include "scan/browser_runner.h"

#include <filesystem>
#include <system_error>

namespace bcnk {

Text FindBrowser(const Text& given) {
    if (!given.empty()) {
        return IsRunnableFile(given) ? given : Text();
    }
    for (const Text& candidate : BrowserCandidates()) {
        if (IsRunnableFile(candidate)) {
            return candidate;
        }
    }
    return Text();
}

std::vector<Text> BrowserArguments(const Text& profileDirectory, const Text& userAgent,
                                   const Text& address) {
    // No sandbox: it needs privileges a portable program cannot count on; the fresh profile,
    // the kill and the other switches are what keep a render contained.
    return {u"--headless",
            u"--no-sandbox",
            u"--disable-gpu",
            u"--disable-quic",
            u"--no-first-run",
            u"--no-default-browser-check",
            u"--disable-extensions",
            u"--disable-background-networking",
            u"--disable-component-update",
            u"--disable-sync",
            u"--disable-default-apps",
            u"--mute-audio",
            u"--user-data-dir=" + profileDirectory,
            u"--user-agent=" + userAgent,
            u"--timeout=" + NumberText(kBrowserStopAfterMs),
            u"--dump-dom",
            address};
}

BrowserOutcome RenderWithBrowser(const Text& browser, const Text& address, const Text& userAgent,
                                 std::chrono::milliseconds limit,
                                 const std::atomic<bool>& cancelFlag) {
    BrowserOutcome outcome;
    const Text profile = MakePrivateTempDirectory();
    if (profile.empty()) {
        outcome.failure = u"no temporary folder for the browser profile";
        return outcome;
    }
    outcome = RunProgram(browser, BrowserArguments(profile, userAgent, address), limit, cancelFlag);
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(profile), ignored);
    return outcome;
}

}  // namespace bcnk
