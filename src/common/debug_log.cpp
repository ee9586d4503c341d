#include "common/debug_log.h"

#include <cstdio>
#include <mutex>
#include <string>

#include "common/file_system.h"
#include "common/local_time.h"
#include "common/maker_info.h"
#include "common/settings.h"

namespace bcnk {

namespace {

// Created on first use and never destroyed: a worker that still writes while the process
// shuts down must find the lock intact.
std::mutex& LogLock() {
    static std::mutex* const lock = new std::mutex;
    return *lock;
}
std::FILE* logFile = nullptr;  // guarded by LogLock(); non-null means open

// Whether the last attempt to switch logging on succeeded and it has not been switched off
// since. User-interface thread only, like everything that changes it.
bool loggingActive = false;

// The file is UTF-8 with CR LF line ends on every platform, so it reads the same in any
// editor whichever build wrote it.
std::string EncodeForFile(const Text& text) {
    const std::string utf8 = WideToUtf8(text);
    std::string encoded;
    encoded.reserve(utf8.size() + 2);
    for (char byte : utf8) {
        if (byte == '\n') {
            encoded += '\r';
        }
        encoded += byte;
    }
    return encoded;
}

void WriteLocked(const std::string& bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), logFile);
    std::fflush(logFile);
}

// "hh:mm:ss.mmm" and the two spaces that lead every message line.
std::string TimeStamp() {
    const LocalTime now = NowLocal();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d.%03d  ", now.hour, now.minute, now.second,
                  now.millisecond);
    return stamp;
}

Text SessionHeader() {
    const LocalTime now = NowLocal();
    char started[64];
    std::snprintf(started, sizeof started, "Session started: %04d-%02d-%02d %02d:%02d:%02d\n",
                  now.year, now.month, now.day, now.hour, now.minute, now.second);
    return Text(u"==== ") + kProductName + u" v1 ====\n" + AsciiToText(started);
}

}  // namespace

bool DebugLog::Open(const Text& directory) {
    std::lock_guard<std::mutex> guard(LogLock());
    // Reopening without a Close would otherwise leak the earlier stream.
    if (logFile != nullptr) {
        std::fclose(logFile);
        logFile = nullptr;
    }
    logFile = OpenFileForWriting(JoinPath(directory, u"debug.log"));
    if (logFile == nullptr) {
        return false;
    }
    WriteLocked("\xEF\xBB\xBF" + EncodeForFile(SessionHeader()));
    return true;
}

void DebugLog::Write(const Text& message) {
    // Converted before taking the lock, so other threads wait only for the write itself.
    const std::string line = EncodeForFile(message + u"\n");
    std::lock_guard<std::mutex> guard(LogLock());
    if (logFile == nullptr) {
        return;
    }
    // The stamp is read inside the lock so that lines stand in the order of their stamps.
    WriteLocked(TimeStamp() + line);
}

void DebugLog::Close() {
    // Footer and close under one hold of the lock: no other thread's line can land after
    // "Session ended.".
    std::lock_guard<std::mutex> guard(LogLock());
    if (logFile == nullptr) {
        return;
    }
    WriteLocked(TimeStamp() + EncodeForFile(u"Session ended.\n"));
    std::fclose(logFile);
    logFile = nullptr;
}

bool StartLoggingIfEnabled(const Text& directory) {
    loggingActive = SettingsStore::debugLogEnabled && DebugLog::Open(directory);
    return loggingActive;
}

bool StartLoggingIfEnabled() {
    return StartLoggingIfEnabled(ModuleDirectory());
}

void ApplyLoggingSetting(const Text& directory) {
    if (SettingsStore::debugLogEnabled && !loggingActive) {
        loggingActive = DebugLog::Open(directory);
        if (loggingActive) {
            DebugLog::Write(u"Logging enabled via settings.");
        }
    } else if (!SettingsStore::debugLogEnabled && loggingActive) {
        DebugLog::Write(u"Logging disabled via settings.");
        DebugLog::Close();
        loggingActive = false;
    }
}

void ApplyLoggingSetting() {
    ApplyLoggingSetting(ModuleDirectory());
}

}  // namespace bcnk
