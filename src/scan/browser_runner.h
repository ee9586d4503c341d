#pragma once
// Everything the program does with another program: a Chromium-based browser that renders a
// page headless and prints its DOM. The browser is run like any risky input: a fresh
// profile that is removed afterwards, no extensions or background traffic, a time limit
// after which the whole process tree is killed, bounded output, and nothing left running
// when the scan is cancelled or the program closes.
#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include "common/text.h"

namespace bcnk {

inline constexpr std::chrono::milliseconds kRenderTimeLimit{10000};
// Asked of the browser so that a page that never finishes loading still gives the DOM it
// has; the hard limit above stays in force whatever the browser does.
inline constexpr int kBrowserStopAfterMs = 8000;
// More than this is not read: it bounds the memory one page can take.
inline constexpr size_t kMaxDomBytes = 4 * 1024 * 1024;

struct BrowserOutcome {
    bool ok = false;     // the program printed something and ended by itself
    std::string output;  // at most kMaxDomBytes
    Text failure;        // why not ok: "time limit (10 s)", "exited with code 3", ...
};

// The browser to use: `given` when it names a program that exists, else the first
// Chromium-based browser installed at its usual place (Linux: chromium, google-chrome on the
// PATH; Windows: Edge and Chrome under the program folders). Empty when there is none.
Text FindBrowser(const Text& given);

// The arguments (after the program) for one headless render.
std::vector<Text> BrowserArguments(const Text& profileDirectory, const Text& userAgent,
                                   const Text& address);

// Renders `address` with `browser` in a fresh profile, which is removed afterwards.
BrowserOutcome RenderWithBrowser(const Text& browser, const Text& address, const Text& userAgent,
                                 std::chrono::milliseconds limit,
                                 const std::atomic<bool>& cancelFlag);

// Platform part: runs the program with the arguments, reads its standard output (standard
// error is discarded) until it ends, `limit` passes or `cancelFlag` is raised; then kills
// whatever is left of its process tree and waits for it.
BrowserOutcome RunProgram(const Text& program, const std::vector<Text>& arguments,
                          std::chrono::milliseconds limit, const std::atomic<bool>& cancelFlag);

// Platform part: a new directory only this user can read, under the temporary folder; empty
// when none could be made.
Text MakePrivateTempDirectory();

// Platform part: the candidates FindBrowser tries in order, when none is given.
std::vector<Text> BrowserCandidates();

// Platform part: true when `path` names an existing file this user may run.
bool IsRunnableFile(const Text& path);

}  // namespace bcnk
