#pragma once
// The console program's exit codes, which scripts and CI pipelines test.

namespace bcnk::cli {

enum ExitCode : int {
    kExitDone = 0,
    kExitUsage = 2,           // bad arguments, or an address that fails the quick check
    kExitNoPages = 3,         // no page could be crawled (or networking could not start)
    kExitNotWritten = 4,      // the package or the JSON file could not be written
    kExitBelowMinScore = 5,
    kExitCancelled = 130,     // Ctrl+C, as shells report a run ended by SIGINT
};

struct RunFacts {
    bool cancelled = false;
    bool anyPage = false;
    bool written = true;  // every requested output (JSON file, package) was written
    int score = 0;
    int minScore = -1;    // -1: no threshold
};

// Cancellation wins over everything, since the result is partial; then the missing pages,
// since nothing else could be judged; then output failures; the score threshold comes last.
int ExitCodeFor(const RunFacts& facts);

}  // namespace bcnk::cli
