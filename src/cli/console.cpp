#include "cli/console.h"

namespace bcnk::cli {

namespace {

std::atomic<bool> gOutputFailed{false};

}  // namespace

bool WriteBytes(std::FILE* stream, const std::string& bytes) {
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
    const bool flushed = std::fflush(stream) == 0;
    if (!written || !flushed) {
        gOutputFailed = true;
    }
    return written && flushed;
}

bool WriteText(std::FILE* stream, const Text& text) {
    return WriteBytes(stream, WideToUtf8(text));
}

bool OutputFailed() {
    return gOutputFailed.load();
}

}  // namespace bcnk::cli
