#include "cli/console.h"

namespace bcnk::cli {

void WriteText(std::FILE* stream, const Text& text) {
    const std::string bytes = WideToUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
}

}  // namespace bcnk::cli
