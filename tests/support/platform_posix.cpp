#include "support/platform.h"

#include <cstdlib>

namespace bcnk::test {

bool RunningUnderWine() { return false; }

TempFolderOverride::TempFolderOverride(const std::string& folder) {
    if (const char* previous = std::getenv("TMPDIR")) {
        previous_ = previous;
        hadPrevious_ = true;
    }
    setenv("TMPDIR", folder.c_str(), 1);
}

TempFolderOverride::~TempFolderOverride() {
    if (hadPrevious_) {
        setenv("TMPDIR", previous_.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
}

}  // namespace bcnk::test
