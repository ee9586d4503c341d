#include "package/package.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <utility>

#include "analysis/word_chars.h"
#include "common/directory.h"
#include "common/file_system.h"
#include "package/ai_discovery.h"
#include "package/knowledge_graph.h"
#include "package/llms_lite.h"
#include "package/llms_txt.h"
#include "package/readme.h"
#include "package/robots.h"
#include "package/sitemap.h"
#include "package/zip_writer.h"

namespace bcnk {

namespace {

constexpr char16_t kFallbackFolderName[] = u"site";

// Names Windows maps to devices whatever follows the first dot ("nul.example" is still
// NUL). A folder with such a name cannot be made or written there, so the name is moved
// aside on every platform; the same site then gets the same folder everywhere.
bool IsDeviceName(const Text& name) {
    static const std::array<Text, 4> plain = {u"con", u"prn", u"aux", u"nul"};
    const Text stem = ToLower(name.substr(0, name.find(u'.')));
    if (std::find(plain.begin(), plain.end(), stem) != plain.end()) {
        return true;
    }
    if (stem.size() != 4 || (stem.compare(0, 3, u"com") != 0 && stem.compare(0, 3, u"lpt") != 0)) {
        return false;
    }
    const char16_t last = stem[3];
    return (last >= u'0' && last <= u'9') || last == u'\u00B9' || last == u'\u00B2' ||
           last == u'\u00B3';
}

// One open-write-close; the file counts as written only when every step succeeded, so a
// full disk shows up here and not as a truncated file nobody was told about.
bool WriteWholeFile(const Text& path, const std::string& bytes) {
    std::FILE* file = OpenFileForWriting(path);
    if (file == nullptr) {
        return false;
    }
    const bool written =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

PackageOutcome Failure(const Text& errorText) {
    PackageOutcome outcome;
    outcome.errorText = errorText;
    return outcome;
}

}  // namespace

std::vector<PackageFile> BuildPackageFiles(const ScanResult& scan, const PackageForm& form) {
    std::vector<PackageFile> files = {
        {u"README.txt", MakeReadme(scan)},
        {u"upload-map.txt", MakeUploadMap(scan)},
        {u"ai-discovery.json", MakeAiDiscoveryJson(scan, form)},
        {u"ai-discovery.md", MakeAiDiscoveryMd(scan, form)},
        {u"robots.txt.NEW", MakeRobotsTxt(scan, form)},
        {u"sitemap.xml", MakeSitemap(scan, false)},
        {u"ai-sitemap.xml", MakeSitemap(scan, true)},
        {u"llms-lite.txt", MakeLlmsLite(scan, form)},
        {u"tdmrep.json", MakeTdmRep(scan, form)},
        {u"knowledge-graph.json", MakeKnowledgeGraph(scan, form)},
    };
    // The site's own llms.txt is the owner's; one is proposed only where there is none.
    if (!SiteHasLlmsTxt(scan)) {
        files.insert(files.begin() + 8, {u"llms.txt", MakeLlmsTxt(scan, form)});
    }
    return files;
}

Text SiteFolderName(const Text& host) {
    const Text source = host.empty() ? Text(kFallbackFolderName) : host;
    Text name;
    name.reserve(source.size());
    // Letters of any script and digits stay, judged alike on both platforms, so a site gets
    // the same folder name wherever the package is made.
    for (const char16_t unit : source) {
        const bool kept = IsWordUnit(unit) || unit == u'-' || unit == u'.' || unit == u'_';
        name += kept ? unit : u'_';
    }
    // Windows drops trailing dots from a folder it creates but not from the folders of a
    // path it opens, so "example.com." would give a folder whose files cannot be written;
    // and a name of dots alone ("..") would put the package beside the program.
    name.erase(name.find_last_not_of(u'.') + 1);
    if (name.empty()) {
        return kFallbackFolderName;
    }
    if (IsDeviceName(name)) {
        name.insert(0, 1, u'_');
    }
    return name;
}

PackageOutcome WritePackage(const Text& moduleDirectory, const ScanResult& scan,
                            const std::vector<PackageFile>& files) {
    const Text folderName = SiteFolderName(scan.host);
    const Text outputDirectory = JoinPath(moduleDirectory, u"output");
    // A failure here shows up when the site folder below it cannot be made.
    EnsureDirectory(outputDirectory);
    const Text folderPath = JoinPath(outputDirectory, folderName);
    if (!EnsureDirectory(folderPath)) {
        return Failure(u"Could not create output folder.");
    }

    std::vector<ZipEntry> entries;
    entries.reserve(files.size());
    for (const PackageFile& file : files) {
        std::string bytes = WideToUtf8(file.content);
        if (!WriteWholeFile(JoinPath(folderPath, file.fileName), bytes)) {
            return Failure(u"Failed writing " + file.fileName);
        }
        AddZipEntry(entries, file.fileName, std::move(bytes));
    }

    PackageOutcome outcome;
    outcome.folderPath = folderPath;
    const Text zipPath = JoinPath(folderPath, folderName + u"-ai-discovery.zip");
    if (!WriteZipArchive(entries, zipPath)) {
        outcome.errorText = u"Files written, but zip creation failed.";
        return outcome;
    }
    outcome.ok = true;
    outcome.zipPath = zipPath;
    return outcome;
}

}  // namespace bcnk
