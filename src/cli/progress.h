#pragma once
// Crawl progress on standard error: one line rewritten in place on a terminal, one plain
// line per message when the output goes to a file or a pipe, where carriage returns would
// only leave clutter.
#include <cstdio>
#include <string>

#include "common/text.h"
#include "scan/scan_types.h"

namespace bcnk::cli {

// "  (3 pages)", or "  (3 of 50 pages)" under a page limit (maxPages below kNoPageLimit).
Text ProgressCount(int pageCount, int maxPages);

// "Crawling: https://example.com/a  (3 pages)".
Text ProgressText(const Text& message, int pageCount, int maxPages = kNoPageLimit);

// text cut in the middle with "..." to at most room units, never inside a surrogate pair.
Text CutMiddle(const Text& text, size_t room);

// The bytes that turn the terminal's current line into message + tail: a carriage return,
// the text fitted into columns - 1 (so the cursor never wraps) by cutting the message in the
// middle, so that both ends of an address and the whole tail (the page count) stay in view,
// and spaces over whatever of the previous line (shownLength units long) would otherwise
// remain. Updates shownLength.
std::string LiveLine(const Text& message, const Text& tail, size_t columns, size_t& shownLength);

class ProgressReporter {
  public:
    ProgressReporter(std::FILE* stream, bool live, size_t columns, int maxPages)
        : stream_(stream), live_(live), columns_(columns), maxPages_(maxPages) {}

    void Report(const Text& message, int pageCount);
    // Clears the live line, so that whatever is printed next starts on a clean line.
    void Finish();

  private:
    void Put(const std::string& bytes);

    std::FILE* stream_;
    bool live_;
    size_t columns_;
    int maxPages_;
    size_t shownLength_ = 0;
};

}  // namespace bcnk::cli
