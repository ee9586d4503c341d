#pragma once
// Reading back what the program wrote to debug.log, without time stamps, header or the
// closing line, so tests can compare the messages themselves.
#include <functional>
#include <string>
#include <vector>

#include "common/text.h"

namespace bcnk::test {

// The messages of a whole debug.log; fails the test when the file is not shaped as the log
// writes it (byte-order mark, two header lines, stamped lines, "Session ended." last).
std::vector<Text> LogMessages(const std::string& bytes);

// Runs `work` with the debug log open in a temporary directory and returns what it logged.
std::vector<Text> LoggedMessages(const std::function<void()>& work);

}  // namespace bcnk::test
