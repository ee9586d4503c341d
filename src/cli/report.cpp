#include "cli/report.h"

#include <algorithm>

#include "cli/crawler_summary.h"
#include "scan/result_figures.h"

namespace bcnk::cli {

namespace {

Text PadRight(const Text& text, size_t width) {
    return text.size() >= width ? text + u" " : text + Text(width - text.size(), u' ');
}

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
    json.Field("httpStatus", page.httpStatus);
    json.Field("depth", page.depth);
    json.Field("pageClass", PageClassName(page.pageClass));
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

}  // namespace

Text FormatSummary(const ScanResult& result, bool cancelled) {
    Text text = ScanSummaryText(result) + u"\n";
    text += u"Score: " + NumberText(result.score) + u"% (" + ScoreBandWord(result.score) + u")\n";
    if (cancelled) {
        text += u"Scan cancelled: the result covers the pages found so far.\n";
    }

    text += u"\nAI discovery files\n";
    if (result.checks.empty()) {
        text += u"  (not checked)\n";
    }
    size_t labelWidth = 0;
    for (const DiscoveryCheck& check : result.checks) {
        labelWidth = std::max(labelWidth, check.label.size());
    }
    for (const DiscoveryCheck& check : result.checks) {
        text += u"  " + PadRight(CheckStateSymbol(check.state), 6) +
                PadRight(check.label, labelWidth + 2) + check.details + u"\n";
    }

    text += CrawlerAccessSummary(result);

    text += u"\nPages by class\n";
    for (const ClassCountRow& row : PageClassCountRows(result.pages)) {
        text += u"  " + PadRight(row.label, 15) + NumberText(row.count) + u"\n";
    }

    text += u"\nTopics\n  ";
    if (result.topics.empty()) {
        text += u"(none found)";
    }
    for (size_t index = 0; index < result.topics.size(); ++index) {
        text += (index ? u", " : u"") + result.topics[index];
    }
    return text + u"\n";
}

std::string ScanResultJson(const ScanResult& result) {
    JsonWriter json;
    json.BeginObject();
    json.Field("host", result.host);
    json.Field("baseUrl", result.baseUrl);
    json.Field("language", result.language);
    json.Field("siteDescription", result.siteDescription);
    json.Field("organizationName", result.organizationName);
    json.Field("personName", result.personName);
    json.Key("pages");
    json.BeginArray();
    for (const PageRecord& page : result.pages) {
        WritePage(json, page);
    }
    json.EndArray();
    json.Key("checks");
    json.BeginArray();
    for (const DiscoveryCheck& check : result.checks) {
        WriteCheck(json, check);
    }
    json.EndArray();
    json.Field("topics", result.topics);
    json.Field("elapsedSeconds", result.elapsedSeconds);
    json.Field("score", result.score);
    json.Field("pageLimitReached", result.pageLimitReached);
    json.Field("robotsTxt", result.robotsTxt);
    json.Field("robotsStatus", result.robotsStatus);
    json.Field("robotsFound", result.robotsFound);
    json.EndObject();
    return json.Take() + "\n";
}

}  // namespace bcnk::cli
