#include "cli/exit_codes.h"

namespace bcnk::cli {

int ExitCodeFor(const RunFacts& facts) {
    if (facts.cancelled) {
        return kExitCancelled;
    }
    if (!facts.anyPage) {
        return kExitNoPages;
    }
    if (!facts.written) {
        return kExitNotWritten;
    }
    if (facts.minScore >= 0 && facts.score < facts.minScore) {
        return kExitBelowMinScore;
    }
    return kExitDone;
}

}  // namespace bcnk::cli
