#include <gtest/gtest.h>

#include <algorithm>

#include "package/llms_lite.h"
#include "package/template_text.h"

// Records are built with designated initialisers; the fields left out keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace bcnk {
namespace {

const Text kReview =
    u"[REVIEW] The summary below is auto-generated from the crawl. Edit before publishing.\n";

TEST(LlmsLite, ProseBeforeTheFirstSectionAndLinkListsAfter) {
    ScanResult scan;
    scan.siteDescription = u"Crawled description";
    scan.topics = {u"garden tools", u"", u"lawn care"};
    scan.pages = {
        {.url = u"https://example.com/p/w",
         .title = u"Widget | Shop",
         .productName = u"Widget Pro",
         .pageClass = PageClass::Product},
        {.url = u"https://example.com/p/t",
         .title = u"Only a title",
         .pageClass = PageClass::Product},
        {.url = u"https://example.com/guide",
         .h1 = u"Not a product",
         .pageClass = PageClass::Guide},
        {.url = u"https://example.com/p/r",
         .description = u"A [steel] rake.",
         .h1 = u"Rake *one*",
         .pageClass = PageClass::Product},
    };
    PackageForm form;
    form.name = u"Gartenwerk";
    const Text expected =
        u"# Gartenwerk\n"
        u"\n"
        u"> Crawled description\n"
        u"\n" +
        kReview +
        u"\n"
        u"The site holds 3 product pages and 1 guide.\n"
        u"\n"
        u"Main topics: garden tools, lawn care.\n"
        u"\n"
        u"## Key pages\n"
        u"- [Only a title](https://example.com/p/t)\n"
        u"- [Not a product](https://example.com/guide)\n"
        u"- [Rake *one*](https://example.com/p/r): A \\[steel\\] rake.\n"
        u"\n"
        u"## Products\n"
        u"- [Widget Pro](https://example.com/p/w)\n"
        u"- [Rake *one*](https://example.com/p/r): A \\[steel\\] rake.\n";
    EXPECT_EQ(MakeLlmsLite(scan, form), expected);
}

TEST(LlmsLite, NothingToListEndsAfterAbout) {
    ScanResult scan;
    scan.siteDescription = u"ignored";
    scan.pages = {
        {.url = u"https://example.com/p", .title = u"T", .pageClass = PageClass::Product}};
    PackageForm form;
    form.name = u"N";
    form.description = u"Own words";
    EXPECT_EQ(MakeLlmsLite(scan, form),
              u"# N\n\n> Own words\n\n" + kReview + u"\nThe site holds 1 product page.\n");
}

TEST(LlmsLite, EmptyAboutLeavesOutQuoteAndParagraph) {
    ScanResult scan;
    scan.topics = {u"t"};
    PackageForm form;
    form.name = u"N";
    EXPECT_EQ(MakeLlmsLite(scan, form), u"# N\n\n" + kReview + u"\nMain topics: t.\n");
}

TEST(LlmsLite, HostileValuesStayInsideTheirLine) {
    ScanResult scan;
    scan.pages = {{.url = u"https://example.com/a b/(x)<y>",
                   .description = u"</script>\n## Injected",
                   .productName = u"Evil](http://other.example) [x\\",
                   .pageClass = PageClass::Product}};
    PackageForm form;
    form.name = u"# Name\r\n> quote\x01\x7F";
    form.description = u"1. first\u2028- second <b>bold</b>";
    const Text expected =
        u"# \\# Name  \\> quote\n"
        u"\n"
        u"> 1\\. first - second \\<b\\>bold\\</b\\>\n"
        u"\n" +
        kReview +
        u"\n"
        u"The site holds 1 product page.\n"
        u"\n"
        u"## Products\n"
        u"- [Evil\\](http://other.example) \\[x\\\\](https://example.com/a%20b/%28x%29%3Cy%3E): "
        u"\\</script\\> ## Injected\n";
    EXPECT_EQ(MakeLlmsLite(scan, form), expected);
}

TEST(MarkdownText, OneLineThatReadsAsWritten) {
    const struct {
        Text value;
        Text expected;
    } rows[] = {
        {u"plain text", u"plain text"},
        {u"  a\tb\nc\r\nd\u0085e\u2029f  ", u"a b c  d e f"},
        {u"x\x01\x1B\x7F\u0080\u009F\uFFFEy", u"xy"},
        {u"[a](b) <i> \\", u"\\[a\\](b) \\<i\\> \\\\"},
        {u"# h", u"\\# h"},
        {u"> q", u"\\> q"},
        {u"- l", u"\\- l"},
        {u"+ l", u"\\+ l"},
        {u"* l", u"\\* l"},
        {u"=", u"\\="},
        {u"| t |", u"\\| t |"},
        {u"12. n", u"12\\. n"},
        {u"3) n", u"3\\) n"},
        {u"2024 was", u"2024 was"},
        {u"a # b - c", u"a # b - c"},
        {u"\u00C4\U0001F600", u"\u00C4\U0001F600"},
        {u"\n\x01", u""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(MarkdownText(row.value), row.expected) << WideToUtf8(row.value);
    }
}

// The start page's opening sentence and its own links lead; contact and topics follow.
TEST(LlmsLite, OffersKeyPagesStartPageLinksFirst) {
    const Text base = u"https://docs.example.com";
    ScanResult scan;
    scan.startPageLinks = {base + u"/search.html", base + u"/tutorial/", base + u"/privacy.html"};
    scan.pages = {
        {.url = base + u"/",
         .title = u"Home",
         .pageClass = PageClass::Index,
         .leadSentence = u"Everything about lamps."},
        {.url = base + u"/contact.html", .title = u"Write to us", .depth = 1,
         .pageClass = PageClass::Utility},
        {.url = base + u"/privacy.html", .title = u"Privacy", .depth = 1,
         .pageClass = PageClass::Legal},
        {.url = base + u"/search.html", .title = u"Search", .depth = 1},
        {.url = base + u"/tutorial/", .title = u"Tutorial", .depth = 1,
         .pageClass = PageClass::Guide, .leadSentence = u"Learn the lamp."},
    };
    for (int i = 0; i < 12; ++i) {
        scan.pages.push_back({.url = base + u"/g" + NumberText(i), .title = u"G", .depth = 2,
                              .pageClass = PageClass::Guide});
    }
    PackageForm form;
    form.name = u"Lamps";
    const Text text = MakeLlmsLite(scan, form);
    EXPECT_NE(text.find(u"\nEverything about lamps. The site holds 13 guides and 1 legal page.\n"),
              Text::npos)
        << WideToUtf8(text);
    EXPECT_NE(text.find(u"\nContact page: https://docs.example.com/contact.html\n"),
              Text::npos);
    const Text keys = text.substr(text.find(u"## Key pages\n"));
    EXPECT_EQ(keys.find(u"- [Tutorial](https://docs.example.com/tutorial/): Learn the lamp.\n"),
              13u);
    EXPECT_EQ(keys.find(u"Privacy"), Text::npos);
    EXPECT_EQ(keys.find(u"Search"), Text::npos);
    EXPECT_EQ(std::count(keys.begin(), keys.end(), u'\n'), 11);
    form.email = u"hi@example.com";
    EXPECT_NE(MakeLlmsLite(scan, form).find(u"\nContact: hi@example.com\n"), Text::npos);
}

}  // namespace
}  // namespace bcnk
