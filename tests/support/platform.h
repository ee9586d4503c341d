#pragma once
// Facts about where a test runs, for the few places where the stand-in for Windows (Wine)
// is known to differ from Windows itself.

namespace bcnk::test {

bool RunningUnderWine();

}  // namespace bcnk::test
