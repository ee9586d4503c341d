#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "analysis/main_content.h"
#include "analysis/thread_lines.h"

namespace bcnk {
namespace {

// A poster's tallies alone on their line; sentences and labels without a count stay.
TEST(ThreadLines, PosterCounts) {
    const std::pair<const char*, bool> rows[] = {
        {"Posts: 1,234", true},       {" Likes 87 ", true},   {"Reputation: 12k", true},
        {"Messages:3", true},         {"Posts", false},       {"Status", false},
        {"Posts: see below", false},  {"Points 3 and 4 agree", false},
        {"Threads: 12 of 40", false}, {"Postscript: 5", false},
    };
    for (const auto& [text, count] : rows) {
        EXPECT_EQ(IsPosterCountLine(text), count) << text;
    }
    const std::string page =
        "<body><main><h1>Tuning a carburettor</h1><div class=post><p>Posts: 1,234</p><p>Turn "
        "the idle screw a quarter at a time and let the engine settle before the next turn, "
        "then listen for the rough note to smooth out.</p></div></main>";
    const std::string text = ContentText(ExtractMainContent(page, "https://example.test/t"));
    EXPECT_EQ(text.find("1,234"), std::string::npos) << text;
    EXPECT_NE(text.find("idle screw"), std::string::npos) << text;
}

}  // namespace
}  // namespace bcnk
