#include "package/knowledge_graph.h"

#include <vector>

#include "package/template_text.h"

namespace bcnk {
namespace {

// Each node ends with its closing brace and no line end: whether a comma follows depends on
// whether another node comes after it.
Text OrganizationNode(const ScanResult& scan, const PackageForm& form) {
    Text node;
    node += u"    {\n";
    node += u"      \"@type\": \"Organization\",\n";
    node += u"      \"@id\": \"" + JsonEscape(scan.baseUrl) + u"/#org\",\n";
    node += u"      \"name\": " + JsonString(form.name) + u",\n";
    node += u"      \"url\": " + JsonString(scan.baseUrl) + u",\n";
    node += u"      \"description\": " + JsonString(form.description) + u"\n";
    node += u"    }";
    return node;
}

Text ProductNode(const PageRecord& page) {
    Text node;
    node += u"    {\n";
    node += u"      \"@type\": \"Product\",\n";
    node += u"      \"name\": " + JsonString(ProductHeading(page)) + u",\n";
    node += u"      \"url\": " + JsonString(page.url) + u",\n";
    node += u"      \"description\": " + JsonString(page.description) + u"\n";
    node += u"    }";
    return node;
}

Text PersonNode(const ScanResult& scan) {
    Text node;
    node += u"    {\n";
    node += u"      \"@type\": \"Person\",\n";
    node += u"      \"name\": " + JsonString(scan.personName) + u",\n";
    node += u"      \"url\": " + JsonString(scan.baseUrl) + u"\n";
    node += u"    }";
    return node;
}

}  // namespace

Text MakeKnowledgeGraph(const ScanResult& scan, const PackageForm& form) {
    std::vector<Text> nodes;
    nodes.push_back(OrganizationNode(scan, form));
    for (const PageRecord& page : scan.pages) {
        if (page.pageClass == PageClass::Product) {
            nodes.push_back(ProductNode(page));
        }
    }
    if (!scan.personName.empty()) {
        nodes.push_back(PersonNode(scan));
    }

    Text out;
    out += u"{\n";
    out += u"  \"@context\": \"https://schema.org\",\n";
    out += u"  \"@graph\": [\n";
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        out += nodes[i];
        out += i + 1 < nodes.size() ? u",\n" : u"\n";
    }
    out += u"  ],\n";
    // The nodes are only a starting point; how they relate is the owner's to say.
    out += u"  \"relationships\": [],\n";
    out += u"  \"_note\": \"[FILL RELATIONSHIPS] - add entity relationships manually.\"\n";
    out += u"}\n";
    return out;
}

Text MakeTdmRep(const ScanResult& scan, const PackageForm& form) {
    Text out;
    out += u"[\n";
    out += u"  {\n";
    // Readers match "location" against the path of each resource, so "/" covers the whole
    // site; an absolute address would match nothing and silently void the reservation.
    out += u"    \"location\": \"/\",\n";
    out += u"    \"tdm-reservation\": " + Text(form.allowTraining ? u"0" : u"1") + u",\n";
    out += u"    \"tdm-policy\": " + JsonString(FindPrivacyPage(scan)) + u"\n";
    out += u"  }\n";
    out += u"]\n";
    return out;
}

Text FindPrivacyPage(const ScanResult& scan) {
    const Text candidates[] = {ToLower(scan.baseUrl + u"/privacy"),
                               ToLower(scan.baseUrl + u"/privacy.html"),
                               ToLower(scan.baseUrl + u"/privacy/")};
    for (const PageRecord& page : scan.pages) {
        for (const Text& candidate : candidates) {
            // Folding never changes the length, so most addresses are ruled out unfolded.
            if (page.url.size() == candidate.size() && ToLower(page.url) == candidate) {
                return page.url;
            }
        }
    }
    return scan.baseUrl + u"/";
}

}  // namespace bcnk
