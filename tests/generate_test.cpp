// One package generation as both front ends run it: what it logs, and that the outcome it
// returns is the one written to disk.
#include "package/generate.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "support/log_messages.h"
#include "support/temp_dir.h"

namespace bcnk {
namespace {

namespace fs = std::filesystem;

TEST(GenerateRequestLogLine, FlagsAndMissingYear) {
    struct Row {
        PackageForm form;
        Text line;
    };
    const std::vector<Row> rows = {
        {{u"Ann", u"", u"", u"SEO", u"", true, false, true, true, u""},
         u"Generate requested: name=Ann industry=SEO founded=- train=1 cite=0 summ=1"},
        {{u"Brackenfold Labs", u"d", u"e", u"", u"2017", false, true, false, false, u""},
         u"Generate requested: name=Brackenfold Labs industry= founded=2017 train=0 cite=1 "
         u"summ=0"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(GenerateRequestLogLine(row.form), row.line);
    }
}

TEST(GeneratePackage, LogsEachStepAndReturnsTheWrittenOutcome) {
    struct Row {
        bool folderBlocked;
        bool siteHasLlmsTxt;  // then the package holds the ten files without a proposal
        Text founded;
        Text lastLine;  // the zip path is appended when the export succeeds
    };
    // A failure logs the outcome's own text, which names the path and the reason.
    const std::vector<Row> rows = {
        {false, false, u"", u"Export OK: "},
        {true, true, u"1999", u"Export FAILED: "},
    };
    for (const Row& row : rows) {
        test::TempDir module;
        if (row.folderBlocked) {
            fs::create_directories(module.path() / "output");
            test::WriteFileBytes(module.path() / "output" / "example.com", "not a folder");
        }
        ScanResult scan;
        scan.host = u"example.com";
        if (row.siteHasLlmsTxt) {
            scan.checks = {{u"llms.txt", u"/llms.txt", CheckState::Ok, u"Present", true}};
        }
        const PackageForm form = {u"Ann", u"", u"", u"SEO", row.founded, true, false, true, true, u""};
        PackageOutcome outcome;
        const std::vector<Text> log =
            test::LoggedMessages([&] { outcome = GeneratePackage(module.text(), scan, form); });

        EXPECT_EQ(outcome.ok, !row.folderBlocked);
        const Text expectedLast = row.lastLine + (outcome.ok ? outcome.zipPath : outcome.errorText);
        // Ten or eleven files at the top, and the four server set-up files.
        const Text generated = row.siteHasLlmsTxt ? u"Generated 14 files" : u"Generated 15 files";
        EXPECT_EQ(log, (std::vector<Text>{GenerateRequestLogLine(form), generated, expectedLast}));
        if (outcome.ok) {
            EXPECT_EQ(fs::path(outcome.folderPath), module.path() / "output" / "example.com");
            EXPECT_TRUE(fs::is_regular_file(fs::path(outcome.zipPath)));
            EXPECT_TRUE(fs::is_regular_file(fs::path(outcome.folderPath) / "README.txt"));
        }
    }
}

}  // namespace
}  // namespace bcnk
