#include <gtest/gtest.h>

#include "package/llms_lite.h"

// Records are built with designated initialisers; the fields left out keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace bcnk {
namespace {

const Text kHeadWithoutAbout =
    u"[REVIEW] The summary below is auto-generated from the crawl. Edit before publishing.\n";

TEST(LlmsLite, ProductsWithNamesAndTopics) {
    ScanResult scan;
    scan.siteDescription = u"Crawled description";
    scan.topics = {u"garden tools", u"lawn care"};
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
        kHeadWithoutAbout +
        u"\n"
        u"## About\n"
        u"Crawled description\n"
        u"\n"
        u"## Products\n"
        u"- [Widget Pro](https://example.com/p/w)\n"
        u"- [Rake *one*](https://example.com/p/r): A [steel] rake.\n"
        u"\n"
        u"## Topics\n"
        u"- garden tools\n"
        u"- lawn care\n";
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
    const Text expected =
        u"# N\n\n> Own words\n\n" + kHeadWithoutAbout + u"\n## About\nOwn words\n\n";
    EXPECT_EQ(MakeLlmsLite(scan, form), expected);
}

TEST(LlmsLite, TopicsWithoutProductsAndEmptyAbout) {
    ScanResult scan;
    scan.topics = {u"t"};
    PackageForm form;
    const Text expected = u"# \n\n> \n\n" + kHeadWithoutAbout + u"\n## About\n\n\n## Topics\n- t\n";
    EXPECT_EQ(MakeLlmsLite(scan, form), expected);
}

}  // namespace
}  // namespace bcnk
