#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "common/debug_log.h"
#include "common/settings.h"
#include "support/temp_dir.h"

namespace bcnk {
namespace {

const std::string kBom = "\xEF\xBB\xBF";
const std::regex kStampedLine(R"((\d\d):(\d\d):(\d\d)\.(\d\d\d)  (.*))");

// The lines of a log file without BOM and line ends. Fails the test when the file does not
// start with the BOM or holds a line end other than CR LF.
std::vector<std::string> LogLines(const std::string& bytes) {
    std::vector<std::string> lines;
    if (bytes.compare(0, kBom.size(), kBom) != 0) {
        ADD_FAILURE() << "no byte-order mark";
        return lines;
    }
    size_t start = kBom.size();
    while (start < bytes.size()) {
        const size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "last line has no CR LF: " << bytes.substr(start);
            break;
        }
        const std::string line = bytes.substr(start, end - start);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "stray line end in " << line;
        lines.push_back(line);
        start = end + 2;
    }
    return lines;
}

// The message part of a time-stamped line; fails the test when the stamp is malformed.
std::string MessageOf(const std::string& line) {
    std::smatch match;
    if (!std::regex_match(line, match, kStampedLine)) {
        ADD_FAILURE() << "not a time-stamped line: " << line;
        return std::string();
    }
    EXPECT_LT(std::stoi(match[1]), 24);
    EXPECT_LT(std::stoi(match[2]), 60);
    EXPECT_LT(std::stoi(match[3]), 61);
    return match[5];
}

void ExpectSessionHeader(const std::vector<std::string>& lines) {
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "==== Talvenn's Beaconsmith v1 ====");
    EXPECT_TRUE(std::regex_match(lines[1],
                                 std::regex(R"(Session started: \d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")))
        << lines[1];
}

std::vector<std::string> MessagesAfterHeader(const std::vector<std::string>& lines) {
    std::vector<std::string> messages;
    for (size_t i = 2; i < lines.size(); ++i) {
        messages.push_back(MessageOf(lines[i]));
    }
    return messages;
}

class DebugLogTest : public ::testing::Test {
  protected:
    void TearDown() override {
        DebugLog::Close();
        SettingsStore::debugLogEnabled = true;
    }
    std::filesystem::path LogPath() const { return dir.path() / "debug.log"; }
    std::vector<std::string> ReadLog() const { return LogLines(test::ReadFileBytes(LogPath())); }

    test::TempDir dir;
};

TEST_F(DebugLogTest, WritesHeaderStampedLinesAndFooter) {
    ASSERT_TRUE(DebugLog::Open(dir.text()));
    DebugLog::Write(u"Application starting.");
    // An internationalised address as the crawl would log it.
    DebugLog::Write(
        u"Scan requested: url=https://b\u00FCcher.example/\u043A\u043D\u0438\u0433\u0438/"
        u"\u65E5\u672C \U0001F600");
    DebugLog::Write(u"");
    DebugLog::Write(u"two\nlines");
    DebugLog::Close();

    const std::string bytes = test::ReadFileBytes(LogPath());
    const std::vector<std::string> lines = LogLines(bytes);
    ExpectSessionHeader(lines);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(MessageOf(lines[2]), "Application starting.");
    EXPECT_EQ(MessageOf(lines[3]),
              "Scan requested: url=https://b\xC3\xBC"
              "cher.example/"
              "\xD0\xBA\xD0\xBD\xD0\xB8\xD0\xB3\xD0\xB8/\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80");
    EXPECT_EQ(MessageOf(lines[4]), "");
    // A line feed inside a message gets the file's line end too, like any other "\n".
    EXPECT_EQ(MessageOf(lines[5]), "two");
    EXPECT_EQ(lines[6], "lines");
    EXPECT_EQ(MessageOf(lines[7]), "Session ended.");
}

TEST_F(DebugLogTest, WritesWhileClosedAreDropped) {
    DebugLog::Write(u"before open");
    ASSERT_TRUE(DebugLog::Open(dir.text()));
    DebugLog::Write(u"kept");
    DebugLog::Close();
    const std::string closedFile = test::ReadFileBytes(LogPath());
    DebugLog::Write(u"after close");
    DebugLog::Close();  // a second Close adds no footer
    EXPECT_EQ(test::ReadFileBytes(LogPath()), closedFile);
    EXPECT_EQ(MessagesAfterHeader(LogLines(closedFile)),
              (std::vector<std::string>{"kept", "Session ended."}));
}

TEST_F(DebugLogTest, ConcurrentWritersNeverInterleaveLines) {
    ASSERT_TRUE(DebugLog::Open(dir.text()));
    constexpr int kThreads = 4;
    constexpr int kLinesPerThread = 400;
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([t] {
            // Long enough that a torn write would show inside the line.
            const Text padding(120, char16_t(u'a' + t));
            for (int i = 0; i < kLinesPerThread; ++i) {
                DebugLog::Write(u"writer " + NumberText(t) + u" line " + NumberText(i) + u" " +
                                padding);
            }
        });
    }
    for (std::thread& writer : writers) {
        writer.join();
    }
    DebugLog::Close();

    const std::vector<std::string> lines = ReadLog();
    ExpectSessionHeader(lines);
    ASSERT_EQ(lines.size(), 2u + kThreads * kLinesPerThread + 1u);
    std::vector<int> nextLine(kThreads, 0);
    const std::regex shape(R"(writer (\d) line (\d+) ([a-z]+))");
    for (size_t i = 2; i + 1 < lines.size(); ++i) {
        const std::string message = MessageOf(lines[i]);
        std::smatch match;
        ASSERT_TRUE(std::regex_match(message, match, shape)) << message;
        const int writer = std::stoi(match[1]);
        EXPECT_EQ(std::stoi(match[2]), nextLine[writer]++) << "lines of one writer out of order";
        EXPECT_EQ(match[3].str(), std::string(120, char('a' + writer)));
    }
    EXPECT_EQ(MessageOf(lines.back()), "Session ended.");
}

TEST_F(DebugLogTest, SwitchingOffAndOnStartsAFreshFile) {
    SettingsStore::debugLogEnabled = true;
    ASSERT_TRUE(StartLoggingIfEnabled(dir.text()));
    DebugLog::Write(u"Application starting.");

    SettingsStore::debugLogEnabled = false;
    ApplyLoggingSetting(dir.text());
    DebugLog::Write(u"while off");
    std::vector<std::string> lines = ReadLog();
    ExpectSessionHeader(lines);
    EXPECT_EQ(MessagesAfterHeader(lines),
              (std::vector<std::string>{"Application starting.", "Logging disabled via settings.",
                                        "Session ended."}));

    ApplyLoggingSetting(dir.text());  // still off: nothing happens
    EXPECT_EQ(ReadLog(), lines);

    SettingsStore::debugLogEnabled = true;
    ApplyLoggingSetting(dir.text());
    ApplyLoggingSetting(dir.text());  // already on: nothing more is written
    lines = ReadLog();
    ExpectSessionHeader(lines);
    EXPECT_EQ(MessagesAfterHeader(lines),
              (std::vector<std::string>{"Logging enabled via settings."}));
}

TEST_F(DebugLogTest, SettingOffLeavesAnEarlierLogUntouched) {
    test::WriteFileBytes(LogPath(), "earlier session");
    SettingsStore::debugLogEnabled = false;
    EXPECT_FALSE(StartLoggingIfEnabled(dir.text()));
    DebugLog::Write(u"dropped");
    EXPECT_EQ(test::ReadFileBytes(LogPath()), "earlier session");
}

TEST_F(DebugLogTest, FailedOpenWritesNothingAndIsRetriedLater) {
    test::WriteFileBytes(dir.path() / "plain-file", "x");
    std::filesystem::create_directory(dir.path() / "holder");
    std::filesystem::create_directory(dir.path() / "holder" / "debug.log");
    const std::vector<Text> unusable = {
        dir.File(u"missing"),     // directory does not exist
        dir.File(u"plain-file"),  // a file where the directory should be
        dir.File(u"holder"),      // debug.log exists but is a directory
    };
    for (const Text& directory : unusable) {
        SettingsStore::debugLogEnabled = true;
        EXPECT_FALSE(StartLoggingIfEnabled(directory));
        DebugLog::Write(u"dropped");
        DebugLog::Close();
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
    EXPECT_EQ(test::ReadFileBytes(dir.path() / "plain-file"), "x");
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "holder" / "debug.log"));
    EXPECT_FALSE(std::filesystem::exists(LogPath()));

    // The failure left logging inactive, so confirming Settings with logging on tries again.
    ApplyLoggingSetting(dir.text());
    const std::vector<std::string> lines = ReadLog();
    ExpectSessionHeader(lines);
    EXPECT_EQ(MessagesAfterHeader(lines),
              (std::vector<std::string>{"Logging enabled via settings."}));
}

}  // namespace
}  // namespace bcnk
