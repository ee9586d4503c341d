#include <gtest/gtest.h>

#include "package/llms_txt.h"

// Records are built with designated initialisers; the fields left out keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace bcnk {
namespace {

const Text kDate = u"2026-12-07";
const Text kReview =
    u"[REVIEW] Generated from a crawl on 2026-12-07: the first 2000 pages found, in crawl "
    u"order, grouped by kind. Legal pages are under Optional, which a reader may skip.\n";

TEST(LlmsTxt, PagesGroupedByKindInCrawlOrder) {
    const Text base = u"https://example.com";
    ScanResult scan;
    scan.siteDescription = u"Lamps for harbours.";
    scan.pages = {
        {.url = base + u"/", .title = u"Home", .pageClass = PageClass::Index},
        {.url = base + u"/privacy", .title = u"Privacy", .pageClass = PageClass::Legal},
        {.url = base + u"/blog/fog",
         .title = u"Fog season",
         .description = u"When the fog comes.",
         .pageClass = PageClass::Article},
        {.url = base + u"/p/lamp",
         .title = u"Lamp | Shop",
         .productName = u"Harbour Lamp",
         .pageClass = PageClass::Product},
        {.url = base + u"/guide/care", .h1 = u"Lamp care", .pageClass = PageClass::Guide},
        {.url = base + u"/contact", .pageClass = PageClass::Utility},
        {.url = base + u"/Contact",
         .title = u"same page, other spelling",
         .pageClass = PageClass::Utility},
        {.url = base + u"/odd", .title = u"Odd", .pageClass = PageClass{42}},
        {.url = base + u"/b\u00E4r", .title = u"B\u00E4r", .pageClass = PageClass::Other},
        {.url = base + u"/caf%c3%a9", .title = u"Caf\u00E9", .pageClass = PageClass::Other},
        {.url = base + u"/caf\u00E9", .title = u"listed once", .pageClass = PageClass::Other},
        {.title = u"no address"},
    };
    PackageForm form;
    form.name = u"Harbour Lights";
    const Text expected =
        u"# Harbour Lights\n"
        u"\n"
        u"> Lamps for harbours.\n"
        u"\n" +
        kReview +
        u"\n"
        u"## Products\n"
        u"- [Harbour Lamp](https://example.com/p/lamp)\n"
        u"\n"
        u"## Guides\n"
        u"- [Lamp care](https://example.com/guide/care)\n"
        u"\n"
        u"## Articles\n"
        u"- [Fog season](https://example.com/blog/fog): When the fog comes.\n"
        u"\n"
        u"## Pages\n"
        u"- [Home](https://example.com/)\n"
        u"- [https://example.com/contact](https://example.com/contact)\n"
        u"- [same page, other spelling](https://example.com/Contact)\n"
        u"- [Odd](https://example.com/odd)\n"
        u"- [B\u00E4r](https://example.com/b%C3%A4r)\n"
        u"- [Caf\u00E9](https://example.com/caf%C3%A9)\n"
        u"\n"
        u"## Optional\n"
        u"- [Privacy](https://example.com/privacy)\n";
    EXPECT_EQ(MakeLlmsTxt(scan, form, kDate), expected);
}

TEST(LlmsTxt, ListsTheFirstTwoThousandPages) {
    ScanResult scan;
    for (int i = 0; i < 2001; ++i) {
        scan.pages.push_back({.url = u"https://example.com/a" + NumberText(i),
                              .title = u"T",
                              .pageClass = i == 2000 ? PageClass::Product : PageClass::Article});
    }
    PackageForm form;
    form.name = u"N";
    const Text text = MakeLlmsTxt(scan, form, kDate);
    EXPECT_NE(text.find(u"(https://example.com/a1999)"), Text::npos);
    EXPECT_EQ(text.find(u"(https://example.com/a2000)"), Text::npos);
    EXPECT_EQ(text.find(u"## Products"), Text::npos);
}

TEST(SiteHasLlmsTxt, OnlyWhenTheProbeFoundIt) {
    ScanResult scan;
    EXPECT_FALSE(SiteHasLlmsTxt(scan));
    scan.checks = {{u"llms-lite.txt", u"/llms-lite.txt", CheckState::Ok, u"Present", false},
                   {u"llms.txt", u"/llms.txt", CheckState::Missing, u"Missing", true}};
    EXPECT_FALSE(SiteHasLlmsTxt(scan));
    scan.checks[1].state = CheckState::Ok;
    EXPECT_TRUE(SiteHasLlmsTxt(scan));
}

}  // namespace
}  // namespace bcnk
