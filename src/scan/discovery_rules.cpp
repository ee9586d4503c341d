#include "scan/discovery_rules.h"

#include <algorithm>
#include <string_view>

#include "scan/ai_crawlers.h"
#include "scan/discovery.h"
#include "scan/format_check.h"
#include "scan/robots_rules.h"

namespace bcnk {

const std::array<DiscoveryFile, 9> kDiscoveryFiles = {{
    {u"llms.txt", u"/llms.txt", true},
    {u"llms-lite.txt", u"/llms-lite.txt", false},
    {u"ai-discovery.json", u"/ai-discovery.json", true},
    {u"ai-discovery.json (.well-known)", u"/.well-known/ai-discovery.json", false},
    {u"ai-discovery.md", u"/ai-discovery.md", false},
    {u"knowledge-graph.json", u"/knowledge-graph.json", true},
    {u"ai-sitemap.xml", u"/ai-sitemap.xml", true},
    {u"sitemap.xml", u"/sitemap.xml", true},
    {u"tdmrep.json", u"/.well-known/tdmrep.json", true},
}};

namespace {

bool Served(const FetchResult& fetched) {
    return fetched.status == 200 && !fetched.body.empty();
}

enum class FileFormat { None, Json, Xml };

FileFormat FormatOf(const Text& label) {
    if (label.find(u"json") != Text::npos) {
        return FileFormat::Json;
    }
    if (label.find(u"xml") != Text::npos) {
        return FileFormat::Xml;
    }
    return FileFormat::None;
}

// Readers of these files take all or nothing: a body that does not parse is no file to them,
// however much of one it looks like.
bool HasFormat(FileFormat format, const std::string& body) {
    return format == FileFormat::Json ? IsJsonDocument(body) : IsXmlDocument(body);
}

// Many servers answer every unknown path with their HTML error or home page and status 200.
// Such a page is not the file that was asked for. Only how the answer is labelled and how it
// begins count: an llms.txt may well quote markup further down.
bool IsHtmlDocument(const FetchResult& fetched) {
    const Text& type = fetched.contentType;
    if (ToLower(Trim(type.substr(0, type.find(u';')))) == u"text/html") {
        return true;
    }
    std::string_view body = fetched.body;
    if (body.starts_with("\xEF\xBB\xBF")) {
        body.remove_prefix(3);
    }
    body.remove_prefix(std::min(body.size(), body.find_first_not_of(" \t\r\n\f")));
    const auto startsWith = [&](std::string_view folded) {
        return body.size() >= folded.size() &&
               ContainsNoCaseBytes(body.substr(0, folded.size()), folded);
    };
    return startsWith("<!doctype html") || startsWith("<html");
}

bool LooksLikeHtml(const FetchResult& fetched, const Text& text) {
    if (ContainsNoCase(fetched.contentType, u"html")) {
        return true;
    }
    const Text trimmed = Trim(text);
    return (!trimmed.empty() && trimmed.front() == u'<') || ContainsNoCase(text, u"<html");
}

DiscoveryCheck MakeCheck(const Text& label, const Text& path, bool scored, CheckState state,
                         const Text& details) {
    return DiscoveryCheck{label, path, state, details, scored};
}

}  // namespace

DiscoveryCheck JudgeDiscoveryFile(const DiscoveryFile& file, const FetchResult& fetched) {
    if (!Served(fetched) || IsHtmlDocument(fetched)) {
        return MakeCheck(file.label, file.path, file.scored, CheckState::Missing, u"Missing");
    }
    const FileFormat format = FormatOf(file.label);
    if (format == FileFormat::None) {
        return MakeCheck(file.label, file.path, file.scored, CheckState::Ok, u"Present");
    }
    if (HasFormat(format, fetched.body)) {
        return MakeCheck(file.label, file.path, file.scored, CheckState::Ok, u"Valid");
    }
    return MakeCheck(file.label, file.path, file.scored, CheckState::NeedsUpdate, u"Needs update");
}

DiscoveryCheck JudgeRobotsTxt(const FetchResult& fetched, ScanResult& result) {
    result.robotsStatus = fetched.status;
    if (!Served(fetched)) {
        // A 404 simply means there is no file; anything else that is not an answer at all
        // or an error means the crawler could not read it.
        const bool unreadable =
            fetched.status == 0 || (fetched.status >= 400 && fetched.status != 404);
        return MakeCheck(kRobotsLabel, kRobotsPath, true, CheckState::Missing,
                         unreadable ? u"Blocked / unreadable" : u"Missing");
    }
    const Text text = Utf8ToWide(fetched.body);
    if (!LooksLikeHtml(fetched, text)) {
        result.robotsTxt = text;
        result.robotsBytes = fetched.body;
        result.robotsFound = true;
    }
    const RobotsTxt file = ParseRobotsTxt(fetched.body);
    if (NamesAnyAiCrawler(file)) {
        return MakeCheck(kRobotsLabel, kRobotsPath, true, CheckState::Ok, u"AI rules present");
    }
    if (!Decide(RulesFor(file, "*"), "/").allowed) {
        return MakeCheck(kRobotsLabel, kRobotsPath, true, CheckState::Blocking,
                         u"Blocking AI crawlers");
    }
    return MakeCheck(kRobotsLabel, kRobotsPath, true, CheckState::NeedsUpdate, u"Missing AI rules");
}

int ReadinessScore(const std::vector<DiscoveryCheck>& checks) {
    int scoredRows = 0;
    double points = 0.0;
    for (const DiscoveryCheck& check : checks) {
        if (!check.scored) {
            continue;
        }
        ++scoredRows;
        if (check.state == CheckState::Ok) {
            points += 1.0;
        } else if (check.state == CheckState::NeedsUpdate) {
            points += 0.5;
        }
    }
    if (scoredRows == 0) {
        return 0;
    }
    return static_cast<int>(points / scoredRows * 100.0 + 0.5);
}

}  // namespace bcnk
