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
}

TEST(LiveLine, RewritesTheLineInPlace) {
    size_t shown = 0;
    EXPECT_EQ(LiveLine(u"long line here", 80, shown), "\rlong line here");
    EXPECT_EQ(shown, 14u);
    // A shorter line blanks what is left of the longer one.
    EXPECT_EQ(LiveLine(u"short", 80, shown), "\rshort         ");
    EXPECT_EQ(shown, 5u);
}

TEST(LiveLine, NeverWrapsOrBreaksTheLine) {
    size_t shown = 0;
    EXPECT_EQ(LiveLine(u"0123456789abcdef", 12, shown), "\r01234567...");
    EXPECT_EQ(shown, 11u);

    shown = 0;
    EXPECT_EQ(LiveLine(u"a\nb\tc", 80, shown), "\ra b c");

    // A surrogate pair cut in half would print as a broken character.
    shown = 0;
    const Text emoji = Text(u"0123456") + u"\U0001F600" + u"tail-tail";
    EXPECT_EQ(LiveLine(emoji, 12, shown), "\r0123456...");
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
