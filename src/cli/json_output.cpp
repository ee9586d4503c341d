#include "cli/json_output.h"

#include "cli/arguments.h"
#include "common/maker_info.h"
#include "scan/agent_check.h"
#include "scan/render_check.h"
#include "scan/indexability.h"
#include "scan/result_figures.h"
#include "scan/usage_preferences.h"

namespace bcnk::cli {

namespace {

const char16_t* CheckStateName(CheckState state) {
    switch (state) {
        case CheckState::Ok:
            return u"Ok";
        case CheckState::Missing:
            return u"Missing";
        case CheckState::NeedsUpdate:
            return u"NeedsUpdate";
        case CheckState::Blocking:
            return u"Blocking";
    }
    return u"Missing";
}

// Builds indented JSON without a tree in between; results can hold many thousand pages.
class JsonWriter {
  public:
    std::string Take() { return std::move(out_); }

    void BeginObject() { Open('{'); }
    void EndObject() { Close('}'); }
    void BeginArray() { Open('['); }
    void EndArray() { Close(']'); }

    void Key(const char* key) {
        Separate();
        out_ += '"';
        out_ += key;
        out_ += "\": ";
        afterKey_ = true;
    }
    void String(const Text& value) {
        Separate();
        out_ += '"';
        out_ += WideToUtf8(JsonEscape(value));
        out_ += '"';
    }
    void Number(long long value) {
        Separate();
        out_ += std::to_string(value);
    }
    void Bool(bool value) {
        Separate();
        out_ += value ? "true" : "false";
    }
    void Null() {
        Separate();
        out_ += "null";
    }
    void Field(const char* key, const Text& value) {
        Key(key);
        String(value);
    }
    // Exact overloads: an int or a character pointer must never end up as a bool.
    void Field(const char* key, const char16_t* value) { Field(key, Text(value)); }
    void Field(const char* key, int value) {
        Key(key);
        Number(value);
    }
    void Field(const char* key, bool value) {
        Key(key);
        Bool(value);
    }
    void Field(const char* key, const std::vector<Text>& values) {
        Key(key);
        Strings(values);
    }
    void Strings(const std::vector<Text>& values) {
        BeginArray();
        for (const Text& value : values) {
            String(value);
        }
        EndArray();
    }

  private:
    void Separate() {
        if (afterKey_) {
            afterKey_ = false;
            return;
        }
        if (!counts_.empty()) {
            out_ += counts_.back()++ ? ",\n" : "\n";
            out_.append(counts_.size() * 2, ' ');
        }
    }
    void Open(char bracket) {
        Separate();
        out_ += bracket;
        counts_.push_back(0);
    }
    void Close(char bracket) {
        const bool empty = counts_.back() == 0;
        counts_.pop_back();
        if (!empty) {
            out_ += '\n';
            out_.append(counts_.size() * 2, ' ');
        }
        out_ += bracket;
    }

    std::string out_;
    std::vector<int> counts_;  // members written so far, per open bracket
    bool afterKey_ = false;
};

void TextOrNull(JsonWriter& json, const char* key, const Text& value) {
    json.Key(key);
    if (value.empty()) {
        json.Null();
    } else {
        json.String(value);
    }
}

// Whether the package may list the page, and what the page said that decided it.
void WritePublication(JsonWriter& json, const PageRecord& page) {
    json.Field("indexable", MayList(page, ListAudience::Search));
    std::vector<Text> exclusions;
    for (const Exclusion reason : PageExclusions(page)) {
        exclusions.push_back(ExclusionName(reason));
    }
    json.Field("exclusions", exclusions);
    json.Field("robotsDirectives", page.robotsDirectives);
    TextOrNull(json, "canonical", page.canonical);
    TextOrNull(json, "canonicalIgnored", page.canonicalIgnored);
    TextOrNull(json, "duplicateOf", page.duplicateOf);
}

void WritePage(JsonWriter& json, const PageRecord& page) {
    json.BeginObject();
    json.Field("url", page.url);
    json.Field("title", page.title);
    json.Field("description", page.description);
    json.Field("h1", page.h1);
    json.Field("lastModified", page.lastModified);
    json.Field("headings", page.headings);
    json.Field("schemaTypes", page.schemaTypes);
    json.Field("productName", page.productName);
    json.Field("wordCount", page.wordCount);
    json.Field("mainWords", page.mainWordCount);
    json.Field("httpStatus", page.httpStatus);
    json.Field("depth", page.depth);
    json.Field("pageClass", PageClassName(page.pageClass));
    json.Field("summaryClass", PageClassSummaryLabel(page.pageClass));
    WritePublication(json, page);
    json.EndObject();
}

void WriteCheck(JsonWriter& json, const DiscoveryCheck& check) {
    json.BeginObject();
    json.Field("label", check.label);
    json.Field("path", check.path);
    json.Field("state", CheckStateName(check.state));
    json.Field("details", check.details);
    json.Field("scored", check.scored);
    json.EndObject();
}

void WriteSkipped(JsonWriter& json, const SkippedPage& page) {
    json.BeginObject();
    json.Field("url", page.url);
    json.Field("depth", page.depth);
    json.Field("httpStatus", page.httpStatus);
    json.Field("reason", page.reason);
    json.Field("linkedFrom", page.linkedFrom);
    json.EndObject();
}

void WriteCrawler(JsonWriter& json, const CrawlerAccess& crawler) {
    json.BeginObject();
    json.Field("token", crawler.token);
    json.Field("operator", crawler.operatorName);
    json.Field("purpose", CrawlerPurposeName(crawler.purpose));
    json.Field("access", CrawlerAccessLevelName(crawler.access));
    json.Field("decidingRule", crawler.decidingRule);
    json.EndObject();
}

void WriteUsage(JsonWriter& json, const UsageFindings& usage) {
    json.Key("usagePreferences");
    json.BeginObject();
    json.Field("pagesRead", usage.pagesRead);
    json.Field("unreadableContentUsage", usage.unreadableContentUsage);
    json.Field("tdmPolicy", usage.tdmPolicy);
    json.Key("purposes");
    json.BeginArray();
    for (std::size_t index = 0; index < usage.purposes.size(); ++index) {
        const UsagePurposeFindings& purpose = usage.purposes[index];
        json.BeginObject();
        json.Field("purpose", CrawlerPurposeName(static_cast<CrawlerPurpose>(index)));
        json.Field("answer", UsageAnswerName(purpose.answer));
        json.Field("conflict", purpose.conflict);
        json.Field("text", UsagePurposeText(purpose, usage.pagesRead));
        json.Field("conflictText", UsageConflictText(purpose));
        json.Key("declarations");
        json.BeginArray();
        for (const UsageDeclaration& declaration : purpose.declarations) {
            json.BeginObject();
            json.Field("source", UsageSourceName(declaration.source));
            json.Field("answer", UsageAnswerName(declaration.answer));
            json.Field("statement", declaration.statement);
            json.Field("group", declaration.group);
            json.Field("path", declaration.path);
            json.Field("pages", declaration.pages);
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
}

void WritePackage(JsonWriter& json, const PackageOutcome* package) {
    json.Key("package");
    if (package == nullptr) {
        json.Null();
        return;
    }
    json.BeginObject();
    json.Field("folder", package->folderPath);
    json.Field("archive", package->zipPath);
    json.Field("files", package->filePaths);
    json.Field("markdownTwins", package->markdownTwins);
    json.EndObject();
}

void WriteSitemapFile(JsonWriter& json, const SitemapFileSummary& file) {
    json.BeginObject();
    json.Field("url", file.url);
    json.Field("httpStatus", file.httpStatus);
    json.Field("kind", file.kind);
    json.Field("entries", file.entries);
    json.Field("gzipped", file.gzipped);
    json.Field("limitReached", file.limitReached);
    json.Field("problem", file.problem);
    json.EndObject();
}

void WriteSitemapIssue(JsonWriter& json, const SitemapIssue& issue) {
    json.BeginObject();
    json.Field("url", issue.url);
    json.Field("httpStatus", issue.httpStatus);
    json.Field("problem", issue.problem);
    json.Field("target", issue.target);
    json.EndObject();
}

void WritePoliteness(JsonWriter& json, const PolitenessSummary& politeness) {
    json.Key("politeness");
    json.BeginObject();
    json.Field("crawlDelayMs", politeness.crawlDelayMs);
    json.Field("crawlDelayCapped", politeness.crawlDelayCapped);
    json.Field("slowDowns", politeness.slowDowns);
    json.Field("retries", politeness.retries);
    json.Field("waitedMs", politeness.waitedMs);
    json.Field("singleConnection", politeness.singleConnection);
    json.EndObject();
}

// What AI crawlers actually get: the server's answers and the render check.
const char16_t* AgentVerdictKey(AgentVerdict verdict) {
    switch (verdict) {
        case AgentVerdict::SameAsBrowser: return u"sameAsBrowser";
        case AgentVerdict::Refused: return u"refused";
        case AgentVerdict::Challenge: return u"challenge";
        case AgentVerdict::RateLimited: return u"rateLimited";
        case AgentVerdict::DifferentContent: return u"differentContent";
        case AgentVerdict::SentElsewhere: return u"sentElsewhere";
        case AgentVerdict::NoAnswer: return u"noAnswer";
    }
    return u"noAnswer";
}

const char16_t* RenderVerdictKey(RenderVerdict verdict) {
    switch (verdict) {
        case RenderVerdict::SameWithoutScripts: return u"sameWithoutScripts";
        case RenderVerdict::NeedsJavaScript: return u"needsJavaScript";
        case RenderVerdict::ScriptsAddSome: return u"scriptsAddSome";
        case RenderVerdict::NotRendered: return u"notRendered";
    }
    return u"notRendered";
}

const char16_t* RenderStateKey(RenderState state) {
    switch (state) {
        case RenderState::Off: return u"off";
        case RenderState::NoBrowser: return u"noBrowser";
        case RenderState::Done: return u"done";
        case RenderState::Cancelled: return u"cancelled";
    }
    return u"off";
}

void WriteAgentCheck(JsonWriter& json, const ScanResult& result) {
    json.Key("agentCheck");
    if (result.agentAnswers.empty()) {
        json.Null();
        return;
    }
    json.BeginObject();
    json.Field("requests", result.agentCheckRequests);
    json.Key("answers");
    json.BeginArray();
    for (const AgentAnswer& answer : result.agentAnswers) {
        CrawlerAccess access;
        for (const CrawlerAccess& row : result.crawlerAccess) {
            if (row.token == answer.token) {
                access = row;
            }
        }
        json.BeginObject();
        json.Field("token", answer.token);
        json.Field("probedAs", answer.probedAs);
        json.Field("userAgent", answer.userAgent);
        json.Field("verdict", AgentVerdictKey(answer.verdict));
        json.Field("status", answer.status);
        json.Field("detail", answer.detail);
        json.Field("text", AgentVerdictText(answer));
        json.Field("page", answer.page);
        json.Field("disagreement", AgentDisagreement(answer, access));
        json.Field("note", AgentStandInNote(answer));
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
}

void WriteRender(JsonWriter& json, const RenderCheck& check) {
    json.Key("render");
    if (check.state == RenderState::Off) {
        json.Null();
        return;
    }
    json.BeginObject();
    json.Field("state", RenderStateKey(check.state));
    json.Field("summary", RenderSummaryText(check));
    json.Field("browser", check.browser);
    json.Key("pages");
    json.BeginArray();
    for (const PageRender& page : check.pages) {
        json.BeginObject();
        json.Field("url", page.url);
        json.Field("verdict", RenderVerdictKey(page.verdict));
        json.Field("text", RenderVerdictText(page));
        json.Field("rawWords", page.rawWords);
        json.Field("renderedWords", page.renderedWords);
        json.Field("scriptOnlyWords", page.scriptOnlyWords);
        json.Field("scriptOnlyLinks", page.scriptOnlyLinks);
        json.Field("changed", page.changed);
        json.Field("note", page.note);
        json.EndObject();
    }
    json.EndArray();
    json.Field("scriptOnlyPages", check.scriptOnlyPages);
    json.Field("crawlersWithoutScripts", CrawlersWithoutScripts());
    json.EndObject();
}

// A site that never answered has no score: null, not a 0 that reads like a verdict.
void WriteScore(JsonWriter& json, const ScanResult& result) {
    if (result.reachable) {
        json.Field("score", result.score);
        json.Field("scoreBand", ScoreBandWord(result.score));
        return;
    }
    json.Key("score");
    json.Null();
    json.Key("scoreBand");
    json.Null();
}

void WriteReachability(JsonWriter& json, const ScanResult& result) {
    json.Field("reachable", result.reachable);
    json.Key("unreachableReason");
    if (result.reachable) {
        json.Null();
    } else {
        json.String(result.unreachableReason);
    }
    json.Field("robotsBlockAll", result.robotsBlockAll);
}

template <typename Item, typename Write>
void WriteList(JsonWriter& json, const char* key, const std::vector<Item>& items, Write write) {
    json.Key(key);
    json.BeginArray();
    for (const Item& item : items) {
        write(json, item);
    }
    json.EndArray();
}

void WriteSitemaps(JsonWriter& json, const SitemapAudit& audit) {
    json.Key("sitemaps");
    json.BeginObject();
    json.Field("read", audit.read);
    WriteList(json, "files", audit.files, WriteSitemapFile);
    json.Field("listed", audit.listed);
    json.Field("otherSite", audit.otherSite);
    json.Field("overCap", audit.overCap);
    json.Field("seeded", audit.seeded);
    json.Field("orphans", audit.orphans);
    json.Field("notListed", audit.notListed);
    json.Field("notListedJudged", audit.notListedJudged);
    WriteList(json, "issues", audit.issues, WriteSitemapIssue);
    json.Field("issueCount", audit.issueCount);
    json.EndObject();
}

}  // namespace

std::string ScanResultJson(const ScanResult& result, const PackageOutcome* package) {
    JsonWriter json;
    json.BeginObject();
    json.Field("schemaVersion", kJsonSchemaVersion);
    json.Key("tool");
    json.BeginObject();
    json.Field("name", kProductName);
    json.Field("version", VersionNumberText());
    json.EndObject();
    json.Field("fetchTime", result.scanTime);
    json.Field("requestedUrl", result.requestedUrl);
    json.Field("finalUrl", result.finalUrl);
    json.Field("cancelled", result.cancelled);
    json.Field("host", result.host);
    json.Field("baseUrl", result.baseUrl);
    json.Field("language", result.language);
    json.Field("siteDescription", result.siteDescription);
    json.Field("organizationName", result.organizationName);
    json.Field("personName", result.personName);
    WriteList(json, "pages", result.pages, WritePage);
    WriteList(json, "checks", result.checks, WriteCheck);
    json.Field("topics", result.topics);
    json.Field("elapsedSeconds", result.elapsedSeconds);
    WriteScore(json, result);
    json.Field("pageLimitReached", result.pageLimitReached);
    json.Field("robotsTxt", result.robotsTxt);
    json.Field("robotsStatus", result.robotsStatus);
    json.Field("robotsFound", result.robotsFound);
    json.Key("pagesByClass");
    json.BeginObject();
    for (const ClassCountRow& row : PageClassCountRows(result.pages)) {
        json.Field(WideToUtf8(row.label).c_str(), row.count);
    }
    json.EndObject();
    WriteList(json, "skippedPages", result.skippedPages, WriteSkipped);
    WriteList(json, "crawlerAccess", result.crawlerAccess, WriteCrawler);
    WriteSitemaps(json, result.sitemaps);
    WritePoliteness(json, result.politeness);
    WriteUsage(json, result.usage);
    WritePackage(json, package);
    WriteAgentCheck(json, result);
    WriteRender(json, result.render);
    WriteReachability(json, result);
    json.EndObject();
    return json.Take() + "\n";
}

}  // namespace bcnk::cli
