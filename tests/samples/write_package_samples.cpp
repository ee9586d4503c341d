// Writes the package files for a few deliberately hostile scans, so that real JSON and XML
// readers can check them (tests/steps/30-generated-files.sh). Usage: write_package_samples DIR
//
// Each case gets DIR/<case>/package/ with the ten files as the program would write them and
// DIR/<case>/expect/ with the raw values the readers must get back after unescaping.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/text.h"
#include "package/ai_discovery.h"
#include "package/knowledge_graph.h"
#include "package/llms_lite.h"
#include "package/package.h"
#include "package/readme.h"
#include "package/robots.h"
#include "package/sitemap.h"

namespace bcnk {
namespace {

// Every unit below U+0020, XML's forbidden U+FFFE/U+FFFF, the JSON and XML specials, letters
// outside ASCII, a surrogate pair, a lone surrogate and the line separators JavaScript chokes on.
Text HostileText(const Text& label) {
    Text text = label + u" \"q\" 'a' \\b\\ & <tag> &amp; ]]> \u00C4\u00DF\u0130 \U0001F600 ";
    for (char16_t unit = 0; unit < 0x20; ++unit) {
        text += unit;
    }
    text += u'\x7F';
    text += u'\xD800';
    text += u"x\xDC00";
    text += u"\uFFFE\uFFFF\u2028\u2029\uFEFF";
    return text;
}

ScanResult HostileScan() {
    ScanResult scan;
    scan.host = u"h\u00E4st.example";
    scan.baseUrl = u"https://h\u00E4st.example";
    scan.language = HostileText(u"lang");
    scan.siteDescription = HostileText(u"site");
    scan.organizationName = HostileText(u"org");
    scan.personName = HostileText(u"person");
    scan.topics = {HostileText(u"topic1"), Text(), HostileText(u"topic3")};
    const PageClass classes[] = {PageClass::Product, PageClass::Article, PageClass::Guide,
                                 PageClass::Utility, PageClass::Legal,   PageClass::Index,
                                 PageClass::Other};
    int number = 0;
    for (const PageClass pageClass : classes) {
        for (const Text& tail : {Text(u"a&b<c>\"d\"'e'"), Text(u"\u00FC\U0001F600"),
                                 Text(u"ctl\x01\x1F"), Text(u"tab\tnl\ncr\r"), Text(u"")}) {
            PageRecord page;
            page.url = scan.baseUrl + u"/" + NumberText(number++) + tail;
            page.title = HostileText(u"title");
            page.description = HostileText(u"description");
            page.h1 = HostileText(u"h1");
            page.productName = number % 2 == 0 ? HostileText(u"product") : Text();
            page.lastModified = HostileText(u"Tue, 15 Nov 1994");
            page.httpStatus = 200;
            page.pageClass = pageClass;
            scan.pages.push_back(page);
        }
    }
    scan.pages.push_back(PageRecord());  // a record with nothing in it at all
    scan.pages.back().httpStatus = 200;
    scan.robotsStatus = 0;
    return scan;
}

PackageForm HostileForm() {
    PackageForm form;
    form.name = HostileText(u"name");
    form.description = HostileText(u"description");
    form.email = HostileText(u"email");
    form.industry = HostileText(u"industry");
    form.founded = u"\"\\\x01<";
    form.allowTraining = true;
    form.allowCitation = false;
    form.allowSummarisation = true;
    form.addRobotsRules = true;
    return form;
}

bool WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    return !file.fail();
}

bool WriteCase(const std::filesystem::path& root, const std::string& name, const ScanResult& scan,
               const PackageForm& form) {
    const std::filesystem::path packageDir = root / name / "package";
    const std::filesystem::path expectDir = root / name / "expect";
    std::filesystem::create_directories(packageDir);
    std::filesystem::create_directories(expectDir);

    const std::vector<std::pair<const char*, Text>> files = {
        {"README.txt", MakeReadme(scan)},
        {"upload-map.txt", MakeUploadMap()},
        {"ai-discovery.json", MakeAiDiscoveryJson(scan, form)},
        {"ai-discovery.md", MakeAiDiscoveryMd(scan, form)},
        {"robots.txt.NEW", MakeRobotsTxt(scan, form)},
        {"sitemap.xml", MakeSitemap(scan, false)},
        {"ai-sitemap.xml", MakeSitemap(scan, true)},
        {"llms-lite.txt", MakeLlmsLite(scan, form)},
        {"tdmrep.json", MakeTdmRep(scan, form)},
        {"knowledge-graph.json", MakeKnowledgeGraph(scan, form)},
    };
    bool ok = true;
    for (const auto& [fileName, content] : files) {
        ok = WriteBytes(packageDir / fileName, WideToUtf8(content)) && ok;
    }

    // Values hold every control character, zero bytes included, so each one is written as
    // its length in four little-endian bytes followed by its UTF-8 bytes.
    auto joined = [](const std::vector<Text>& values) {
        std::string bytes;
        for (const Text& value : values) {
            const std::string utf8 = WideToUtf8(value);
            for (int shift = 0; shift < 32; shift += 8) {
                bytes += static_cast<char>((utf8.size() >> shift) & 0xFF);
            }
            bytes += utf8;
        }
        return bytes;
    };
    std::vector<Text> urls;
    for (const PageRecord& page : scan.pages) {
        urls.push_back(page.url);
    }
    ok = WriteBytes(expectDir / "name.txt", WideToUtf8(form.name)) && ok;
    ok = WriteBytes(expectDir / "description.txt", WideToUtf8(form.description)) && ok;
    ok = WriteBytes(expectDir / "person.txt", WideToUtf8(scan.personName)) && ok;
    ok = WriteBytes(expectDir / "base-url.txt", WideToUtf8(scan.baseUrl)) && ok;
    ok = WriteBytes(expectDir / "topics.bin", joined(scan.topics)) && ok;
    ok = WriteBytes(expectDir / "urls.bin", joined(urls)) && ok;
    return ok;
}

}  // namespace
}  // namespace bcnk

int main(int argc, char** argv) {
    using namespace bcnk;
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_package_samples DIR\n");
        return 2;
    }
    const std::filesystem::path root = argv[1];
    bool ok = WriteCase(root, "hostile", HostileScan(), HostileForm());
    ok = WriteCase(root, "empty", ScanResult(), PackageForm()) && ok;

    ScanResult merged = HostileScan();
    merged.robotsFound = true;
    merged.robotsStatus = 200;
    merged.robotsTxt = u"\uFEFFUser-agent: *\r\nDisallow: /\u00E4\r\n" + HostileText(u"#x") +
                       u"\r\nSitemap: " + merged.baseUrl + u"/sitemap.xml";
    ok = WriteCase(root, "merge", merged, HostileForm()) && ok;
    if (!ok) {
        std::fprintf(stderr, "write_package_samples: could not write below %s\n", argv[1]);
        return 1;
    }
    return 0;
}
