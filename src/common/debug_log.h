#pragma once
// The optional diagnostic trace, debug.log beside the executable. One process-wide writer
// serves the user-interface thread and both workers; while the log is closed every write is
// dropped, so callers never ask whether logging is on.
#include "common/text.h"

namespace bcnk {

class DebugLog {
  public:
    // Truncates <directory>/debug.log and writes the session header. On false the log stays
    // closed and nothing is reported. User-interface thread only.
    static bool Open(const Text& directory);

    // Writes "hh:mm:ss.mmm  message" and flushes at once, so the file is complete up to the
    // last line even if the process dies. Any thread.
    static void Write(const Text& message);

    // Writes "Session ended." and closes the file; nothing when the log is not open.
    static void Close();
};

// Start-up: opens the log in the executable's directory when the "debuglog" setting is on,
// and remembers whether logging is now active. Returns that.
bool StartLoggingIfEnabled();

// After the Settings dialog stored its values: opens or closes the log so that it follows
// the "debuglog" setting, noting the change in the log itself.
void ApplyLoggingSetting();

// The same two, against a chosen directory instead of the executable's (tests use this).
bool StartLoggingIfEnabled(const Text& directory);
void ApplyLoggingSetting(const Text& directory);

}  // namespace bcnk
