#include "support/platform.h"

namespace bcnk::test {

bool RunningUnderWine() { return false; }

}  // namespace bcnk::test
