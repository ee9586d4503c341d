#include <gtest/gtest.h>

#include "package/ai_discovery.h"

// Records are built with designated initialisers; the fields left out keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace bcnk {
namespace {

const Text kDate = u"2026-12-07";

ScanResult ShopScan() {
    ScanResult scan;
    scan.host = u"shop.example.com";
    scan.baseUrl = u"https://shop.example.com";
    scan.language = u"de";
    scan.siteDescription = u"Crawled description";
    scan.topics = {u"garden tools", u"Rasen \"Pro\""};
    scan.pages = {
        {.url = u"https://shop.example.com/", .title = u"Home", .pageClass = PageClass::Index},
        {.url = u"https://shop.example.com/p/mower",
         .title = u"Mower | Shop",
         .description = u"Quiet electric mower.",
         .h1 = u"Mower 3000",
         .productName = u"Mower 3000 Pro",
         .pageClass = PageClass::Product},
        {.url = u"https://shop.example.com/p/rake",
         .title = u"Rake | Shop",
         .h1 = u"Steel rake",
         .pageClass = PageClass::Product},
        {.url = u"https://shop.example.com/cart",
         .title = u"Cart",
         .pageClass = PageClass::Utility},
        {.url = u"https://shop.example.com/p/x", .title = u"", .pageClass = PageClass::Product},
        {.url = u"https://shop.example.com/login", .pageClass = PageClass::Utility},
        {.url = u"https://shop.example.com/terms", .pageClass = PageClass::Legal},
        {.url = u"https://shop.example.com/blog/a", .pageClass = PageClass::Article},
        {.url = u"https://shop.example.com/never-classified"},
    };
    return scan;
}

PackageForm FullForm() {
    PackageForm form;
    form.name = u"Gartenwerk GmbH";
    form.description = u"Garden tools since 1999.";
    form.email = u"info@shop.example.com";
    form.industry = u"E-commerce";
    form.founded = u"1999";
    form.allowTraining = false;
    form.allowCitation = true;
    form.allowSummarisation = true;
    return form;
}

TEST(AiDiscoveryJson, FullFormAndCountedClasses) {
    const Text expected =
        uR"({
  "version": "1.0",
  "organization": {
    "name": "Gartenwerk GmbH",
    "description": "Garden tools since 1999.",
    "url": "https://shop.example.com",
    "industry": "E-commerce",
    "founded": "1999",
    "contact": "info@shop.example.com"
  },
  "content": {
    "primary_language": "de",
    "update_frequency": "monthly",
    "topics": ["garden tools", "Rasen \"Pro\""],
    "content_types": {
      "product": 3,
      "article": 1,
      "guide": 0,
      "legal": 1
    }
  },
  "ai_interaction": {
    "allow_training": false,
    "allow_citation": true,
    "allow_summarisation": true,
    "content_usage": "train-ai=n, search=y"
  },
  "endpoints": {
    "sitemap": "https://shop.example.com/sitemap.xml",
    "ai_sitemap": "https://shop.example.com/ai-sitemap.xml",
    "knowledge_graph": "https://shop.example.com/knowledge-graph.json",
    "llms": "https://shop.example.com/llms-lite.txt",
    "llms_txt": "https://shop.example.com/llms.txt"
  },
  "generated": "2026-12-07",
  "generator": "Talvenn's Beaconsmith"
}
)";
    EXPECT_EQ(MakeAiDiscoveryJson(ShopScan(), FullForm(), kDate), expected);
}

TEST(AiDiscoveryJson, NoFoundedNoTopicsNothingAllowedAndEscapedName) {
    ScanResult scan;
    scan.baseUrl = u"http://a.example:8080";
    scan.language = u"en";
    // The site has an llms.txt of its own, so the package proposes none and names none.
    scan.checks = {{u"llms.txt", u"/llms.txt", CheckState::Ok, u"Present", true}};
    PackageForm form;
    form.name = u"Say \"Hi\" \\ Co\n";
    form.industry = u"Other";
    const Text expected =
        uR"({
  "version": "1.0",
  "organization": {
    "name": "Say \"Hi\" \\ Co\n",
    "description": "",
    "url": "http://a.example:8080",
    "industry": "Other",
    "contact": ""
  },
  "content": {
    "primary_language": "en",
    "update_frequency": "monthly",
    "topics": [],
    "content_types": {
      "product": 0,
      "article": 0,
      "guide": 0,
      "legal": 0
    }
  },
  "ai_interaction": {
    "allow_training": false,
    "allow_citation": false,
    "allow_summarisation": false,
    "content_usage": "train-ai=n, search=n"
  },
  "endpoints": {
    "sitemap": "http://a.example:8080/sitemap.xml",
    "ai_sitemap": "http://a.example:8080/ai-sitemap.xml",
    "knowledge_graph": "http://a.example:8080/knowledge-graph.json",
    "llms": "http://a.example:8080/llms-lite.txt"
  },
  "generated": "2026-12-07",
  "generator": "Talvenn's Beaconsmith"
}
)";
    EXPECT_EQ(MakeAiDiscoveryJson(scan, form, kDate), expected);
}

TEST(AiDiscoveryMd, ProductsTopicsAndFounded) {
    PackageForm form = FullForm();
    form.name = u"Say \"Hi\" \\ Co";
    const Text expected =
        uR"(# Say "Hi" \\ Co - AI Discovery

_Last updated: 2026-12-07_

## About

Garden tools since 1999.

- **Website:** https://shop.example.com
- **Industry:** E-commerce
- **Founded:** 1999
- **Contact:** info@shop.example.com

## Products

### Mower 3000 Pro
Quiet electric mower.
<https://shop.example.com/p/mower>

### Steel rake
<https://shop.example.com/p/rake>

### 
<https://shop.example.com/p/x>

## Topics

- garden tools
- Rasen "Pro"

## AI Permissions

- Training: not allowed
- Citation: allowed
- Summarisation: allowed

## Endpoints

- https://shop.example.com/sitemap.xml
- https://shop.example.com/ai-sitemap.xml
- https://shop.example.com/ai-discovery.json
)";
    EXPECT_EQ(MakeAiDiscoveryMd(ShopScan(), form, kDate), expected);
}

TEST(AiDiscoveryMd, EmptyAboutNoFoundedNoProductsNoTopics) {
    ScanResult scan;
    scan.baseUrl = u"https://b.example";
    scan.pages = {{.url = u"https://b.example/", .pageClass = PageClass::Index}};
    PackageForm form;
    form.name = u"B";
    form.allowTraining = true;
    const Text expected =
        uR"(# B - AI Discovery

_Last updated: 2026-12-07_

## About



- **Website:** https://b.example
- **Industry:** 
- **Contact:** 

## AI Permissions

- Training: allowed
- Citation: not allowed
- Summarisation: not allowed

## Endpoints

- https://b.example/sitemap.xml
- https://b.example/ai-sitemap.xml
- https://b.example/ai-discovery.json
)";
    EXPECT_EQ(MakeAiDiscoveryMd(scan, form, kDate), expected);
}

TEST(AiDiscoveryMd, AboutFallsBackToCrawledDescription) {
    PackageForm form = FullForm();
    form.description.clear();
    const Text text = MakeAiDiscoveryMd(ShopScan(), form, kDate);
    EXPECT_NE(text.find(u"## About\n\nCrawled description\n\n- **Website:**"), Text::npos);
}

TEST(AiDiscovery, StampedWithToday) {
    const ScanResult scan = ShopScan();
    const PackageForm form = FullForm();
    const Text before = TodayDate();
    const Text json = MakeAiDiscoveryJson(scan, form);
    const Text md = MakeAiDiscoveryMd(scan, form);
    const Text after = TodayDate();
    EXPECT_TRUE(json == MakeAiDiscoveryJson(scan, form, before) ||
                json == MakeAiDiscoveryJson(scan, form, after));
    EXPECT_TRUE(md == MakeAiDiscoveryMd(scan, form, before) ||
                md == MakeAiDiscoveryMd(scan, form, after));
}

}  // namespace
}  // namespace bcnk
