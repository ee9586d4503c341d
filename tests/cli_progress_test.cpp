// Progress lines on standard error, and the exit codes scripts rely on.
#include <gtest/gtest.h>

#include "cli/exit_codes.h"
#include "cli/progress.h"

namespace bcnk::cli {
namespace {

TEST(ProgressText, CountsPages) {
    EXPECT_EQ(ProgressText(u"Crawling: https://a.example/", 1),
              u"Crawling: https://a.example/  (1 page)");
    EXPECT_EQ(ProgressText(u"Scan complete", 32), u"Scan complete  (32 pages)");
    EXPECT_EQ(ProgressText(u"Crawling: x", 1, 50), u"Crawling: x  (1 of 50 pages)");
}

TEST(LiveLine, RewritesTheLineInPlace) {
    size_t shown = 0;
    EXPECT_EQ(LiveLine(u"long line", u" here", 80, shown), "\rlong line here");
    EXPECT_EQ(shown, 14u);
    // A shorter line blanks what is left of the longer one.
    EXPECT_EQ(LiveLine(u"short", u"", 80, shown), "\rshort         ");
    EXPECT_EQ(shown, 5u);
}

TEST(LiveLine, CutsTheMessageInTheMiddleAndKeepsTheCount) {
    struct Row {
        Text message;
        Text tail;
        size_t columns;
        std::string line;
    };
    const Text emoji = Text(u"01") + u"\U0001F600" + u"x456789";
    const Row rows[] = {
        {u"0123456789abcdef", u"", 12, "\r0123...cdef"},
        {u"Crawling: https://a.example/very/long/path", u"  (12 of 500 pages)", 40,
         "\rCrawling:...ong/path  (12 of 500 pages)"},
        {u"a\nb\tc", u"", 80, "\ra b c"},
        // A surrogate pair cut in half would print as a broken character.
        {emoji, u"", 10, "\r01...789"},
        // Even a very narrow terminal keeps the line from wrapping.
        {u"Crawling: x", u"  (1 page)", 8, "\r  ...e)"},
    };
    for (const Row& row : rows) {
        size_t shown = 0;
        EXPECT_EQ(LiveLine(row.message, row.tail, row.columns, shown), row.line)
            << WideToUtf8(row.message);
        EXPECT_LT(shown, row.columns);
    }
}

TEST(ExitCodeFor, PrecedenceOfOutcomes) {
    struct Case {
        RunFacts facts;
        int code;
    };
    const Case cases[] = {
        {{false, true, true, 80, -1}, kExitDone},
        {{false, true, true, 80, 80}, kExitDone},
        {{false, true, true, 79, 80}, kExitBelowMinScore},
        {{false, true, true, 0, 0}, kExitDone},
        {{false, true, false, 80, -1}, kExitNotWritten},
        {{false, true, false, 10, 80}, kExitNotWritten},
        {{false, false, true, 0, 50}, kExitNoPages},
        {{false, false, false, 0, -1}, kExitNoPages},
        {{true, true, true, 90, -1}, kExitCancelled},
        {{true, false, false, 0, 50}, kExitCancelled},
    };
    for (const Case& row : cases) {
        EXPECT_EQ(ExitCodeFor(row.facts), row.code)
            << row.facts.cancelled << row.facts.anyPage << row.facts.written << " "
            << row.facts.score << "/" << row.facts.minScore;
    }
}

}  // namespace
}  // namespace bcnk::cli
