#include "cli/progress.h"

#include "cli/console.h"

namespace bcnk::cli {

namespace {

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// A line feed or tab inside an address would break the single line.
Text OneLine(Text text) {
    for (char16_t& unit : text) {
        if (unit < 0x20) {
            unit = u' ';
        }
    }
    return text;
}

}  // namespace

Text ProgressCount(int pageCount, int maxPages) {
    Text count = u"  (" + NumberText(pageCount);
    if (maxPages < kNoPageLimit) {
        count += u" of " + NumberText(maxPages);
        return count + u" pages)";
    }
    return count + (pageCount == 1 ? u" page)" : u" pages)");
}

Text ProgressText(const Text& message, int pageCount, int maxPages) {
    return message + ProgressCount(pageCount, maxPages);
}

Text CutMiddle(const Text& text, size_t room) {
    if (text.size() <= room) {
        return text;
    }
    if (room <= 3) {
        return Text(room, u'.');
    }
    size_t head = (room - 3 + 1) / 2;
    size_t tailStart = text.size() - (room - 3 - head);
    if (head > 0 && IsHighSurrogate(text[head - 1])) {
        --head;
    }
    if (tailStart < text.size() && IsLowSurrogate(text[tailStart])) {
        ++tailStart;
    }
    return text.substr(0, head) + u"..." + text.substr(tailStart);
}

std::string LiveLine(const Text& message, const Text& tail, size_t columns, size_t& shownLength) {
    const size_t room = columns > 4 ? columns - 1 : 3;
    const Text shownTail = CutMiddle(OneLine(tail), room);
    Text shown = CutMiddle(OneLine(message), room - shownTail.size()) + shownTail;
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

void ProgressReporter::Put(const std::string& bytes) {
    WriteBytes(stream_, bytes);
}

void ProgressReporter::Report(const Text& message, int pageCount) {
    const Text count = ProgressCount(pageCount, maxPages_);
    Put(live_ ? LiveLine(message, count, columns_, shownLength_)
              : WideToUtf8(message + count) + "\n");
}

void ProgressReporter::Finish() {
    if (live_ && shownLength_ > 0) {
        Put(LiveLine(Text(), Text(), columns_, shownLength_) + "\r");
    }
}

}  // namespace bcnk::cli
