#include <gtest/gtest.h>

#include <vector>

#include "package/knowledge_graph.h"

// Records are built with designated initialisers; the fields left out keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace bcnk {
namespace {

PackageForm NamedForm() {
    PackageForm form;
    form.name = u"Line\nBreak \"Co\"";
    form.description = u"Tools";
    return form;
}

TEST(KnowledgeGraph, OrganizationOnly) {
    ScanResult scan;
    scan.baseUrl = u"https://example.com";
    scan.organizationName = u"not used";
    scan.siteDescription = u"not used";
    scan.pages = {{.url = u"https://example.com/", .pageClass = PageClass::Index}};
    PackageForm form = NamedForm();
    form.email = u"hello@example.com";
    form.founded = u"2017";
    const Text expected =
        uR"({
  "@context": "https://schema.org",
  "@graph": [
    {
      "@type": "Organization",
      "@id": "https://example.com/#org",
      "name": "Line\nBreak \"Co\"",
      "url": "https://example.com",
      "description": "Tools",
      "email": "hello@example.com",
      "foundingDate": "2017"
    }
  ]
}
)";
    EXPECT_EQ(MakeKnowledgeGraph(scan, form), expected);
}

TEST(KnowledgeGraph, EmptyValuesAreLeftOut) {
    ScanResult scan;
    scan.pages = {{.url = u"https://h\u00E4st.example/a b", .pageClass = PageClass::Product}};
    PackageForm form;
    form.name = u"N";
    const Text expected =
        uR"({
  "@context": "https://schema.org",
  "@graph": [
    {
      "@type": "Organization",
      "@id": "_:org",
      "name": "N"
    },
    {
      "@type": "Product",
      "@id": "https://h%C3%A4st.example/a%20b#product",
      "url": "https://h%C3%A4st.example/a%20b",
      "brand": {"@id": "_:org"}
    }
  ]
}
)";
    EXPECT_EQ(MakeKnowledgeGraph(scan, form), expected);
}

// The "@id" of every Product node, in order.
std::vector<Text> ProductIds(const Text& graph) {
    std::vector<Text> ids;
    const Text key = u"\"@id\": \"";
    for (size_t at = graph.find(key); at != Text::npos; at = graph.find(key, at + 1)) {
        const size_t start = at + key.size();
        const Text id = graph.substr(start, graph.find(u'"', start) - start);
        if (id.ends_with(u"#product")) {
            ids.push_back(id);
        }
    }
    return ids;
}

TEST(KnowledgeGraph, MarkedUpProductsDecideAndListingsAreNoProducts) {
    const Text base = u"https://example.com";
    ScanResult scan;
    scan.baseUrl = base;
    scan.pages = {
        {.url = base + u"/products/", .h1 = u"Our products", .pageClass = PageClass::Product},
        {.url = base + u"/pricing", .h1 = u"Pricing", .pageClass = PageClass::Product},
        {.url = base + u"/products/lamp",
         .h1 = u"Lamp page",
         .schemaTypes = {u"Product"},
         .productName = u"Harbour Lamp",
         .pageClass = PageClass::Product},
        {.url = base + u"/app#top",
         .schemaTypes = {u"softwareapplication"},
         .productName = u"Chart App",
         .pageClass = PageClass::Product},
        {.url = base + u"/care", .schemaTypes = {u"Service"}, .pageClass = PageClass::Guide},
        {.url = base + u"/shop/index.html", .schemaTypes = {u"Product"}},
        {.url = base + u"/shop/caf%c3%a9", .schemaTypes = {u"Product"}},
        {.url = base + u"/shop/caf\u00E9", .schemaTypes = {u"Product"}},
    };
    const std::vector<Text> marked = {base + u"/products/lamp#product", base + u"/app#product",
                                      base + u"/care#product", base + u"/shop/caf%C3%A9#product"};
    const Text graph = MakeKnowledgeGraph(scan, NamedForm());
    EXPECT_EQ(ProductIds(graph), marked);
    EXPECT_NE(graph.find(u"\"name\": \"Harbour Lamp\""), Text::npos);

    // Without any markup the page classes decide, still without the listing page.
    for (PageRecord& page : scan.pages) {
        page.schemaTypes.clear();
    }
    const std::vector<Text> classed = {base + u"/pricing#product", base + u"/products/lamp#product",
                                       base + u"/app#product"};
    EXPECT_EQ(ProductIds(MakeKnowledgeGraph(scan, NamedForm())), classed);
}

TEST(KnowledgeGraph, ProductsThenPerson) {
    ScanResult scan;
    scan.baseUrl = u"https://example.com";
    scan.personName = u"Ada";
    scan.pages = {
        {.url = u"https://example.com/p/1",
         .title = u"T1",
         .description = u"First",
         .h1 = u"H1",
         .productName = u"P1",
         .pageClass = PageClass::Product},
        {.url = u"https://example.com/blog", .pageClass = PageClass::Article},
        {.url = u"https://example.com/p/2",
         .title = u"T2",
         .h1 = u"H2",
         .pageClass = PageClass::Product},
        {.url = u"https://example.com/p/3", .pageClass = PageClass::Product},
    };
    const Text expected =
        uR"({
  "@context": "https://schema.org",
  "@graph": [
    {
      "@type": "Organization",
      "@id": "https://example.com/#org",
      "name": "Line\nBreak \"Co\"",
      "url": "https://example.com",
      "description": "Tools"
    },
    {
      "@type": "Product",
      "@id": "https://example.com/p/1#product",
      "name": "P1",
      "url": "https://example.com/p/1",
      "description": "First",
      "brand": {"@id": "https://example.com/#org"}
    },
    {
      "@type": "Product",
      "@id": "https://example.com/p/2#product",
      "name": "H2",
      "url": "https://example.com/p/2",
      "brand": {"@id": "https://example.com/#org"}
    },
    {
      "@type": "Product",
      "@id": "https://example.com/p/3#product",
      "url": "https://example.com/p/3",
      "brand": {"@id": "https://example.com/#org"}
    },
    {
      "@type": "Person",
      "name": "Ada",
      "url": "https://example.com"
    }
  ]
}
)";
    EXPECT_EQ(MakeKnowledgeGraph(scan, NamedForm()), expected);
}

// A privacy page on the site is no mining policy; the policy is named only when the owner
// gives its address.
TEST(TdmRep, ReservationFollowsTrainingAndPolicyOnlyWhenGiven) {
    ScanResult scan;
    scan.baseUrl = u"https://example.com";
    scan.pages = {{.url = u"https://example.com/Privacy.html"}};
    PackageForm form;
    const Text reserved =
        uR"([
  {
    "location": "/",
    "tdm-reservation": 1
  }
]
)";
    EXPECT_EQ(MakeTdmRep(scan, form), reserved);
    form.allowTraining = true;
    form.tdmPolicy = u"https://example.com/tdm policy.json";
    const Text open =
        uR"([
  {
    "location": "/",
    "tdm-reservation": 0,
    "tdm-policy": "https://example.com/tdm%20policy.json"
  }
]
)";
    EXPECT_EQ(MakeTdmRep(scan, form), open);
}

TEST(FindPrivacyPage, FirstCrawledPageUnderAUsualName) {
    struct Row {
        std::vector<Text> urls;
        Text expected;
    };
    const std::vector<Row> rows = {
        {{}, u"https://Example.com/"},
        {{u"https://example.com/privacy-policy", u"https://example.com/privacy?x=1"},
         u"https://Example.com/"},
        {{u"https://example.com/about", u"HTTPS://EXAMPLE.COM/PRIVACY/"},
         u"HTTPS://EXAMPLE.COM/PRIVACY/"},
        {{u"https://example.com/privacy.html", u"https://example.com/privacy"},
         u"https://example.com/privacy.html"},
        {{u"http://example.com/privacy"}, u"https://Example.com/"},
        {{u"https://example.com/legal/privacy"}, u"https://Example.com/"},
    };
    for (const Row& row : rows) {
        ScanResult scan;
        scan.baseUrl = u"https://Example.com";
        for (const Text& url : row.urls) {
            scan.pages.push_back({.url = url});
        }
        EXPECT_EQ(FindPrivacyPage(scan), row.expected);
    }
}

}  // namespace
}  // namespace bcnk
