#include "package/knowledge_graph.h"

#include <unordered_set>
#include <vector>

#include "analysis/classify.h"
#include "package/template_text.h"
#include "net/url.h"

namespace bcnk {
namespace {

// One JSON member per line; a node is its members joined by commas, so a member left out
// for want of a value never leaves a stray comma behind.
using Members = std::vector<Text>;

Text Member(const char16_t* key, const Text& jsonValue) {
    return u"      \"" + Text(key) + u"\": " + jsonValue;
}

void AddIfPresent(Members& members, const char16_t* key, const Text& value) {
    if (!value.empty()) {
        members.push_back(Member(key, JsonString(value)));
    }
}

Text Node(const Members& members) {
    Text node = u"    {\n";
    for (std::size_t i = 0; i < members.size(); ++i) {
        node += members[i] + (i + 1 < members.size() ? u",\n" : u"\n");
    }
    return node + u"    }";
}

// Without a site address the organisation still needs a name the products can refer to.
Text OrganizationId(const ScanResult& scan) {
    return scan.baseUrl.empty() ? Text(u"_:org") : UriEscape(scan.baseUrl) + u"/#org";
}

Text OrganizationNode(const ScanResult& scan, const PackageForm& form) {
    Members members = {Member(u"@type", u"\"Organization\""),
                       Member(u"@id", JsonString(OrganizationId(scan)))};
    AddIfPresent(members, u"name", form.name);
    AddIfPresent(members, u"url", UriEscape(scan.baseUrl));
    AddIfPresent(members, u"description", form.description);
    AddIfPresent(members, u"email", form.email);
    AddIfPresent(members, u"foundingDate", form.founded);
    return Node(members);
}

// The page's address without query and fragment, with an index document or trailing slash
// taken off: what another page's address begins with when it sits in this page's folder.
Text FolderKey(const Text& escapedAddress) {
    Text key = escapedAddress.substr(0, escapedAddress.find_first_of(u"?#"));
    for (const Text index : {u"/index.html", u"/index.htm", u"/index.php"}) {
        if (key.size() >= index.size() && ToLower(key.substr(key.size() - index.size())) == index) {
            key.resize(key.size() - index.size());
            break;
        }
    }
    while (!key.empty() && key.back() == u'/') {
        key.pop_back();
    }
    return key;
}

bool NamesProductInStructuredData(const PageRecord& page) {
    return HasSchemaType(page, u"Product") || HasSchemaType(page, u"SoftwareApplication") ||
           HasSchemaType(page, u"Service");
}

// A node is a claim that the page offers a product. When the site marks its products up
// itself, only those pages are taken; the page classes guess from words such as "pricing"
// and serve only a site without such markup. A listing page is never a product itself.
std::vector<const PageRecord*> ProductPages(const ScanResult& scan) {
    bool marked = false;
    for (const PageRecord& page : scan.pages) {
        marked = marked || NamesProductInStructuredData(page);
    }
    std::vector<const PageRecord*> candidates;
    for (const PageRecord& page : scan.pages) {
        if (marked ? NamesProductInStructuredData(page) : page.pageClass == PageClass::Product) {
            candidates.push_back(&page);
        }
    }
    std::vector<const PageRecord*> products;
    std::unordered_set<Text> ids;
    for (const PageRecord* page : candidates) {
        const Text folder = FolderKey(UriEscape(page->url)) + u"/";
        bool listing = false;
        for (const PageRecord* other : candidates) {
            const Text otherKey = FolderKey(UriEscape(other->url));
            listing = listing || (otherKey.size() > folder.size() &&
                                  otherKey.compare(0, folder.size(), folder) == 0);
        }
        if (!listing && ids.insert(FolderKey(UriEscape(page->url))).second) {
            products.push_back(page);
        }
    }
    return products;
}

Text ProductNode(const PageRecord& page, const Text& organizationId) {
    const Text address = UriEscape(page.url);
    Members members = {
        Member(u"@type", u"\"Product\""),
        Member(u"@id", JsonString(address.substr(0, address.find(u'#')) + u"#product"))};
    AddIfPresent(members, u"name", ProductHeading(page));
    AddIfPresent(members, u"url", address);
    AddIfPresent(members, u"description", page.description);
    members.push_back(Member(u"brand", u"{\"@id\": " + JsonString(organizationId) + u"}"));
    return Node(members);
}

Text PersonNode(const ScanResult& scan) {
    Members members = {Member(u"@type", u"\"Person\"")};
    AddIfPresent(members, u"name", scan.personName);
    AddIfPresent(members, u"url", UriEscape(scan.baseUrl));
    return Node(members);
}

}  // namespace

Text MakeKnowledgeGraph(const ScanResult& scan, const PackageForm& form) {
    std::vector<Text> nodes;
    nodes.push_back(OrganizationNode(scan, form));
    const Text organizationId = OrganizationId(scan);
    for (const PageRecord* page : ProductPages(scan)) {
        nodes.push_back(ProductNode(*page, organizationId));
    }
    if (!scan.personName.empty()) {
        nodes.push_back(PersonNode(scan));
    }

    // Only "@context" and "@graph" at the top: any other member turns the graph into a
    // named graph, which readers of the default graph never see.
    Text out;
    out += u"{\n";
    out += u"  \"@context\": \"https://schema.org\",\n";
    out += u"  \"@graph\": [\n";
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        out += nodes[i];
        out += i + 1 < nodes.size() ? u",\n" : u"\n";
    }
    out += u"  ]\n";
    out += u"}\n";
    return out;
}

Text MakeTdmRep(const ScanResult& /*scan*/, const PackageForm& form) {
    Text out;
    out += u"[\n";
    out += u"  {\n";
    // Readers match "location" against the path of each resource, so "/" covers the whole
    // site; an absolute address would match nothing and silently void the reservation.
    out += u"    \"location\": \"/\",\n";
    out += u"    \"tdm-reservation\": " + Text(form.allowTraining ? u"0" : u"1");
    // A policy names the terms on which mining is licensed; only the owner knows where such
    // a page is, and a guessed one (the home page, a privacy notice) would misstate them.
    if (!form.tdmPolicy.empty()) {
        out += u",\n    \"tdm-policy\": " + JsonString(UriEscape(form.tdmPolicy));
    }
    out += u"\n";
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
