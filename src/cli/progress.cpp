#include "cli/progress.h"

namespace bcnk::cli {

Text ProgressText(const Text& message, int pageCount) {
    return message + u"  (" + NumberText(pageCount) + (pageCount == 1 ? u" page)" : u" pages)");
}

std::string LiveLine(const Text& text, size_t columns, size_t& shownLength) {
    const size_t room = columns > 4 ? columns - 1 : 3;
    Text shown = text;
    for (char16_t& unit : shown) {
        // A line feed or tab inside an address would break the single line.
        if (unit < 0x20) {
            unit = u' ';
        }
    }
    if (shown.size() > room) {
        shown = shown.substr(0, room - 3) + u"...";
        // Never leave half a surrogate pair before the dots.
        if (shown.size() >= 4 && shown[room - 4] >= 0xD800 && shown[room - 4] <= 0xDBFF) {
            shown.erase(room - 4, 1);
        }
    }
    const size_t length = shown.size();
    if (length < shownLength) {
        shown += Text(shownLength - length, u' ');
    }
    shownLength = length;
    // Appending instead of `"\r" + string` sidesteps a false -Werror=restrict of g++ 12 at -O3.
    std::string line = "\r";
    line += WideToUtf8(shown);
    return line;
}

void ProgressReporter::Report(const Text& message, int pageCount) {
    const Text text = ProgressText(message, pageCount);
    const std::string bytes = live_ ? LiveLine(text, columns_, shownLength_)
                                    : WideToUtf8(text) + "\n";
    std::fwrite(bytes.data(), 1, bytes.size(), stream_);
    std::fflush(stream_);
}

void ProgressReporter::Finish() {
    if (live_ && shownLength_ > 0) {
        const std::string bytes = LiveLine(Text(), columns_, shownLength_) + "\r";
        std::fwrite(bytes.data(), 1, bytes.size(), stream_);
        std::fflush(stream_);
    }
}

}  // namespace bcnk::cli
