#include <gtest/gtest.h>

#include "package/llms_txt.h"

// Records are built with designated initialisers; the fields left out keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace bcnk {
namespace {

const Text kDate = u"2026-12-07";
const Text kReview =
    u"[REVIEW] Generated from a crawl on 2026-12-07: the site's pages by section, without "
    u"pages that only lead to others. Legal pages are under Optional, which a reader may skip.\n";

// A manual: sections from its folders, named by their index pages and ordered as the start
// page links to them; titles without the site-wide suffix; no page only for navigation.
TEST(LlmsTxt, SectionsFollowTheSitesFolders) {
    const Text base = u"https://docs.example.com";
    const Text suffix = u" \u2014 Lamp 2.1 documentation";
    ScanResult scan;
    scan.startPageLinks = {base + u"/genindex.html", base + u"/tutorial/index.html",
                           base + u"/library/index.html"};
    scan.pages = {
        {.url = base + u"/", .title = u"Lamp 2.1" + suffix, .pageClass = PageClass::Index},
        {.url = base + u"/library/os.html",
         .title = u"os" + suffix,
         .pageClass = PageClass::Guide,
         .leadSentence = u"Portable use of the operating system."},
        {.url = base + u"/library/index.html",
         .title = u"The Library" + suffix,
         .pageClass = PageClass::Guide},
        {.url = base + u"/tutorial/intro.html",
         .title = u"Intro" + suffix,
         .description = u"Start here.",
         .pageClass = PageClass::Guide,
         .leadSentence = u"Not this."},
        {.url = base + u"/license.html", .title = u"License" + suffix, .pageClass = PageClass::Legal},
        {.url = base + u"/genindex-A.html", .title = u"Index" + suffix, .pageClass = PageClass::Index},
        {.url = base + u"/search.html", .title = u"Search" + suffix, .pageClass = PageClass::Utility},
        {.url = base + u"/library/py-modindex.html", .title = u"Modules" + suffix},
        {.url = base + u"/blog/tag/lamps/", .title = u"Lamps" + suffix},
        {.url = base + u"/blog/page/2/", .title = u"Blog" + suffix},
    };
    PackageForm form;
    form.name = u"Lamp";
    const Text expected =
        u"# Lamp\n\n" + kReview +
        u"\n"
        u"## Overview\n"
        u"- [Lamp 2.1](https://docs.example.com/)\n"
        u"\n"
        u"## Tutorial\n"
        u"- [Intro](https://docs.example.com/tutorial/intro.html): Start here.\n"
        u"\n"
        u"## The Library\n"
        u"- [The Library](https://docs.example.com/library/index.html)\n"
        u"- [os](https://docs.example.com/library/os.html): Portable use of the operating system.\n"
        u"\n"
        u"## Optional\n"
        u"- [License](https://docs.example.com/license.html)\n";
    EXPECT_EQ(MakeLlmsTxt(scan, form, kDate), expected);
}

// A site of one folder: sections by kind, in crawl order.
TEST(LlmsTxt, FlatSitesAreGroupedByKind) {
    const Text base = u"https://example.com";
    ScanResult scan;
    scan.siteDescription = u"Lamps for harbours.";
    scan.pages = {
        {.url = base + u"/", .title = u"Home", .pageClass = PageClass::Index},
        {.url = base + u"/privacy", .title = u"Privacy", .pageClass = PageClass::Legal},
        {.url = base + u"/fog",
         .title = u"Fog season",
         .description = u"When the fog comes.",
         .pageClass = PageClass::Article},
        {.url = base + u"/lamp",
         .title = u"Lamp | Shop",
         .productName = u"Harbour Lamp",
         .pageClass = PageClass::Product},
        {.url = base + u"/care", .h1 = u"Lamp care", .pageClass = PageClass::Guide},
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
        u"- [Harbour Lamp](https://example.com/lamp)\n"
        u"\n"
        u"## Guides\n"
        u"- [Lamp care](https://example.com/care)\n"
        u"\n"
        u"## Articles\n"
        u"- [Fog season](https://example.com/fog): When the fog comes.\n"
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

// Past 2000 entries the largest sections give up pages evenly, and the file says so.
TEST(LlmsTxt, TheLargestSectionsAreCutEvenly) {
    ScanResult scan;
    auto add = [&](const Text& folder, int count) {
        for (int i = 0; i < count; ++i) {
            scan.pages.push_back({.url = u"https://example.com/" + folder + u"/p" + NumberText(i),
                                  .title = u"T",
                                  .pageClass = PageClass::Guide});
        }
    };
    add(u"small", 10);
    add(u"big", 1500);
    add(u"bigger", 1600);
    PackageForm form;
    form.name = u"N";
    const Text text = MakeLlmsTxt(scan, form, kDate);
    EXPECT_NE(text.find(u"1110 pages of the largest sections are left out to keep the list at "
                        u"2000 entries."),
              Text::npos);
    EXPECT_NE(text.find(u"(https://example.com/small/p9)"), Text::npos);
    EXPECT_NE(text.find(u"(https://example.com/big/p994)"), Text::npos);
    EXPECT_EQ(text.find(u"(https://example.com/big/p995)"), Text::npos);
    EXPECT_NE(text.find(u"(https://example.com/bigger/p994)"), Text::npos);
    EXPECT_EQ(text.find(u"(https://example.com/bigger/p995)"), Text::npos);
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
