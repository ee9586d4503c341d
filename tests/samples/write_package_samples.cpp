// Writes the package files for a shop-like scan with several form fillings and for a few
// deliberately hostile scans, so that readers and validators that are not ours can check them
// (tests/steps/30-generated-files.sh, tests/steps/32-package-standards.sh).
// Usage: write_package_samples DIR
//
// Each case gets DIR/<case>/package/ with the files as the program would write them and
// DIR/<case>/expect/ with the raw values the readers must get back after unescaping.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/text.h"
#include "package/package.h"

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

// A shop as a crawl of it stores it: a product listing and a pricing page beside the marked-up
// products, one page under two spellings of its address, awkward addresses and titles, and
// Last-Modified days that do not exist.
ScanResult SampleScan() {
    ScanResult scan;
    scan.host = u"harbour.example";
    scan.baseUrl = u"https://harbour.example";
    scan.language = u"en";
    scan.siteDescription = u"Lamps and lenses for harbours since 1890.";
    scan.organizationName = u"Harbour Lights";
    scan.personName = u"Ada Keel";
    scan.topics = {u"harbour lamps", u"fog season", u"lens care"};
    struct Sample {
        const char16_t* path;
        const char16_t* title;
        PageClass pageClass;
        std::vector<Text> schemaTypes;
        const char16_t* productName;
        const char16_t* lastModified;
    };
    const Sample samples[] = {
        {u"/", u"Harbour Lights", PageClass::Index, {u"Organization"}, u"", u""},
        {u"/products/", u"Our products", PageClass::Product, {}, u"", u"Fri, 31 Feb 2023"},
        {u"/products/harbour-lamp.html", u"Harbour Lamp | Harbour Lights", PageClass::Product,
         {u"Product"}, u"Harbour Lamp", u"Tue, 15 Nov 2022 08:12:31 GMT"},
        {u"/products/fog lens [2].html", u"Fog Lens ](http://other.example) <b>2</b>",
         PageClass::Product, {u"Product"}, u"Fog Lens ](http://other.example) <b>2</b>",
         u"Wed, 29 Feb 2023 10:00:00 GMT"},
        {u"/services/lamp-care", u"Lamp care service", PageClass::Guide, {u"Service"}, u"",
         u"Thu, 29 Feb 2024 10:00:00 GMT"},
        {u"/pricing", u"Pricing", PageClass::Product, {}, u"", u"Mayday 12 2020"},
        {u"/blog/fog-season.html", u"Fog season\nis here", PageClass::Article, {u"BlogPosting"},
         u"", u"Fri, 31 Dec 9999 23:59:59 GMT"},
        {u"/guides/lamp-care.html", u"How to care for a lamp", PageClass::Guide, {u"HowTo"}, u"",
         u"Thu, 31 Apr 2025"},
        {u"/na\u00EFve page.html", u"Na\u00EFve page", PageClass::Other, {}, u"", u""},
        {u"/caf%c3%a9.html", u"Caf\u00E9", PageClass::Other, {}, u"", u""},
        {u"/caf\u00E9.html", u"Caf\u00E9 again", PageClass::Other, {}, u"", u""},
        {u"/search?q=a b", u"Search", PageClass::Utility, {}, u"", u""},
        {u"/contact", u"Contact <us>", PageClass::Utility, {}, u"", u""},
        {u"/privacy", u"Privacy", PageClass::Legal, {}, u"", u"Sun, 06 Nov 1994 08:49:37 GMT"},
    };
    for (const Sample& sample : samples) {
        PageRecord page;
        page.url = scan.baseUrl + sample.path;
        page.title = sample.title;
        page.h1 = sample.title;
        page.description = Text(u"About ") + sample.title + u" \u2013 \"quoted\" & <tagged>";
        page.schemaTypes = sample.schemaTypes;
        page.productName = sample.productName;
        page.lastModified = sample.lastModified;
        page.httpStatus = 200;
        page.pageClass = sample.pageClass;
        scan.pages.push_back(page);
    }
    scan.checks = {{u"llms.txt", u"/llms.txt", CheckState::Missing, u"Missing", true}};
    scan.robotsStatus = 404;
    return scan;
}

PackageForm SampleForm() {
    PackageForm form;
    form.name = u"Harbour Lights";
    form.description = u"Lamps and lenses for harbours.";
    form.email = u"hello@harbour.example";
    form.industry = u"E-commerce";
    form.founded = u"1890";
    form.allowTraining = false;
    form.allowCitation = true;
    form.allowSummarisation = true;
    form.addRobotsRules = true;
    return form;
}

// Form fields as a user may paste them: links, tags, line breaks and Markdown of their own.
PackageForm AwkwardForm() {
    PackageForm form = SampleForm();
    form.name = u"# Harbour ](http://other.example) [Lights]\r\n## Injected";
    form.description = u"> quoted\n- listed <script>alert(1)</script> \\ \x01\x7F end";
    form.industry = u"Other";
    form.email = u"o'brien+lamps@harbour.example";
    form.founded = u"";
    form.addRobotsRules = false;
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

    bool ok = true;
    for (const PackageFile& file : BuildPackageFiles(scan, form)) {
        const std::filesystem::path path = packageDir / WideToUtf8(file.fileName);
        std::filesystem::create_directories(path.parent_path());
        ok = WriteBytes(path, file.Bytes()) && ok;
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

    ok = WriteCase(root, "sample", SampleScan(), SampleForm()) && ok;
    ok = WriteCase(root, "sample-awkward-form", SampleScan(), AwkwardForm()) && ok;
    PackageForm minimal;
    minimal.name = u"H";
    ok = WriteCase(root, "sample-name-only", SampleScan(), minimal) && ok;
    ScanResult ownLlms = SampleScan();
    ownLlms.checks[0] = {u"llms.txt", u"/llms.txt", CheckState::Ok, u"Present", true};
    ok = WriteCase(root, "sample-site-has-llms", ownLlms, SampleForm()) && ok;

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
