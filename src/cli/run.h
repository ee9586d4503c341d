#pragma once
// The console program from command line to exit code.
#include <atomic>
#include <vector>

#include "common/text.h"

namespace bcnk::cli {

// Runs one command (arguments without the program name) and returns the exit code.
// cancelFlag is raised by Ctrl+C and read by the crawl.
int Run(const std::vector<Text>& arguments, std::atomic<bool>& cancelFlag);

}  // namespace bcnk::cli
