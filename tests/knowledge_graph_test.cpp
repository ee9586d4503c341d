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
    }
  ],
  "relationships": [],
  "_note": "[FILL RELATIONSHIPS] - add entity relationships manually."
}
)";
    EXPECT_EQ(MakeKnowledgeGraph(scan, NamedForm()), expected);
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
      "name": "P1",
      "url": "https://example.com/p/1",
      "description": "First"
    },
    {
      "@type": "Product",
      "name": "H2",
      "url": "https://example.com/p/2",
      "description": ""
    },
    {
      "@type": "Product",
      "name": "",
      "url": "https://example.com/p/3",
      "description": ""
    },
    {
      "@type": "Person",
      "name": "Ada",
      "url": "https://example.com"
    }
  ],
  "relationships": [],
  "_note": "[FILL RELATIONSHIPS] - add entity relationships manually."
}
)";
    EXPECT_EQ(MakeKnowledgeGraph(scan, NamedForm()), expected);
}

TEST(TdmRep, ReservationFollowsTrainingAndCoversTheWholeSite) {
    ScanResult scan;
    scan.baseUrl = u"https://example.com";
    scan.pages = {{.url = u"https://example.com/Privacy.html"}};
    PackageForm form;
    const Text reserved =
        uR"([
  {
    "location": "/",
    "tdm-reservation": 1,
    "tdm-policy": "https://example.com/Privacy.html"
  }
]
)";
    EXPECT_EQ(MakeTdmRep(scan, form), reserved);
    form.allowTraining = true;
    const Text open =
        uR"([
  {
    "location": "/",
    "tdm-reservation": 0,
    "tdm-policy": "https://example.com/Privacy.html"
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
