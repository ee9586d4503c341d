// The package's Markdown side: where each twin goes, the spool that holds them during the
// scan, llms-full.txt and the links and notes that lead to them.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "analysis/markdown.h"
#include "package/llms_full.h"
#include "package/llms_txt.h"
#include "package/markdown_twins.h"
#include "package/package.h"
#include "scan/markdown_spool.h"
#include "support/platform.h"
#include "support/temp_dir.h"
#include "support/zip_reader.h"

namespace bcnk {
namespace {

namespace fs = std::filesystem;

TEST(TwinAddress, IsThePageAddressPlusMdWhereAFileCanHoldIt) {
    const std::vector<std::pair<Text, Text>> rows = {
        {u"https://example.com/guides/vat.html", u"https://example.com/guides/vat.html.md"},
        {u"https://example.com/blog/", u"https://example.com/blog/index.html.md"},
        {u"https://example.com", u"https://example.com/index.html.md"},
        {u"http://example.com:8080/about", u"http://example.com:8080/about.md"},
        {u"https://example.com/caf%C3%A9%20menu", u"https://example.com/caf%C3%A9%20menu.md"},
        {u"https://example.com/search?q=vat", u""},     // a query names no file
        {u"https://example.com/a%2Fb.html", u""},       // nor does an escaped separator
        {u"https://example.com/what%3F.html", u""},     // "?" cannot be in a Windows name
        {u"https://example.com/con/page.html", u""},    // a device name on Windows
        {u"https://example.com/trailing./x", u""},      // Windows drops the dot
        {u"https://example.com/%FF.html", u""},         // no text at all
        {u"https://example.com/" + Text(200, u'a'), u""},
    };
    for (const auto& [page, twin] : rows) {
        EXPECT_EQ(TwinAddress(page), twin) << WideToUtf8(page);
    }
}

// A scan whose pages have their twins in a real spool.
struct SpooledScan {
    ScanResult scan;
    std::shared_ptr<MarkdownSpool> spool = std::make_shared<MarkdownSpool>();

    explicit SpooledScan(const std::vector<std::pair<Text, std::string>>& pages) {
        scan.host = u"example.com";
        scan.baseUrl = u"https://example.com";
        scan.markdown = spool;
        for (const auto& [url, markdown] : pages) {
            PageRecord page;
            page.url = url;
            page.title = url.substr(url.rfind(u'/') + 1) + u" page";
            page.httpStatus = 200;
            page.pageClass = PageClass::Article;
            if (!markdown.empty()) {
                EXPECT_TRUE(spool->Store(markdown, page));
            }
            scan.pages.push_back(page);
        }
    }
};

std::string TwinText(const std::string& title, const std::string& body) {
    return "# " + title + "\n\n" + body + "\n";
}

TEST(MarkdownSpool, GivesBackEachTwinAndRefusesWhatItCannotHold) {
    SpooledScan site({{u"https://example.com/a", TwinText("A", "alpha")},
                      {u"https://example.com/b", ""},
                      {u"https://example.com/c", TwinText("C", std::string(70000, 'c'))}});
    ASSERT_TRUE(site.spool->Usable());
    EXPECT_EQ(PageTwin(site.scan, site.scan.pages[0]), TwinText("A", "alpha"));
    EXPECT_EQ(PageTwin(site.scan, site.scan.pages[1]), "");
    EXPECT_EQ(PageTwin(site.scan, site.scan.pages[2]), TwinText("C", std::string(70000, 'c')));

    PageRecord huge;
    EXPECT_FALSE(site.spool->Store(std::string(kMaxTwinBytes + 1, 'x'), huge));
    EXPECT_EQ(huge.markdownBytes, 0u);
    EXPECT_EQ(PageTwin(ScanResult{}, site.scan.pages[0]), "");  // a scan without a spool
}

// The spool leaves nothing behind: on POSIX its name is gone while it is open, on Windows
// the file goes with its handle.
TEST(MarkdownSpool, LeavesNoFileInTheTemporaryFolder) {
    test::TempDir folder;
    {
        const test::TempFolderOverride tempFolder(folder.path().string());
        MarkdownSpool spool;
        PageRecord page;
        ASSERT_TRUE(spool.Store("# Page\n", page));
        EXPECT_EQ(spool.Read(page.markdownAt, page.markdownBytes), "# Page\n");
    }
    EXPECT_TRUE(fs::is_empty(folder.path()));
}

TEST(PlanMarkdownTwins, OneFilePerNameWhateverItsCase) {
    SpooledScan site({{u"https://example.com/Guide.html", TwinText("G", "x")},
                      {u"https://example.com/guide.html", TwinText("g", "y")},
                      {u"https://example.com/blog/", TwinText("B", "z")},
                      {u"https://example.com/bare", ""}});
    const std::vector<MarkdownTwin> twins = PlanMarkdownTwins(site.scan);
    ASSERT_EQ(twins.size(), 2u);
    EXPECT_EQ(twins[0].fileName, u"md/Guide.html.md");
    EXPECT_EQ(twins[1].fileName, u"md/blog/index.html.md");
    EXPECT_EQ(twins[1].address, u"https://example.com/blog/index.html.md");
}

TEST(DemoteHeadings, LowersHeadingsOutsideCodeOnly) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"# T\n\ntext\n## S\n", "## T\n\ntext\n### S\n"},
        {"###### six\n", "###### six\n"},
        {"```\n# not a heading\n```\n# H\n", "```\n# not a heading\n```\n## H\n"},
        {"````\n```\n# code\n````\n", "````\n```\n# code\n````\n"},
        {"\\# escaped\n- # in a list\n", "\\# escaped\n- # in a list\n"},
    };
    for (const auto& [markdown, demoted] : rows) {
        EXPECT_EQ(DemoteHeadings(markdown), demoted) << markdown;
    }
}

PackageForm NamedForm() {
    PackageForm form;
    form.name = u"Example Ltd";
    return form;
}

TEST(LlmsFull, PagesInLlmsTxtOrderUntilTheCapThenTheirAddresses) {
    SpooledScan site({{u"https://example.com/a.html", TwinText("A", std::string(600, 'a'))},
                      {u"https://example.com/b.html", TwinText("B", std::string(600, 'b'))},
                      {u"https://example.com/c.html", TwinText("C", std::string(600, 'c'))}});
    PackageForm form = NamedForm();
    form.fullTextMaxKib = 1;
    const std::string full = MakeLlmsFull(site.scan, form);
    EXPECT_LE(full.size(), 1024u);
    EXPECT_TRUE(full.starts_with("# Example Ltd\n"));
    EXPECT_NE(full.find("\n## A\n"), std::string::npos);
    EXPECT_EQ(full.find("## B\n"), std::string::npos);
    EXPECT_NE(full.find("- <https://example.com/b.html.md>\n- <https://example.com/c.html.md>"),
              std::string::npos);

    form.fullTextMaxKib = 64;
    const std::string whole = MakeLlmsFull(site.scan, form);
    EXPECT_LT(whole.find("## A\n"), whole.find("## B\n"));
    EXPECT_LT(whole.find("## B\n"), whole.find("## C\n"));
    EXPECT_EQ(whole.find("Pages not included"), std::string::npos);

    form.fullTextMaxKib = 0;
    EXPECT_FALSE(WantsLlmsFull(site.scan, form));
    EXPECT_FALSE(WantsLlmsFull(ScanResult{}, NamedForm()));
}

TEST(BuildPackageFiles, LinksTwinsOnlyWhenTheyArePublished) {
    SpooledScan site({{u"https://example.com/guides/vat.html", TwinText("VAT", "text")},
                      {u"https://example.com/search?q=x", TwinText("S", "text")}});
    const auto fileText = [&](const PackageForm& form, const Text& name) {
        for (const PackageFile& file : BuildPackageFiles(site.scan, form)) {
            if (file.fileName == name) {
                return file.content;
            }
        }
        return Text(u"(none)");
    };
    PackageForm form = NamedForm();
    const Text llms = fileText(form, u"llms.txt");
    EXPECT_NE(llms.find(u"(https://example.com/guides/vat.html.md)"), Text::npos);
    EXPECT_NE(fileText(form, u"upload-map.txt").find(u"md/guides/vat.html.md -> WEB ROOT/guides/vat.html.md"),
              Text::npos);
    EXPECT_NE(fileText(form, u"README.txt").find(u"Link: </guides/vat.html.md>; rel=\"alternate\""),
              Text::npos);
    EXPECT_NE(fileText(form, u"ai-discovery.json").find(u"\"llms_full_txt\""), Text::npos);

    form.publishMarkdown = false;
    form.fullTextMaxKib = 0;
    EXPECT_NE(fileText(form, u"llms.txt").find(u"(https://example.com/guides/vat.html)"), Text::npos);
    EXPECT_EQ(fileText(form, u"README.txt").find(u"md/"), Text::npos);
    EXPECT_EQ(fileText(form, u"llms-full.txt"), u"(none)");
    EXPECT_EQ(fileText(form, u"ai-discovery.json").find(u"llms_full_txt"), Text::npos);
}

TEST(WritePackage, TwinsGoToTheFolderAndTheArchiveAndNoneSurviveARunWithout) {
    SpooledScan site({{u"https://example.com/guides/vat.html", TwinText("VAT", "rates")},
                      {u"https://example.com/", TwinText("Home", "welcome")}});
    test::TempDir module;
    const PackageForm form = NamedForm();
    const PackageOutcome outcome = WritePackage(module.text(), site.scan,
                                                BuildPackageFiles(site.scan, form),
                                                PackageTwins(site.scan, form));
    ASSERT_TRUE(outcome.ok) << WideToUtf8(outcome.errorText);
    EXPECT_EQ(outcome.markdownTwins, 2);
    const fs::path folder(outcome.folderPath);
    EXPECT_EQ(test::ReadFileBytes(folder / "md" / "guides" / "vat.html.md"), TwinText("VAT", "rates"));
    EXPECT_EQ(test::ReadFileBytes(folder / "md" / "index.html.md"), TwinText("Home", "welcome"));
    const auto members = test::ReadStoredArchive(test::ReadFileBytes(fs::path(outcome.zipPath)));
    ASSERT_TRUE(members.has_value());
    EXPECT_EQ(members->back().name, "md/index.html.md");
    EXPECT_EQ(members->back().data, TwinText("Home", "welcome"));

    PackageForm without = form;
    without.publishMarkdown = false;
    ASSERT_TRUE(WritePackage(module.text(), site.scan, BuildPackageFiles(site.scan, without),
                             PackageTwins(site.scan, without))
                    .ok);
    EXPECT_FALSE(fs::exists(folder / "md"));
}

}  // namespace
}  // namespace bcnk
