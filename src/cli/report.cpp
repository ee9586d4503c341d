#include "cli/report.h"

#include <algorithm>

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
    json.Key("url");
    json.String(page.url);
    json.Key("title");
    json.String(page.title);
    json.Key("description");
    json.String(page.description);
    json.Key("h1");
    json.String(page.h1);
    json.Key("lastModified");
    json.String(page.lastModified);
    json.Key("headings");
    json.Strings(page.headings);
    json.Key("schemaTypes");
    json.Strings(page.schemaTypes);
    json.Key("productName");
    json.String(page.productName);
    json.Key("wordCount");
    json.Number(page.wordCount);
    json.Key("httpStatus");
    json.Number(page.httpStatus);
    json.Key("depth");
    json.Number(page.depth);
    json.Key("pageClass");
    json.String(PageClassName(page.pageClass));
    json.EndObject();
}

void WriteCheck(JsonWriter& json, const DiscoveryCheck& check) {
    json.BeginObject();
    json.Key("label");
    json.String(check.label);
    json.Key("path");
    json.String(check.path);
    json.Key("state");
    json.String(CheckStateName(check.state));
    json.Key("details");
    json.String(check.details);
    json.Key("scored");
    json.Bool(check.scored);
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
    json.Key("host");
    json.String(result.host);
    json.Key("baseUrl");
    json.String(result.baseUrl);
    json.Key("language");
    json.String(result.language);
    json.Key("siteDescription");
    json.String(result.siteDescription);
    json.Key("organizationName");
    json.String(result.organizationName);
    json.Key("personName");
    json.String(result.personName);
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
    json.Key("topics");
    json.Strings(result.topics);
    json.Key("elapsedSeconds");
    json.Number(result.elapsedSeconds);
    json.Key("score");
    json.Number(result.score);
    json.Key("pageLimitReached");
    json.Bool(result.pageLimitReached);
    json.Key("robotsTxt");
    json.String(result.robotsTxt);
    json.Key("robotsStatus");
    json.Number(result.robotsStatus);
    json.Key("robotsFound");
    json.Bool(result.robotsFound);
    json.EndObject();
    return json.Take() + "\n";
}

}  // namespace bcnk::cli
