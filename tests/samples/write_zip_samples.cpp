// Writes archives for the real ZIP readers to check (tests/steps/31-zip-readers.sh).
// Usage: write_zip_samples DIR
//
// DIR/archives/<case>.zip are made by the ZIP writer alone, with awkward member names and
// contents; DIR/packages/<case>/ is a module directory into which a whole package was
// written. Beside each archive, <archive>.members lists what a reader must find in it:
// name and content of each member in order, each as a four-byte little-endian length
// followed by the bytes.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/text.h"
#include "package/package.h"
#include "package/zip_writer.h"
#include "scan/markdown_spool.h"

namespace bcnk {
namespace {

namespace fs = std::filesystem;

using Members = std::vector<std::pair<Text, std::string>>;

std::string LengthPrefixed(const std::string& bytes) {
    std::string out;
    for (int shift = 0; shift < 32; shift += 8) {
        out += static_cast<char>((bytes.size() >> shift) & 0xFF);
    }
    return out + bytes;
}

bool WriteMemberList(const fs::path& path, const Members& members) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    for (const auto& [name, data] : members) {
        const std::string record = LengthPrefixed(WideToUtf8(name)) + LengthPrefixed(data);
        file.write(record.data(), static_cast<std::streamsize>(record.size()));
    }
    file.close();
    return !file.fail();
}

bool WriteArchiveCase(const fs::path& folder, const std::string& name, const Members& members) {
    std::vector<ZipEntry> entries;
    for (const auto& [memberName, data] : members) {
        AddZipEntry(entries, memberName, data);
    }
    const fs::path zipPath = folder / (name + ".zip");
    return WriteZipArchive(entries, zipPath.u16string()) &&
           WriteMemberList(folder / (name + ".zip.members"), members);
}

std::string EveryByte() {
    std::string bytes;
    for (int value = 0; value < 256; ++value) {
        bytes += static_cast<char>(value);
    }
    return bytes;
}

// Deterministic noise, so that no stretch of the data looks like text.
std::string Noise(size_t size) {
    std::string bytes(size, '\0');
    std::uint32_t state = 0x12345678u;
    for (char& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
}

Members HostileMembers() {
    // Contents that imitate the archive's own records test readers that scan for
    // signatures instead of following the directory.
    const std::string fakeEnd = std::string("PK\x05\x06", 4) + std::string(18, '\0');
    const std::string fakeLocal = std::string("PK\x03\x04\x14\0\0\x08", 8) + "not a header";
    return {
        {u"caf\u00E9 & <b> \"q\" 'a' #1.txt", "M\xC3\xBCller\r\nline two\r\n"},
        {u"\U0001F680 rocket \u65E5\u672C\u8A9E.md", ""},
        {u"every-byte.bin", EveryByte()},
        {u"fake-records.bin", fakeEnd + fakeLocal + fakeEnd},
        {Text(200, u'n') + u".txt", Noise(1 << 20)},
        {u"\u00C4\u00D6\u00DC\u00E4\u00F6\u00FC\u00DF.json", "{\"k\": \"\\u0000\"}\n"},
    };
}

ScanResult AwkwardScan() {
    ScanResult scan;
    scan.host = u"b\u00FCcher.example";
    scan.baseUrl = u"https://b\u00FCcher.example";
    scan.organizationName = u"B\u00FCcher & S\u00F6hne <GmbH> \"Ltd\" \\o/ \U0001F4DA";
    scan.topics = {u"\u00E9t\u00E9 & <hiver>", u"\"rare\" books"};
    for (int index = 0; index < 40; ++index) {
        PageRecord page;
        page.url = scan.baseUrl + u"/b\u00FCcher/" + NumberText(index) + u"/tom&jerry's-<best>";
        page.title = u"Titel \u201E" + NumberText(index) + u"\u201C & <more> \U0001F4D6";
        page.description = Text(u"Tab\there, quote \" and backslash \\ \x01", 37);
        page.h1 = u"\u00DCberschrift";
        page.headings = {page.h1, u"Zweite & <dritte>"};
        page.httpStatus = 200;
        page.pageClass = static_cast<PageClass>(index % 7);
        scan.pages.push_back(page);
    }
    return scan;
}

PackageForm AwkwardForm() {
    PackageForm form;
    form.name = u"B\u00FCcher \"&\" S\u00F6hne \U0001F4DA";
    form.description = u"<b>Books</b> since 1890\\";
    form.email = u"info@b\u00FCcher.example";
    form.industry = u"E-commerce";
    form.founded = u"1890";
    form.allowCitation = true;
    form.addRobotsRules = true;
    return form;
}

// More members than the plain end record can count: readers must find the ZIP64 records.
Members ManyMembers() {
    Members members;
    for (int index = 0; index < 70000; ++index) {
        members.emplace_back(u"md/page-" + NumberText(index) + u".html.md",
                             "# Page " + std::to_string(index) + "\n");
    }
    return members;
}

// The awkward site with a Markdown twin for every page, at addresses files can hold.
ScanResult TwinnedScan(const std::shared_ptr<MarkdownSpool>& spool) {
    ScanResult scan = AwkwardScan();
    scan.markdown = spool;
    int index = 0;
    for (PageRecord& page : scan.pages) {
        page.url = scan.baseUrl + u"/b%C3%BCcher/" + NumberText(index++) + u"/seite.html";
        spool->Store("# " + WideToUtf8(page.title) + "\n\n<" + WideToUtf8(page.url) +
                         ">\n\nText \\<b> & \\*more\\*\n",
                     page);
    }
    return scan;
}

// Writes the package into DIR/packages/<name>/ through the builder, then lists its files
// and twins beside the archive it made.
bool WritePackageCase(const fs::path& folder, const std::string& name, const ScanResult& scan,
                      const PackageForm& form) {
    const fs::path moduleDirectory = folder / name;
    fs::create_directories(moduleDirectory);
    const std::vector<PackageFile> files = BuildPackageFiles(scan, form);
    const std::vector<MarkdownTwin> twins = PackageTwins(scan, form);
    const PackageOutcome outcome = WritePackage(moduleDirectory.u16string(), scan, files, twins);
    if (!outcome.ok) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), WideToUtf8(outcome.errorText).c_str());
        return false;
    }
    Members members;
    for (const PackageFile& file : files) {
        members.emplace_back(file.fileName, file.Bytes());
    }
    for (const MarkdownTwin& twin : twins) {
        members.emplace_back(twin.fileName, scan.markdown->Read(twin.markdownAt, twin.markdownBytes));
    }
    return WriteMemberList(fs::path(outcome.zipPath + u".members"), members);
}

}  // namespace
}  // namespace bcnk

int main(int argc, char** argv) {
    using namespace bcnk;
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_zip_samples DIR\n");
        return 2;
    }
    const fs::path root = argv[1];
    const fs::path archives = root / "archives";
    const fs::path packages = root / "packages";
    fs::create_directories(archives);
    fs::create_directories(packages);

    bool ok = WriteArchiveCase(archives, "empty", {});
    ok = WriteArchiveCase(archives, "single", {{u"a.txt", "abc"}}) && ok;
    ok = WriteArchiveCase(archives, "hostile", HostileMembers()) && ok;
    ok = WritePackageCase(packages, "awkward", AwkwardScan(), AwkwardForm()) && ok;
    ok = WritePackageCase(packages, "blank", ScanResult(), PackageForm()) && ok;
    ok = WriteArchiveCase(archives, "zip64-many", ManyMembers()) && ok;
    ok = WritePackageCase(packages, "twins", TwinnedScan(std::make_shared<MarkdownSpool>()),
                          AwkwardForm()) && ok;
    if (!ok) {
        std::fprintf(stderr, "write_zip_samples: could not write below %s\n", argv[1]);
        return 1;
    }
    return 0;
}
