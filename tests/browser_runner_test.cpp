// The browser runner against a stand-in browser (tests/browser/fake_browser.cpp) that prints
// a DOM, hangs with a child of its own, exits early or floods its output: whatever it does,
// the runner returns within its limit and leaves no process and no profile folder behind.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "common/settings.h"
#include "scan/browser_runner.h"
#include "support/temp_dir.h"

namespace bcnk {
namespace {

Text FakeBrowser() {
#ifdef _WIN32
    const Text name = u"bcnk_fake_browser.exe";
#else
    const Text name = u"bcnk_fake_browser";
#endif
    return (std::filesystem::path(ModuleDirectory()) / std::filesystem::path(name)).u16string();
}

bool ProcessGone(long pid) {
#ifdef _WIN32
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (process == nullptr) {
        return true;
    }
    const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
#else
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) {
        return true;
    }
    // A killed process whose parent has not collected it yet is a zombie: it runs no more.
    const size_t close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'Z';
#endif
}

// Killing is asynchronous on both platforms; a gone process is waited for a bounded while.
bool ProcessGoneSoon(long pid) {
    for (int i = 0; i < 100; ++i) {
        if (ProcessGone(pid)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

struct StandInLog {
    std::string profile;
    std::vector<long> pids;
};

StandInLog ReadLog(const std::filesystem::path& path) {
    StandInLog log;
    std::ifstream in(path);
    std::string word;
    std::string value;
    while (in >> word >> value) {
        if (word == "profile") {
            log.profile = value;
        } else if (word == "pid") {
            log.pids.push_back(std::stol(value));
        }
    }
    return log;
}

class BrowserRunner : public ::testing::Test {
  protected:
    void SetUp() override {
        browser_ = FakeBrowser();
        // A missing stand-in is a broken build, never a skipped test.
        ASSERT_TRUE(std::filesystem::exists(std::filesystem::path(browser_)))
            << "build the bcnk_fake_browser target: " << WideToUtf8(browser_);
    }

    BrowserOutcome Render(const std::string& mode, std::chrono::milliseconds limit,
                          bool cancelled = false) {
        const std::string address =
            "http://127.0.0.1/" + mode + "?log=" + WideToUtf8(dir_.File(u"log.txt"));
        std::atomic<bool> flag{cancelled};
        return RenderWithBrowser(browser_, Utf8ToWide(address), u"Agent/1.0", limit, flag);
    }

    void ExpectNothingLeft() {
        const StandInLog log = ReadLog(dir_.path() / "log.txt");
        ASSERT_FALSE(log.profile.empty());
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(log.profile)))
            << "profile folder left behind: " << log.profile;
        for (const long pid : log.pids) {
            EXPECT_TRUE(ProcessGoneSoon(pid)) << "process " << pid << " left running";
        }
    }

    Text browser_;
    test::TempDir dir_;
};

TEST_F(BrowserRunner, ReadsTheDomAndRemovesTheProfile) {
    const BrowserOutcome outcome = Render("page", std::chrono::seconds(20));
    ASSERT_TRUE(outcome.ok) << WideToUtf8(outcome.failure);
    EXPECT_NE(outcome.output.find("<title>Rendered</title>"), std::string::npos);
    EXPECT_NE(outcome.output.find("address http://127.0.0.1/page?log="), std::string::npos);
    ExpectNothingLeft();
}

TEST_F(BrowserRunner, HangingBrowserAndItsChildAreKilledAtTheLimit) {
    const BrowserOutcome outcome = Render("hang", std::chrono::milliseconds(1500));
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.failure, u"time limit (1 s)");
    const StandInLog log = ReadLog(dir_.path() / "log.txt");
    EXPECT_EQ(log.pids.size(), 2u) << "the stand-in should have started a child";
    ExpectNothingLeft();
}

TEST_F(BrowserRunner, EarlyExitIsAFailureWithItsCode) {
    const BrowserOutcome outcome = Render("early", std::chrono::seconds(20));
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.failure, u"exited with code 3");
    ExpectNothingLeft();
}

TEST_F(BrowserRunner, OutputIsCutAtTheLimitAndTheBrowserKilled) {
    const BrowserOutcome outcome = Render("flood", std::chrono::seconds(20));
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.failure, u"output longer than the limit");
    EXPECT_EQ(outcome.output.size(), kMaxDomBytes);
    ExpectNothingLeft();
}

TEST_F(BrowserRunner, CancelEndsTheRenderAndLeavesNothing) {
    std::atomic<bool> flag{false};
    const std::string address =
        "http://127.0.0.1/hang?log=" + WideToUtf8(dir_.File(u"log.txt"));
    std::thread canceller([&] {
        // Raised once the stand-in is running, so the kill path is the one taken.
        for (int i = 0; i < 200 && ReadLog(dir_.path() / "log.txt").pids.size() < 2; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        flag = true;
    });
    const BrowserOutcome outcome = RenderWithBrowser(browser_, Utf8ToWide(address), u"Agent/1.0",
                                                     std::chrono::seconds(60), flag);
    canceller.join();
    EXPECT_EQ(outcome.failure, u"cancelled");
    ExpectNothingLeft();
}

TEST(FindBrowser, GivenPathMustExistAndNoneFoundIsEmpty) {
    EXPECT_EQ(FindBrowser(FakeBrowser()), FakeBrowser());
    EXPECT_EQ(FindBrowser(u"/no/such/browser-program"), Text());
}

}  // namespace
}  // namespace bcnk
