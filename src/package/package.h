#pragma once
// The Generate form's values and the builder that turns a scan plus those values into the
// ten-file AI Discovery Package and its ZIP archive.
#include <string>
#include <utility>
#include <vector>

#include "common/text.h"
#include "package/markdown_twins.h"
#include "scan/scan_types.h"

namespace bcnk {

// llms-full.txt's size limit: readers cut larger files short, and the file is built in memory.
inline constexpr int kDefaultFullTextKib = 1024;
inline constexpr int kMaxFullTextKib = 100 * 1024;

struct PackageForm {
    Text name;
    Text description;
    Text email;
    Text industry;
    Text founded;
    bool allowTraining = false;
    bool allowCitation = false;
    bool allowSummarisation = false;
    bool addRobotsRules = false;
    // Where the owner states the terms of text and data mining; empty when none is given.
    Text tdmPolicy;
    // Also write the IETF Content-Usage line into robots.txt.NEW (some robots.txt audits
    // report it as an unknown directive, so it is the owner's choice).
    bool contentUsageInRobots = false;
    // A Markdown twin of each published page in md/, linked from llms.txt.
    bool publishMarkdown = true;
    // llms-full.txt stops before this size; 0 writes no llms-full.txt.
    int fullTextMaxKib = kDefaultFullTextKib;
};

struct PackageFile {
    PackageFile() = default;
    PackageFile(Text name, Text text) : fileName(std::move(name)), content(std::move(text)) {}
    // A file that must reach the disk as these bytes (the site owner's own text, in whatever
    // encoding it came); content then holds them decoded, for display only.
    PackageFile(Text name, std::string bytes)
        : fileName(std::move(name)), content(Utf8ToWide(bytes)), exactBytes(std::move(bytes)) {}

    Text fileName;           // file name, or "folder/name" for the few files in a folder
    Text content;            // whole file; written as UTF-8 without a byte-order mark
    std::string exactBytes;  // when not empty, written instead of content

    // What goes into the file and the archive.
    std::string Bytes() const { return exactBytes.empty() ? WideToUtf8(content) : exactBytes; }
};

struct PackageOutcome {
    bool ok = false;
    Text folderPath;
    Text zipPath;
    std::vector<Text> filePaths;  // every file of the package, in list order; archive excluded;
                                  // the Markdown twins by their folder alone
    int markdownTwins = 0;        // files in that folder
    Text errorText;
};

// The ten files, and llms.txt after llms-lite.txt when the site has none, always in the same
// order (also the order on disk and in the archive).
std::vector<PackageFile> BuildPackageFiles(const ScanResult& scan, const PackageForm& form);
// The same, with the Markdown twins the files name (PackageTwins), planned on the way.
std::vector<PackageFile> BuildPackageFiles(const ScanResult& scan, const PackageForm& form,
                                           std::vector<MarkdownTwin>& twins);

// The Markdown twins the package publishes: those of the pages the AI files list, when the
// form asks for them.
std::vector<MarkdownTwin> PackageTwins(const ScanResult& scan, const PackageForm& form);

// Writes the files, the twins (read from the scan's spool) and their archive below
// moduleDirectory/output/<site folder>/.
PackageOutcome WritePackage(const Text& moduleDirectory, const ScanResult& scan,
                            const std::vector<PackageFile>& files,
                            const std::vector<MarkdownTwin>& twins = {});

// Every name a package of ours can hold, its archive aside (IsPackageArchiveName): a new
// package replaces all of these and carries over only files someone else put there.
const std::vector<Text>& PackageFileNames();
bool IsPackageFileName(const Text& fileName);
// "<site folder>-ai-discovery.zip", the archive of the package in that folder.
Text PackageArchiveName(const Text& folderName);

// The site folder's name for a host: safe as one path component on both platforms.
Text SiteFolderName(const Text& host);

// What names a scanned site's folder: the host, with ":port" when the site is not on its
// scheme's default port, so two sites of one host keep apart ("127.0.0.1:8801" gives the
// folder "127.0.0.1_8801").
Text SiteFolderHost(const ScanResult& scan);

}  // namespace bcnk
