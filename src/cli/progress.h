#pragma once
// Crawl progress on standard error: one line rewritten in place on a terminal, one plain
// line per message when the output goes to a file or a pipe, where carriage returns would
// only leave clutter.
#include <cstdio>
#include <string>

#include "common/text.h"

namespace bcnk::cli {

// "Crawling: https://example.com/a  (3 pages)".
Text ProgressText(const Text& message, int pageCount);

// The bytes that turn the terminal's current line into text: a carriage return, the text
// cut to fit in columns - 1 (so the cursor never wraps), and spaces over whatever of the
// previous line (shownLength units long) would otherwise remain. Updates shownLength.
std::string LiveLine(const Text& text, size_t columns, size_t& shownLength);

class ProgressReporter {
public:
    ProgressReporter(std::FILE* stream, bool live, size_t columns)
        : stream_(stream), live_(live), columns_(columns) {}

    void Report(const Text& message, int pageCount);
    // Clears the live line, so that whatever is printed next starts on a clean line.
    void Finish();

private:
    std::FILE* stream_;
    bool live_;
    size_t columns_;
    size_t shownLength_ = 0;
};

}  // namespace bcnk::cli
