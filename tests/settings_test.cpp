#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "common/settings.h"
#include "support/temp_dir.h"

namespace bcnk {
namespace {

class SettingsTest : public ::testing::Test {
  protected:
    void TearDown() override {
        SettingsStore::debugLogEnabled = true;
        SettingsStore::userAgent = DefaultUserAgent();
        SettingsStore::respectRobots = true;
        SettingsStore::agentCheck = true;
        SettingsStore::renderPages = 25;
        SettingsStore::keepQueryTracking = false;
    }
    // Reads the file from a state that no row expects, so a value left unset shows.
    void LoadFrom(const Text& path) {
        SettingsStore::debugLogEnabled = false;
        SettingsStore::userAgent = u"stale";
        SettingsStore::respectRobots = false;
        SettingsStore::LoadFrom(path);
    }
    Text IniPath() const { return dir.File(u"bcnk.ini"); }

    test::TempDir dir;
};

// Settings files as a user might leave them, and what each reads as. The same rows run
// against the Windows profile functions and against our own reader.
TEST_F(SettingsTest, ReadsSettingsFiles) {
    struct Row {
        const char* what;
        std::optional<std::string> file;  // nothing: no file at all
        bool debugLog;
        Text userAgent;
    };
    const Text fallback = DefaultUserAgent();
    const std::string longAgent(1500, 'a');
    const std::string blankAt1023 = std::string(1022, 'a') + " tail";
    const std::vector<Row> rows = {
        {"no file", std::nullopt, true, fallback},
        {"empty file", "", true, fallback},
        {"as written", "[settings]\r\ndebuglog=0\r\nuseragent=MyBot/2.0\r\n", false, u"MyBot/2.0"},
        {"names in any case, LF, no final line end", "[SETTINGS]\nDebugLog=0\nUserAgent=Bot/1",
         false, u"Bot/1"},
        {"other section only", "[other]\ndebuglog=0\nuseragent=Nope\n", true, fallback},
        {"section after another", "[other]\nuseragent=Nope\n\n[settings]\nuseragent=Yes\n", true,
         u"Yes"},
        {"only the first section of a name counts",
         "[settings]\ndebuglog=0\n[settings]\nuseragent=Later\n", false, fallback},
        {"header without closing bracket", "[settings\ndebuglog=0\n", true, fallback},
        {"entry without equals sign", "[settings]\ndebuglog\nuseragent\n", true, fallback},
        {"first entry wins", "[settings]\nuseragent=First\nuseragent=Second\n", true, u"First"},
        {"blanks around names and values", "  [ settings ]  \n  debuglog  =  0  \n", false,
         fallback},
        {"comment line", "[settings]\n;debuglog=0\n", true, fallback},
        {"yes", "[settings]\ndebuglog=yes\n", false, fallback},
        {"two", "[settings]\ndebuglog=2\n", true, fallback},
        {"one", "[settings]\ndebuglog=1\n", true, fallback},
        {"zero with trailing text", "[settings]\ndebuglog=0 please\n", false, fallback},
        {"digits then text", "[settings]\ndebuglog=10x\n", true, fallback},
        {"plus sign", "[settings]\ndebuglog=+3\n", true, fallback},
        {"empty debuglog keeps default", "[settings]\ndebuglog=\n", true, fallback},
        {"useragent padded", "[settings]\nuseragent=   MyBot/2.0   \n", true, u"MyBot/2.0"},
        {"useragent blank", "[settings]\nuseragent=    \n", true, fallback},
        {"useragent empty", "[settings]\nuseragent=\n", true, fallback},
        {"useragent quoted", "[settings]\nuseragent=\" Quoted Bot \"\n", true, u"Quoted Bot"},
        {"useragent too long", "[settings]\nuseragent=" + longAgent + "\n", true, Text(1023, u'a')},
        {"cut before trimming", "[settings]\nuseragent=" + blankAt1023 + "\n", true,
         Text(1022, u'a')},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::filesystem::remove(IniPath());
        if (row.file) {
            test::WriteFileBytes(IniPath(), *row.file);
        }
        LoadFrom(IniPath());
        EXPECT_EQ(SettingsStore::debugLogEnabled, row.debugLog);
        EXPECT_EQ(SettingsStore::userAgent, row.userAgent);
    }
}

TEST_F(SettingsTest, RespectRobotsDefaultsOnAndReadsBack) {
    struct Row {
        std::string file;
        bool respect;
    };
    for (const Row& row : {Row{"", true}, Row{"[settings]\nrespectrobots=0\n", false},
                           Row{"[settings]\nRespectRobots=1\n", true},
                           Row{"[settings]\nrespectrobots=no\n", false}}) {
        test::WriteFileBytes(IniPath(), row.file);
        LoadFrom(IniPath());
        EXPECT_EQ(SettingsStore::respectRobots, row.respect) << row.file;
    }
    SettingsStore::respectRobots = false;
    SettingsStore::SaveTo(IniPath());
    LoadFrom(IniPath());
    EXPECT_FALSE(SettingsStore::respectRobots);
}

TEST_F(SettingsTest, KeepQueryTrackingDefaultsOffAndReadsBack) {
    for (const auto& [file, keep] : {std::pair<std::string, bool>{"", false},
                                     {"[settings]\nkeepquerytracking=1\n", true},
                                     {"[settings]\nkeepquerytracking=0\n", false}}) {
        test::WriteFileBytes(IniPath(), file);
        LoadFrom(IniPath());
        EXPECT_EQ(SettingsStore::keepQueryTracking, keep) << file;
    }
    SettingsStore::keepQueryTracking = true;
    SettingsStore::SaveTo(IniPath());
    SettingsStore::keepQueryTracking = false;
    LoadFrom(IniPath());
    EXPECT_TRUE(SettingsStore::keepQueryTracking);
}

TEST_F(SettingsTest, SaveCreatesFileAndReadsBack) {
    SettingsStore::debugLogEnabled = false;
    SettingsStore::userAgent = u"Crawler/3.1 (+https://b\u00FCcher.example/)";
    SettingsStore::SaveTo(IniPath());

    const std::string bytes = test::ReadFileBytes(IniPath());
    EXPECT_NE(bytes.find("[settings]"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("debuglog=0"), std::string::npos) << bytes;
    LoadFrom(IniPath());
    EXPECT_FALSE(SettingsStore::debugLogEnabled);
    EXPECT_EQ(SettingsStore::userAgent, u"Crawler/3.1 (+https://b\u00FCcher.example/)");
}

// Lines of the file in order, line ends dropped and blank lines skipped.
std::vector<std::string> NonBlankLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) {
            end = bytes.size();
        }
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty()) {
            lines.push_back(line);
        }
        start = end + 1;
    }
    return lines;
}

TEST_F(SettingsTest, SaveReplacesValuesInPlaceAndKeepsOtherLines) {
    test::WriteFileBytes(IniPath(),
                         "[window]\r\nleft=10\r\n\r\n[Settings]\r\nUserAgent=Old/1\r\n"
                         "theme=dark\r\nDEBUGLOG=1\r\n\r\n[last]\r\nuseragent=Untouched\r\n");
    SettingsStore::debugLogEnabled = false;
    SettingsStore::userAgent = u"New/2";
    SettingsStore::SaveTo(IniPath());

    const std::vector<std::string> lines = NonBlankLines(test::ReadFileBytes(IniPath()));
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0], "[window]");
    EXPECT_EQ(lines[1], "left=10");
    EXPECT_EQ(lines[2], "[Settings]");
    EXPECT_EQ(lines[3], "UserAgent=New/2");
    EXPECT_EQ(lines[4], "theme=dark");
    EXPECT_EQ(lines[5], "DEBUGLOG=0");
    EXPECT_EQ(lines[6], "respectrobots=1");
    EXPECT_EQ(lines[7], "agentcheck=1");
    EXPECT_EQ(lines[8], "renderpages=25");
    EXPECT_EQ(lines[9], "keepquerytracking=0");
    EXPECT_EQ(lines[10], "[last]");
    EXPECT_EQ(lines[11], "useragent=Untouched");
}

TEST_F(SettingsTest, SaveAddsMissingKeysAndSection) {
    test::WriteFileBytes(IniPath(), "[settings]\r\ntheme=dark\r\n\r\n[other]\r\nx=1\r\n");
    SettingsStore::SaveTo(IniPath());
    std::vector<std::string> lines = NonBlankLines(test::ReadFileBytes(IniPath()));
    const std::string agentLine = "useragent=" + WideToUtf8(DefaultUserAgent());
    EXPECT_EQ(lines, (std::vector<std::string>{"[settings]", "theme=dark", "debuglog=1", agentLine,
                                               "respectrobots=1", "agentcheck=1",
                                               "renderpages=25", "keepquerytracking=0",
                                               "[other]", "x=1"}));

    test::WriteFileBytes(IniPath(), "[other]\r\nx=1\r\n");
    SettingsStore::SaveTo(IniPath());
    lines = NonBlankLines(test::ReadFileBytes(IniPath()));
    EXPECT_EQ(lines, (std::vector<std::string>{"[other]", "x=1", "[settings]", "debuglog=1",
                                               agentLine, "respectrobots=1", "agentcheck=1",
                                               "renderpages=25", "keepquerytracking=0"}));
}

TEST_F(SettingsTest, AfterScanChecksReadBackAndOddPageCountsFallBack) {
    const struct {
        const char* file;
        bool agentCheck;
        int renderPages;
    } rows[] = {
        {"[settings]\nagentcheck=0\nrenderpages=0\n", false, 0},
        {"[settings]\nrenderpages=1000000\n", true, 1000000},
        {"[settings]\nrenderpages=-3\n", true, 25},
        {"[settings]\nrenderpages=99999999\n", true, 25},
    };
    for (const auto& row : rows) {
        test::WriteFileBytes(IniPath(), row.file);
        SettingsStore::LoadFrom(IniPath());
        EXPECT_EQ(SettingsStore::agentCheck, row.agentCheck) << row.file;
        EXPECT_EQ(SettingsStore::renderPages, row.renderPages) << row.file;
    }
}

TEST_F(SettingsTest, SaveIntoMissingDirectoryChangesNothing) {
    const Text path = JoinPath(dir.File(u"missing"), u"bcnk.ini");
    SettingsStore::userAgent = u"Kept/1";
    SettingsStore::SaveTo(path);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
    EXPECT_EQ(SettingsStore::userAgent, u"Kept/1");
}

TEST(DirectoryOf, CutsBeforeTheLastSeparator) {
    const Text sep(1, kPathSeparator);
    struct Row {
        Text path;
        Text expected;
    };
    const std::vector<Row> rows = {
        {u"Beaconsmith.exe", u"."},
        {u"", u"."},
        {u"tools" + sep + u"Beaconsmith.exe", u"tools"},
        {sep + u"opt" + sep + u"b\u00E9acon" + sep + u"app", sep + u"opt" + sep + u"b\u00E9acon"},
        {sep + u"app", sep},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(DirectoryOf(row.path), row.expected);
    }
    EXPECT_EQ(JoinPath(DirectoryOf(u"Beaconsmith.exe"), u"bcnk.ini"), u"." + sep + u"bcnk.ini");
}

TEST(ModuleDirectory, HoldsTheRunningExecutable) {
    const Text directory = ModuleDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_NE(directory.back(), kPathSeparator);
#ifdef _WIN32
    const Text executable = u"settings_test.exe";
#else
    const Text executable = u"settings_test";
#endif
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(JoinPath(directory, executable))));
    EXPECT_EQ(SettingsPath(), JoinPath(directory, u"bcnk.ini"));
}

}  // namespace
}  // namespace bcnk
