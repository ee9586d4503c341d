#include "package/ai_discovery.h"

#include "package/llms_full.h"
#include "package/llms_txt.h"
#include "package/template_text.h"
#include "net/url.h"
#include "scan/usage_preferences.h"

namespace bcnk {
namespace {

Text CountText(const ScanResult& scan, PageClass pageClass) {
    return NumberText(static_cast<long long>(CountPagesOfClass(scan, pageClass)));
}

Text JoinedJsonStrings(const std::vector<Text>& values) {
    Text joined;
    for (const Text& value : values) {
        if (!joined.empty()) {
            joined += u", ";
        }
        joined += JsonString(value);
    }
    return joined;
}

Text PermissionWord(bool allowed) {
    return allowed ? u"allowed" : u"not allowed";
}

void AppendProductSection(const ScanResult& scan, Text& out) {
    bool headingWritten = false;
    for (const PageRecord& page : scan.pages) {
        if (page.pageClass != PageClass::Product) {
            continue;
        }
        if (!headingWritten) {
            out += u"## Products\n\n";
            headingWritten = true;
        }
        out += u"### " + MarkdownText(ProductHeading(page)) + u"\n";
        const Text description = MarkdownText(page.description);
        if (!description.empty()) {
            out += description + u"\n";
        }
        out += u"<" + UriEscape(page.url) + u">\n\n";
    }
}

void AppendTopicSection(const ScanResult& scan, Text& out) {
    if (scan.topics.empty()) {
        return;
    }
    out += u"## Topics\n\n";
    for (const Text& topic : scan.topics) {
        out += u"- " + MarkdownText(topic) + u"\n";
    }
    out += u"\n";
}

}  // namespace

Text MakeAiDiscoveryJson(const ScanResult& scan, const PackageForm& form) {
    return MakeAiDiscoveryJson(scan, form, TodayDate());
}

Text MakeAiDiscoveryMd(const ScanResult& scan, const PackageForm& form) {
    return MakeAiDiscoveryMd(scan, form, TodayDate());
}

Text MakeAiDiscoveryJson(const ScanResult& scan, const PackageForm& form, const Text& date) {
    const Text baseUrl = JsonEscape(UriEscape(scan.baseUrl));
    Text out;
    out += u"{\n";
    out += u"  \"version\": \"1.0\",\n";
    out += u"  \"organization\": {\n";
    out += u"    \"name\": " + JsonString(form.name) + u",\n";
    out += u"    \"description\": " + JsonString(form.description) + u",\n";
    out += u"    \"url\": \"" + baseUrl + u"\",\n";
    out += u"    \"industry\": " + JsonString(form.industry) + u",\n";
    // Every member before "contact" keeps its comma, so leaving "founded" out is safe.
    if (!form.founded.empty()) {
        out += u"    \"founded\": " + JsonString(form.founded) + u",\n";
    }
    out += u"    \"contact\": " + JsonString(form.email) + u"\n";
    out += u"  },\n";
    out += u"  \"content\": {\n";
    out += u"    \"primary_language\": " + JsonString(scan.language) + u",\n";
    out += u"    \"update_frequency\": \"monthly\",\n";
    out += u"    \"topics\": [" + JoinedJsonStrings(scan.topics) + u"],\n";
    out += u"    \"content_types\": {\n";
    out += u"      \"product\": " + CountText(scan, PageClass::Product) + u",\n";
    out += u"      \"article\": " + CountText(scan, PageClass::Article) + u",\n";
    out += u"      \"guide\": " + CountText(scan, PageClass::Guide) + u",\n";
    out += u"      \"legal\": " + CountText(scan, PageClass::Legal) + u"\n";
    out += u"    }\n";
    out += u"  },\n";
    out += u"  \"ai_interaction\": {\n";
    out += u"    \"allow_training\": " + JsonBool(form.allowTraining) + u",\n";
    out += u"    \"allow_citation\": " + JsonBool(form.allowCitation) + u",\n";
    out += u"    \"allow_summarisation\": " + JsonBool(form.allowSummarisation) + u",\n";
    // The same choices in the IETF usage-preference vocabulary, as the Content-Usage header
    // and robots.txt line write them.
    const CrawlerPermissions permissions{form.allowTraining, form.allowCitation,
                                         form.allowSummarisation};
    out += u"    \"content_usage\": " + JsonString(Utf8ToWide(ContentUsageValue(permissions))) +
           u"\n";
    out += u"  },\n";
    out += u"  \"endpoints\": {\n";
    out += u"    \"sitemap\": \"" + baseUrl + u"/sitemap.xml\",\n";
    out += u"    \"ai_sitemap\": \"" + baseUrl + u"/ai-sitemap.xml\",\n";
    out += u"    \"knowledge_graph\": \"" + baseUrl + u"/knowledge-graph.json\",\n";
    out += u"    \"llms\": \"" + baseUrl + u"/llms-lite.txt\"";
    if (!SiteHasLlmsTxt(scan)) {
        out += u",\n    \"llms_txt\": \"" + baseUrl + u"/llms.txt\"";
    }
    if (WantsLlmsFull(scan, form)) {
        out += u",\n    \"llms_full_txt\": \"" + baseUrl + u"/llms-full.txt\"";
    }
    out += u"\n";
    out += u"  },\n";
    out += u"  \"generated\": " + JsonString(date) + u",\n";
    out += u"  \"generator\": \"Talvenn's Beaconsmith\"\n";
    out += u"}\n";
    return out;
}

Text MakeAiDiscoveryMd(const ScanResult& scan, const PackageForm& form, const Text& date) {
    // Values are escaped so that each reads as typed and none adds a heading, a link or a tag.
    const Text baseUrl = UriEscape(scan.baseUrl);
    Text out;
    out += u"# " + MarkdownText(form.name) + u" - AI Discovery\n";
    out += u"\n";
    out += u"_Last updated: " + date + u"_\n";
    out += u"\n";
    out += u"## About\n";
    out += u"\n";
    out += MarkdownText(AboutText(scan, form)) + u"\n";
    out += u"\n";
    out += u"- **Website:** " + baseUrl + u"\n";
    out += u"- **Industry:** " + MarkdownText(form.industry) + u"\n";
    if (!form.founded.empty()) {
        out += u"- **Founded:** " + MarkdownText(form.founded) + u"\n";
    }
    out += u"- **Contact:** " + MarkdownText(form.email) + u"\n";
    out += u"\n";
    AppendProductSection(scan, out);
    AppendTopicSection(scan, out);
    out += u"## AI Permissions\n";
    out += u"\n";
    out += u"- Training: " + PermissionWord(form.allowTraining) + u"\n";
    out += u"- Citation: " + PermissionWord(form.allowCitation) + u"\n";
    out += u"- Summarisation: " + PermissionWord(form.allowSummarisation) + u"\n";
    out += u"\n";
    out += u"## Endpoints\n";
    out += u"\n";
    out += u"- " + baseUrl + u"/sitemap.xml\n";
    out += u"- " + baseUrl + u"/ai-sitemap.xml\n";
    out += u"- " + baseUrl + u"/ai-discovery.json\n";
    return out;
}

}  // namespace bcnk
