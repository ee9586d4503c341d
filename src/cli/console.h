#pragma once
// What the console program needs from the platform: its arguments as UTF-16, UTF-8 output,
// whether standard error is a terminal, and Ctrl+C.
#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "common/text.h"

namespace bcnk::cli {

// The arguments after the program name. Windows hands them over in UTF-16 itself, so the
// narrow argv is not used there.
std::vector<Text> ProgramArguments(int argc, char** argv);

// Makes the console show UTF-8 output as UTF-8.
void PrepareConsole();

bool StandardErrorIsTerminal();

// Width of the terminal behind standard error; 80 when it cannot be told.
size_t TerminalColumns();

// The first Ctrl+C raises cancelFlag, exactly like the window's Cancel button; a second one
// ends the process at once with exit code 130, for a scan stuck waiting on a slow server.
// cancelFlag must outlive the process's use of it.
void CancelOnInterrupt(std::atomic<bool>& cancelFlag);

// Writes UTF-8 bytes of text and flushes; false when the bytes did not all get through
// (a full disk, a closed pipe), which OutputFailed() then remembers for the exit code.
bool WriteText(std::FILE* stream, const Text& text);
bool WriteBytes(std::FILE* stream, const std::string& bytes);

// True once any write to standard output, standard error or the JSON file has failed.
bool OutputFailed();

}  // namespace bcnk::cli
