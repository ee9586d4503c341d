#pragma once
// Facts about where a test runs, for the few places where the stand-in for Windows (Wine)
// is known to differ from Windows itself.

#include <string>

namespace bcnk::test {

bool RunningUnderWine();

// Points the system's temporary folder (TMPDIR; TMP on Windows) at `folder` for as long as
// it lives.
class TempFolderOverride {
public:
    explicit TempFolderOverride(const std::string& folder);
    ~TempFolderOverride();
    TempFolderOverride(const TempFolderOverride&) = delete;
    TempFolderOverride& operator=(const TempFolderOverride&) = delete;

private:
    std::string previous_;
    bool hadPrevious_ = false;
};

}  // namespace bcnk::test
