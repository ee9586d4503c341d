#include "package/package.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "common/file_lock.h"
#include "scan/discovery.h"
#include "scan/discovery_rules.h"
#include "support/temp_dir.h"
#include "support/zip_reader.h"

namespace bcnk {
namespace {

namespace fs = std::filesystem;

const std::vector<Text> kFileNames = {
    u"README.txt",     u"upload-map.txt",       u"ai-discovery.json", u"ai-discovery.md",
    u"robots.txt.NEW", u"sitemap.xml",          u"ai-sitemap.xml",    u"llms-lite.txt",
    u"tdmrep.json",    u"knowledge-graph.json",
};

// The server set-up files come last, in their folder.
const std::vector<Text> kServerFileNames = {u"server/nginx-ai-discovery.conf", u"server/.htaccess",
                                            u"server/web.config", u"server/_headers"};

// Ten files whose texts exercise the UTF-8 conversion: non-ASCII letters, a surrogate
// pair, an empty file and CR LF line ends that must reach the disk untouched.
std::vector<PackageFile> SampleFiles(const Text& marker) {
    std::vector<PackageFile> files;
    for (const Text& name : kFileNames) {
        files.push_back(
            {name, u"# " + name + u" " + marker + u"\nM\u00FCller \u65E5\u672C \U0001F680\n"});
    }
    files[4].content = u"User-agent: *\r\nDisallow:\r\n";
    files[8].content.clear();
    return files;
}

ScanResult ScanOf(const Text& host) {
    ScanResult scan;
    scan.host = host;
    return scan;
}

std::set<fs::path> Listing(const fs::path& folder) {
    std::set<fs::path> names;
    for (const auto& item : fs::directory_iterator(folder)) {
        names.insert(item.path().filename());
    }
    return names;
}

// The folder holds exactly the ten files and the archive, each file holds the UTF-8 of its
// text, and the archive holds the same bytes in the same order.
void ExpectPackageOnDisk(const PackageOutcome& outcome, const std::vector<PackageFile>& files) {
    ASSERT_TRUE(outcome.ok) << fs::path(outcome.errorText).string();
    const fs::path folder(outcome.folderPath);
    std::set<fs::path> expectedNames = {fs::path(outcome.zipPath).filename()};
    std::vector<test::StoredMember> expectedMembers;
    for (const PackageFile& file : files) {
        const std::string bytes = test::ReadFileBytes(folder / file.fileName);
        EXPECT_EQ(bytes, file.Bytes()) << fs::path(file.fileName).string();
        EXPECT_NE(bytes.rfind("\xEF\xBB\xBF", 0), 0u) << "byte-order mark";
        expectedNames.insert(fs::path(file.fileName));
        expectedMembers.push_back({WideToUtf8(file.fileName), bytes});
    }
    EXPECT_EQ(Listing(folder), expectedNames);

    const auto members = test::ReadStoredArchive(test::ReadFileBytes(fs::path(outcome.zipPath)));
    ASSERT_TRUE(members.has_value());
    ASSERT_EQ(members->size(), expectedMembers.size());
    for (size_t index = 0; index < members->size(); ++index) {
        EXPECT_EQ((*members)[index].name, expectedMembers[index].name);
        EXPECT_EQ((*members)[index].data, expectedMembers[index].data);
    }
}

TEST(SiteFolderName, IsOneSafePathComponent) {
    struct Row {
        Text host;
        Text expected;
    };
    const std::vector<Row> rows = {
        {u"example.com", u"example.com"},
        {u"sub-domain_x.example.org", u"sub-domain_x.example.org"},
        {u"m\u00FCnchen.de", u"m\u00FCnchen.de"},
        {u"\u65E5\u672C.jp", u"\u65E5\u672C.jp"},
        {u"a b:c", u"a_b_c"},
        {u"host:8080", u"host_8080"},
        {u"a/b\\c", u"a_b_c"},
        {u"../etc", u".._etc"},
        {u"..\\up", u".._up"},
        {u"\U0001F600.com", u"__.com"},
        {Text(u"a\0b", 3), u"a_b"},
        {u"", u"site"},
        {u".", u"site"},
        {u"..", u"site"},
        {u".....", u"site"},
        {u"._.", u"._"},
        {u"example.com.", u"example.com"},
        {u".hidden", u".hidden"},
        // Windows device names, whatever follows the first dot.
        {u"con", u"_con"},
        {u"NUL.example.com", u"_NUL.example.com"},
        {u"aux", u"_aux"},
        {u"prn.local", u"_prn.local"},
        {u"com1", u"_com1"},
        {u"LPT9.x", u"_LPT9.x"},
        {u"com\u00B9.x", u"_com\u00B9.x"},
        {u"console.com", u"console.com"},
        {u"com10", u"com10"},
        {u"example.con", u"example.con"},
        {u"lpt", u"lpt"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(SiteFolderName(row.host), row.expected) << fs::path(row.host).string();
    }
}

// The package of a site without an llms.txt also proposes one, after llms-lite.txt.
std::vector<Text> FileNamesWithLlmsTxt() {
    std::vector<Text> names = kFileNames;
    names.insert(names.begin() + 8, u"llms.txt");
    names.insert(names.end(), kServerFileNames.begin(), kServerFileNames.end());
    return names;
}

TEST(BuildPackageFiles, ListsTheFilesInWritingOrder) {
    ScanResult scan = ScanOf(u"example.com");
    scan.baseUrl = u"https://example.com";
    PageRecord guide;
    guide.url = u"https://example.com/guide";
    guide.pageClass = PageClass::Guide;
    guide.httpStatus = 200;
    PageRecord contact;
    contact.url = u"https://example.com/contact";
    contact.pageClass = PageClass::Utility;
    contact.httpStatus = 200;
    scan.pages = {guide, contact};
    PackageForm form;
    form.name = u"Example";

    std::vector<PackageFile> files = BuildPackageFiles(scan, form);
    const std::vector<Text> names = FileNamesWithLlmsTxt();
    ASSERT_EQ(files.size(), names.size());
    std::set<Text> contents;
    for (size_t index = 0; index < files.size(); ++index) {
        EXPECT_EQ(files[index].fileName, names[index]);
        EXPECT_FALSE(files[index].content.empty());
        contents.insert(files[index].content);
    }
    EXPECT_EQ(contents.size(), files.size()) << "one text under two names";
    // Utility pages belong in the plain sitemap only, which tells the two variants apart.
    EXPECT_NE(files[5].content.find(contact.url), Text::npos);
    EXPECT_EQ(files[6].content.find(contact.url), Text::npos);
    EXPECT_NE(files[6].content.find(guide.url), Text::npos);

    // A site with an llms.txt of its own gets the ten files and no proposal for it.
    scan.checks = {{u"llms.txt", u"/llms.txt", CheckState::Ok, u"Present", true}};
    files = BuildPackageFiles(scan, form);
    ASSERT_EQ(files.size(), kFileNames.size() + kServerFileNames.size());
    for (size_t index = 0; index < kFileNames.size(); ++index) {
        EXPECT_EQ(files[index].fileName, kFileNames[index]);
    }
}

// What the scanner makes of a site that serves the package as the upload map says: every
// probed file at its path (named by the path's last part) and robots.txt.NEW as robots.txt.
TEST(BuildPackageFiles, AnOwnerWhoUploadsEveryFileReachesTheFullScore) {
    ScanResult scan = ScanOf(u"example.com");
    scan.baseUrl = u"https://example.com";
    for (const auto& [path, pageClass] : {std::pair{u"/", PageClass::Index},
                                          {u"/p/lamp", PageClass::Product},
                                          {u"/guide", PageClass::Guide},
                                          {u"/privacy", PageClass::Legal}}) {
        PageRecord page;
        page.url = scan.baseUrl + path;
        page.title = u"Page";
        page.httpStatus = 200;
        page.pageClass = pageClass;
        scan.pages.push_back(page);
    }
    PackageForm form;
    form.name = u"Example";
    form.addRobotsRules = true;
    const std::vector<PackageFile> files = BuildPackageFiles(scan, form);
    auto served = [&](const Text& fileName, const Text& contentType) {
        FetchResult fetched;
        for (const PackageFile& file : files) {
            if (file.fileName == fileName) {
                fetched.status = 200;
                fetched.body = file.Bytes();
                fetched.contentType = contentType;
            }
        }
        EXPECT_EQ(fetched.status, 200) << "not in the package: " << WideToUtf8(fileName);
        return fetched;
    };

    ScanResult rescan;
    for (const DiscoveryFile& file : kDiscoveryFiles) {
        const Text path = file.path;
        const Text name = path.substr(path.rfind(u'/') + 1);
        const Text type = name.ends_with(u".json")  ? u"application/json"
                          : name.ends_with(u".xml") ? u"application/xml"
                                                    : u"text/plain; charset=utf-8";
        rescan.checks.push_back(JudgeDiscoveryFile(file, served(name, type)));
        EXPECT_EQ(rescan.checks.back().state, CheckState::Ok) << WideToUtf8(file.label);
    }
    rescan.checks.push_back(JudgeRobotsTxt(served(u"robots.txt.NEW", u"text/plain"), rescan));
    EXPECT_EQ(rescan.checks.back().state, CheckState::Ok);
    EXPECT_EQ(ReadinessScore(rescan.checks), 100);
}

TEST(WritePackage, WritesFilesAndArchiveBelowOutput) {
    test::TempDir module;
    const std::vector<PackageFile> files = SampleFiles(u"first");
    const PackageOutcome outcome = WritePackage(module.text(), ScanOf(u"example.com"), files);
    const fs::path folder = module.path() / "output" / "example.com";
    EXPECT_EQ(outcome.folderPath, folder.u16string());
    EXPECT_EQ(outcome.zipPath, (folder / "example.com-ai-discovery.zip").u16string());
    EXPECT_TRUE(outcome.errorText.empty());
    ExpectPackageOnDisk(outcome, files);
    EXPECT_EQ(Listing(module.path()), std::set<fs::path>{"output"});
}

TEST(WritePackage, RerunOverwritesEveryFileAndTheArchive) {
    test::TempDir module;
    ASSERT_TRUE(
        WritePackage(module.text(), ScanOf(u"example.com"), SampleFiles(u"a much longer first run"))
            .ok);
    const std::vector<PackageFile> second = SampleFiles(u"2");
    ExpectPackageOnDisk(WritePackage(module.text(), ScanOf(u"example.com"), second), second);
}

TEST(WritePackage, HostileHostsStayInsideTheOutputFolder) {
    struct Row {
        Text host;
        fs::path folder;
    };
    const std::vector<Row> rows = {
        {u"", "site"},
        {u"..", "site"},
        {u".", "site"},
        {u"../..", ".._"},
        {u"example.com.", "example.com"},
        {u"nul", "_nul"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.folder.string());
        test::TempDir module;
        const std::vector<PackageFile> files = SampleFiles(u"x");
        const PackageOutcome outcome = WritePackage(module.text(), ScanOf(row.host), files);
        EXPECT_EQ(outcome.folderPath, (module.path() / "output" / row.folder).u16string());
        EXPECT_EQ(fs::path(outcome.zipPath).filename(),
                  fs::path(row.folder.u16string() + u"-ai-discovery.zip"));
        ExpectPackageOnDisk(outcome, files);
        EXPECT_EQ(Listing(module.path()), std::set<fs::path>{"output"});
        EXPECT_EQ(Listing(module.path() / "output"), std::set<fs::path>{row.folder});
    }
}

TEST(WritePackage, FailedRunLeavesThePreviousPackageWhole) {
    test::TempDir module;
    const std::vector<PackageFile> first = SampleFiles(u"first");
    ASSERT_TRUE(WritePackage(module.text(), ScanOf(u"example.com"), first).ok);
    // A name below a file cannot be opened on any platform: no folder can be made there.
    std::vector<PackageFile> broken = SampleFiles(u"second");
    broken[2].fileName = u"README.txt/ai-discovery.json";
    const PackageOutcome outcome = WritePackage(module.text(), ScanOf(u"example.com"), broken);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.errorText.rfind(u"Failed writing README.txt/ai-discovery.json (", 0), 0u)
        << WideToUtf8(outcome.errorText);
    EXPECT_TRUE(outcome.folderPath.empty() && outcome.zipPath.empty());
    const fs::path folder = module.path() / "output" / "example.com";
    for (const PackageFile& file : first) {
        EXPECT_EQ(test::ReadFileBytes(folder / file.fileName), WideToUtf8(file.content));
    }
    EXPECT_EQ(Listing(module.path() / "output"), std::set<fs::path>{"example.com"});
}

TEST(WritePackage, ReplacesTheOldPackageButKeepsOtherFiles) {
    test::TempDir module;
    ASSERT_TRUE(WritePackage(module.text(), ScanOf(u"example.com"), SampleFiles(u"a")).ok);
    const fs::path folder = module.path() / "output" / "example.com";
    test::WriteFileBytes(folder / "notes.txt", "mine");
    const std::vector<PackageFile> second = SampleFiles(u"b");
    const PackageOutcome outcome = WritePackage(module.text(), ScanOf(u"example.com"), second);
    ASSERT_TRUE(outcome.ok);
    ASSERT_EQ(outcome.filePaths.size(), second.size());
    for (size_t index = 0; index < second.size(); ++index) {
        EXPECT_EQ(test::ReadFileBytes(fs::path(outcome.filePaths[index])),
                  WideToUtf8(second[index].content));
    }
    EXPECT_EQ(test::ReadFileBytes(folder / "notes.txt"), "mine");
}

// A site that published its own llms.txt since the last run gets a package without one;
// the old proposal must not stay beside it, nor any other name only a package writes.
TEST(WritePackage, PackageFilesTheNewPackageLacksDoNotSurvive) {
    test::TempDir module;
    std::vector<PackageFile> first = SampleFiles(u"a");
    first.push_back({u"llms.txt", u"# proposed"});
    ASSERT_TRUE(WritePackage(module.text(), ScanOf(u"example.com"), first).ok);
    const fs::path folder = module.path() / "output" / "example.com";
    test::WriteFileBytes(folder / "notes.txt", "mine");
    ASSERT_TRUE(WritePackage(module.text(), ScanOf(u"example.com"), SampleFiles(u"b")).ok);
    EXPECT_FALSE(fs::exists(folder / "llms.txt"));
    EXPECT_EQ(test::ReadFileBytes(folder / "notes.txt"), "mine");
}

TEST(PackageFileNames, HoldEveryFileBuiltButNotTheOwnersFiles) {
    ScanResult scan = ScanOf(u"example.com");
    scan.baseUrl = u"https://example.com";
    for (const PackageFile& file : BuildPackageFiles(scan, PackageForm{})) {
        EXPECT_TRUE(IsPackageFileName(file.fileName)) << WideToUtf8(file.fileName);
    }
    EXPECT_TRUE(IsPackageFileName(u"llms.txt"));
    for (const Text name : {u"notes.txt", u"robots.txt", u"LLMS.TXT", u""}) {
        EXPECT_FALSE(IsPackageFileName(name)) << WideToUtf8(name);
    }
}

TEST(WritePackage, HeldLockMeansAnotherRunIsWriting) {
    test::TempDir module;
    fs::create_directories(module.path() / "output");
    const FileLock held =
        FileLock::TryAcquire((module.path() / "output" / "example.com.lock").u16string());
    ASSERT_TRUE(held.Held());
    EXPECT_FALSE(
        FileLock::TryAcquire((module.path() / "output" / "example.com.lock").u16string()).Held());
    const PackageOutcome outcome =
        WritePackage(module.text(), ScanOf(u"example.com"), SampleFiles(u"x"));
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.errorText.rfind(u"another run is writing this package (", 0), 0u);
    EXPECT_FALSE(fs::exists(module.path() / "output" / "example.com"));
}

TEST(WritePackage, FolderThatCannotBeMadeWritesNothing) {
    test::TempDir module;
    fs::create_directories(module.path() / "output");
    test::WriteFileBytes(module.path() / "output" / "example.com", "a file, not a folder");
    const std::vector<Text> modules = {module.text(), module.File(u"missing")};
    for (const Text& moduleDirectory : modules) {
        const PackageOutcome outcome =
            WritePackage(moduleDirectory, ScanOf(u"example.com"), SampleFiles(u"x"));
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.errorText.rfind(u"Could not create output folder ", 0), 0u)
            << WideToUtf8(outcome.errorText);
        EXPECT_TRUE(outcome.folderPath.empty());
        EXPECT_TRUE(outcome.zipPath.empty());
    }
    EXPECT_EQ(test::ReadFileBytes(module.path() / "output" / "example.com"),
              "a file, not a folder");
    EXPECT_FALSE(fs::exists(module.path() / "missing"));
}

}  // namespace
}  // namespace bcnk
