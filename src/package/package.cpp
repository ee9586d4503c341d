#include "package/package.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

#include "analysis/word_chars.h"
#include "common/file_lock.h"
#include "common/file_system.h"
#include "package/ai_discovery.h"
#include "package/knowledge_graph.h"
#include "package/left_out_notes.h"
#include "package/llms_full.h"
#include "package/llms_lite.h"
#include "package/llms_txt.h"
#include "package/markdown_notes.h"
#include "package/readme.h"
#include "package/robots.h"
#include "package/server_setup.h"
#include "package/sitemap.h"
#include "net/url.h"
#include "package/zip_writer.h"
#include "scan/indexability.h"
#include "scan/markdown_spool.h"

namespace bcnk {

namespace {

constexpr char16_t kFallbackFolderName[] = u"site";

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

Text SystemErrorText(const std::error_code& error) {
    return Utf8ToWide(error.message());
}

// A run that finds the package being written waits for it to finish (writing takes well
// under a second) rather than fail at once.
FileLock WaitForPackageLock(const Text& path) {
    constexpr int kAttempts = 100;
    constexpr std::chrono::milliseconds kPause{100};
    for (int attempt = 0;; ++attempt) {
        FileLock lock = FileLock::TryAcquire(path);
        if (lock.Held() || attempt + 1 >= kAttempts) {
            return lock;
        }
        std::this_thread::sleep_for(kPause);
    }
}

// Makes the folders of a file's name ("md/guides/vat.html.md") below workPath and returns
// the file's local path.
Text PrepareLocalPath(const Text& workPath, const Text& fileName) {
    Text localName = fileName;
    std::replace(localName.begin(), localName.end(), u'/', kPathSeparator);
    if (const std::size_t slash = localName.rfind(kPathSeparator); slash != Text::npos) {
        std::error_code ignored;  // a folder that cannot be made fails the write after this
        std::filesystem::create_directories(
            std::filesystem::path(JoinPath(workPath, localName.substr(0, slash))), ignored);
    }
    return JoinPath(workPath, localName);
}

// One file to the folder and the archive; an error text when it could not be written.
Text WriteOne(const Text& workPath, const Text& fileName, const std::string& bytes,
              ZipStream& zip) {
    const Text path = PrepareLocalPath(workPath, fileName);
    if (!WriteWholeFile(path, bytes)) {
        return u"Failed writing " + fileName + u" (" + path + u": " +
               Utf8ToWide(std::generic_category().message(errno)) + u")";
    }
    if (!zip.Add(fileName, bytes)) {
        return u"Could not add " + fileName + u" to the ZIP archive";
    }
    return Text();
}

// Writes the files, the twins and their archive into workPath; the outcome names them
// where they will be once workPath has become finalPath. Twins are read from the spool one
// at a time, so a site of any size is written in little memory.
PackageOutcome WriteFilesInto(const Text& workPath, const Text& finalPath, const Text& folderName,
                              const ScanResult& scan, const std::vector<PackageFile>& files,
                              const std::vector<MarkdownTwin>& twins) {
    PackageOutcome outcome;
    const Text zipName = PackageArchiveName(folderName);
    ZipStream zip(JoinPath(workPath, zipName));
    for (const PackageFile& file : files) {
        const Text error = WriteOne(workPath, file.fileName, file.Bytes(), zip);
        if (!error.empty()) {
            return Failure(error);
        }
        Text localName = file.fileName;
        std::replace(localName.begin(), localName.end(), u'/', kPathSeparator);
        outcome.filePaths.push_back(JoinPath(finalPath, localName));
    }
    for (const MarkdownTwin& twin : twins) {
        const std::string bytes =
            scan.markdown ? scan.markdown->Read(twin.markdownAt, twin.markdownBytes) : std::string();
        if (bytes.empty()) {
            return Failure(u"Could not read the Markdown of " + twin.pageAddress +
                           u" back from its temporary file");
        }
        const Text error = WriteOne(workPath, twin.fileName, bytes, zip);
        if (!error.empty()) {
            return Failure(error);
        }
    }
    if (!twins.empty()) {
        outcome.filePaths.push_back(JoinPath(finalPath, kTwinFolder));
        outcome.markdownTwins = static_cast<int>(twins.size());
    }
    if (!zip.Finish()) {
        return Failure(u"Could not create the ZIP archive " + JoinPath(finalPath, zipName));
    }
    outcome.ok = true;
    outcome.folderPath = finalPath;
    outcome.zipPath = JoinPath(finalPath, zipName);
    return outcome;
}

// Swaps the finished folder in for the old one. Files someone else put into the old folder
// are carried over; the old package's own files are not, even those the new package lacks
// (an llms.txt the site has since published would otherwise outlive its package).
Text MoveIntoPlace(const Text& partialPath, const Text& folderPath, const Text& folderName) {
    namespace fs = std::filesystem;
    const fs::path partial(partialPath);
    const fs::path target(folderPath);
    const fs::path old(folderPath + u".old");
    std::error_code error;
    fs::remove_all(old, error);
    const bool hadOld = fs::exists(target, error);
    if (hadOld) {
        fs::rename(target, old, error);
        if (error) {
            return u"Could not replace " + folderPath + u": " + SystemErrorText(error);
        }
    }
    fs::rename(partial, target, error);
    if (error) {
        std::error_code ignored;
        if (hadOld) {
            fs::rename(old, target, ignored);
        }
        return u"Could not move the package into " + folderPath + u": " + SystemErrorText(error);
    }
    if (hadOld) {
        for (const fs::directory_entry& entry : fs::directory_iterator(old, error)) {
            std::error_code ignored;
            const Text name = entry.path().filename().u16string();
            if (IsPackageFileName(name) || name == PackageArchiveName(folderName)) {
                continue;
            }
            if (!fs::exists(target / entry.path().filename(), ignored)) {
                fs::rename(entry.path(), target / entry.path().filename(), ignored);
            }
        }
        fs::remove_all(old, error);
    }
    return Text();
}

// A sitemap of the pages `listed` holds; when the scan found pages but none may be listed, a
// sitemap that says so rather than the usual fall-back entry for the site's root.
Text ListedSitemap(const ScanResult& scan, const ScanResult& listed, bool aiVariant) {
    if (listed.pages.empty() && !scan.pages.empty()) {
        return EveryPageLeftOutSitemap();
    }
    return MakeSitemap(listed, aiVariant);
}

}  // namespace

const std::vector<Text>& PackageFileNames() {
    static const std::vector<Text> names = {
        u"README.txt",     u"upload-map.txt", u"ai-discovery.json", u"ai-discovery.md",
        u"robots.txt.NEW", u"sitemap.xml",    u"ai-sitemap.xml",    u"llms-lite.txt",
        u"llms.txt",       u"tdmrep.json",    u"knowledge-graph.json", u"server",
        u"llms-full.txt",  kTwinFolder,
    };
    return names;
}

bool IsPackageFileName(const Text& fileName) {
    // A file in one of the package's folders ("server/_headers") is the package's too.
    const Text topLevel = fileName.substr(0, fileName.find(u'/'));
    const std::vector<Text>& names = PackageFileNames();
    return std::find(names.begin(), names.end(), topLevel) != names.end();
}

Text PackageArchiveName(const Text& folderName) {
    Text name = folderName;
    name += u"-ai-discovery.zip";
    return name;
}

std::vector<PackageFile> BuildPackageFiles(const ScanResult& scan, const PackageForm& form) {
    std::vector<MarkdownTwin> unused;
    return BuildPackageFiles(scan, form, unused);
}

std::vector<PackageFile> BuildPackageFiles(const ScanResult& scan, const PackageForm& form,
                                           std::vector<MarkdownTwin>& twins) {
    // The lists name only the pages the owner publishes: search files leave out noindex,
    // non-canonical and duplicate pages, the AI files also those marked against AI.
    // One filtered copy of the scan at a time: each is as large as the scan.
    Text searchSitemap;
    {
        const ScanResult forSearch = PublishableScan(scan, ListAudience::Search);
        searchSitemap = ListedSitemap(scan, forSearch, false);
    }
    const ScanResult forAi = PublishableScan(scan, ListAudience::Ai);
    std::vector<PackageFile> files = {
        {u"README.txt", MakeReadme(scan, form)},
        {u"upload-map.txt", MakeUploadMap(scan, RobotsRulesDifferFromChoices(scan, form))},
        {u"ai-discovery.json", MakeAiDiscoveryJson(scan, form)},
        {u"ai-discovery.md", MakeAiDiscoveryMd(forAi, form)},
        {u"robots.txt.NEW", MakeRobotsTxtBytes(scan, form)},
        {u"sitemap.xml", std::move(searchSitemap)},
        {u"ai-sitemap.xml", ListedSitemap(scan, forAi, true)},
        {u"llms-lite.txt", MakeLlmsLite(forAi, form)},
        {u"tdmrep.json", MakeTdmRep(scan, form)},
        {u"knowledge-graph.json", MakeKnowledgeGraph(forAi, form)},
    };
    // The site's own llms.txt is the owner's; one is proposed only where there is none.
    if (!SiteHasLlmsTxt(scan)) {
        files.insert(files.begin() + 8, {u"llms.txt", MakeLlmsTxt(forAi, form)});
    }
    if (EveryPageLeftOut(scan)) {
        for (PackageFile& file : files) {
            if (file.fileName == u"llms.txt" || file.fileName == u"llms-lite.txt" ||
                file.fileName == u"ai-discovery.md") {
                file.content += EveryPageLeftOutLine();
            }
        }
    }
    const bool withFull = WantsLlmsFull(scan, form);
    twins = form.publishMarkdown ? PlanMarkdownTwins(forAi) : std::vector<MarkdownTwin>();
    AddMarkdownToReadme(files[0].content, twins, withFull, !SiteHasLlmsTxt(scan));
    AddMarkdownToUploadMap(files[1].content, twins, withFull);
    if (withFull) {
        // Beside the other llms files: after llms.txt, or llms-lite.txt when the site has one.
        auto before = std::find_if(files.begin(), files.end(), [](const PackageFile& file) {
            return file.fileName == u"llms.txt";
        });
        if (before == files.end()) {
            before = std::find_if(files.begin(), files.end(), [](const PackageFile& file) {
                return file.fileName == u"llms-lite.txt";
            });
        }
        files.insert(before + 1, {u"llms-full.txt", MakeLlmsFull(forAi, form)});
    }
    for (PackageFile& file : ServerSetupFiles(scan, form)) {
        files.push_back(std::move(file));
    }
    return files;
}

std::vector<MarkdownTwin> PackageTwins(const ScanResult& scan, const PackageForm& form) {
    return form.publishMarkdown ? PlanMarkdownTwins(PublishableScan(scan, ListAudience::Ai))
                                : std::vector<MarkdownTwin>();
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
    // Moved aside on every platform, so a site gets the same folder everywhere.
    if (IsWindowsDeviceName(name)) {
        name.insert(0, 1, u'_');
    }
    return name;
}

Text SiteFolderHost(const ScanResult& scan) {
    const UrlParts parts = ParseUrl(scan.baseUrl);
    const int defaultPort = parts.secure ? 443 : 80;
    if (!parts.valid || parts.port == defaultPort) {
        return scan.host;
    }
    return scan.host + u":" + NumberText(parts.port);
}

PackageOutcome WritePackage(const Text& moduleDirectory, const ScanResult& scan,
                            const std::vector<PackageFile>& files,
                            const std::vector<MarkdownTwin>& twins) {
    const Text folderName = SiteFolderName(SiteFolderHost(scan));
    const Text outputDirectory = JoinPath(moduleDirectory, u"output");
    std::error_code error;
    // Only the output folder itself is made: the folder it goes into is the program's own
    // or was made by the caller, and a missing one means a mistake, not a folder to invent.
    std::filesystem::create_directory(std::filesystem::path(outputDirectory), error);
    if (error) {
        return Failure(u"Could not create output folder " + outputDirectory + u": " +
                       SystemErrorText(error));
    }
    const FileLock lock = WaitForPackageLock(JoinPath(outputDirectory, folderName + u".lock"));
    if (!lock.Held()) {
        return Failure(u"another run is writing this package (" +
                       JoinPath(outputDirectory, folderName) + u")");
    }

    // Written in full beside the target and only then moved into place, so the folder never
    // holds half a package, nor files of two runs.
    const Text folderPath = JoinPath(outputDirectory, folderName);
    if (std::filesystem::exists(std::filesystem::path(folderPath), error) &&
        !std::filesystem::is_directory(std::filesystem::path(folderPath), error)) {
        return Failure(u"Could not create output folder " + folderPath +
                       u": a file of that name is in the way");
    }
    const Text partialPath = JoinPath(outputDirectory, folderName + u".partial");
    std::filesystem::remove_all(std::filesystem::path(partialPath), error);
    if (!std::filesystem::create_directory(std::filesystem::path(partialPath), error)) {
        return Failure(u"Could not create output folder " + partialPath + u": " +
                       SystemErrorText(error));
    }
    PackageOutcome outcome =
        WriteFilesInto(partialPath, folderPath, folderName, scan, files, twins);
    if (outcome.ok) {
        outcome.errorText = MoveIntoPlace(partialPath, folderPath, folderName);
        outcome.ok = outcome.errorText.empty();
    }
    if (!outcome.ok) {
        std::filesystem::remove_all(std::filesystem::path(partialPath), error);
        return Failure(outcome.errorText);
    }
    return outcome;
}

}  // namespace bcnk
