#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/classify.h"

namespace bcnk {
namespace {

constexpr char16_t kStart[] = u"https://example.com/en/home";

struct Row {
    Text url;
    Text title;
    Text h1;
    std::vector<Text> types;
    int words;
    PageClass expected;
};

TEST(ClassifyPage, FirstMatchingRuleDecides) {
    const Text site = u"https://example.com";
    const std::vector<Row> rows = {
        // Index: the start page whatever it holds; root and index documents.
        {kStart, u"Privacy terms", u"Buy now", {u"Product"}, 5000, PageClass::Index},
        {site + u"/index.php", u"", u"", {}, 0, PageClass::Index},
        {site, u"", u"", {}, 0, PageClass::Index},
        {site + u"/INDEX.HTM", u"", u"", {}, 0, PageClass::Index},
        {site + u"/en/Home", u"", u"", {}, 0, PageClass::Utility},
        {kStart + Text(u"/"), u"", u"", {}, 0, PageClass::Utility},
        {site + u"/en/index.html", u"", u"", {}, 0, PageClass::Utility},
        // Utility keywords come before everything else.
        {site + u"/index.php?page=contact", u"", u"", {}, 0, PageClass::Utility},
        {site + u"/contact-us", u"", u"", {}, 0, PageClass::Utility},
        {site + u"/legal/contact", u"", u"", {}, 0, PageClass::Utility},
        {site + u"/unsubscribe", u"", u"", {}, 900, PageClass::Utility},
        {site + u"/Checkout", u"", u"", {u"Product"}, 0, PageClass::Utility},
        // Legal by path or title.
        {site + u"/privacy-policy", u"", u"", {}, 0, PageClass::Legal},
        {site + u"/documentation/terms", u"", u"", {}, 0, PageClass::Legal},
        {site + u"/x", u"Terms of Service", u"", {}, 0, PageClass::Legal},
        {site + u"/x", u"Our Legal Stuff", u"", {}, 0, PageClass::Utility},
        // Guide: the title test comes before the article path.
        {site + u"/blog/my-post", u"How to brew tea", u"", {}, 0, PageClass::Guide},
        {site + u"/docs/setup", u"", u"", {}, 0, PageClass::Guide},
        {site + u"/x", u"Beginner's GUIDE", u"", {}, 0, PageClass::Guide},
        // Article by path, before product types.
        {site + u"/blog/review", u"", u"", {u"Product"}, 0, PageClass::Article},
        {site + u"/news", u"", u"", {}, 0, PageClass::Article},
        // Product by type, path or h1.
        {site + u"/review", u"", u"", {u"Product"}, 0, PageClass::Product},
        {site + u"/x", u"", u"", {u"softwareapplication"}, 0, PageClass::Product},
        {site + u"/x", u"", u"", {u"SOFTWAREAPPLICATION"}, 0, PageClass::Product},
        {site + u"/x", u"", u"", {u"ProductGroup"}, 0, PageClass::Utility},
        {site + u"/downloads", u"", u"", {}, 0, PageClass::Product},
        {site + u"/pricing", u"", u"", {}, 0, PageClass::Product},
        {site + u"/products/x", u"", u"", {}, 0, PageClass::Product},
        {site + u"/x", u"", u"Buy now", {}, 0, PageClass::Product},
        {site + u"/x", u"Buy now", u"", {}, 0, PageClass::Utility},
        // Article by type or length, else Utility.
        {site + u"/about", u"", u"", {}, 800, PageClass::Article},
        {site + u"/about", u"", u"", {}, 799, PageClass::Utility},
        {site + u"/x", u"", u"", {u"BlogPosting"}, 0, PageClass::Article},
        {site + u"/x", u"", u"", {u"Article"}, 0, PageClass::Article},
        {u"", u"", u"", {}, 0, PageClass::Utility},
    };
    for (const Row& row : rows) {
        PageRecord page;
        page.url = row.url;
        page.title = row.title;
        page.h1 = row.h1;
        page.schemaTypes = row.types;
        page.wordCount = row.words;
        EXPECT_EQ(ClassifyPage(page, kStart), row.expected)
            << std::string(row.url.begin(), row.url.end()) << " / "
            << std::string(row.title.begin(), row.title.end());
    }
}

}  // namespace
}  // namespace bcnk
