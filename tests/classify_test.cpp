#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/classify.h"

namespace bcnk {
namespace {

constexpr char16_t kStart[] = u"https://example.com/en/home";

struct Row {
    Text url{};
    Text title{};
    Text h1{};
    std::vector<Text> types{};
    int words = 0;
    PageClass expected = PageClass::Other;
    // Marks of the page's layout (documentation marks, prices, basket, article meta, links).
    int documentationMarks = 0;
    int prices = 0;
    bool cart = false;
    bool articleMeta = false;
    int links = 0;
    bool documentationTool = false;
    // Product marks of the page's metas and microdata.
    bool productMeta = false;
    bool productGroupMeta = false;
    int productItems = 0;
    int itemBlocks = 0;
    int mainWords = 0;
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
        // Legal: a legal word in the path and the title alike.
        {site + u"/privacy-policy", u"Privacy Policy", u"", {}, 0, PageClass::Legal},
        {site + u"/license.html", u"History and License", u"", {}, 0, PageClass::Legal},
        {site + u"/impressum", u"Impressum", u"", {}, 0, PageClass::Legal},
        {site + u"/privacy-policy", u"", u"", {}, 0, PageClass::Utility},
        {site + u"/x", u"Terms of Service", u"", {}, 0, PageClass::Utility},
        {site + u"/library/email.policy.html", u"email.policy: Policy Objects", u"", {}, 0,
         PageClass::Utility},
        {site + u"/sql-createpolicy.html", u"CREATE POLICY", u"", {}, 0, PageClass::Utility},
        // Guide: a documentation layout decides before anything but the above.
        {site + u"/howto/logging.html", u"Logging HOWTO", u"", {}, 5000, PageClass::Guide, 2},
        {site + u"/library/os.html", u"os", u"", {u"Product"}, 5000, PageClass::Guide, 1, 0,
         false, false, 0, true},
        {site + u"/docs/setup", u"", u"", {}, 0, PageClass::Guide},
        // A documentation host makes its pages Guides, whatever product they describe.
        {u"https://docs.example.com/en/5.1/ref/middleware/", u"", u"", {}, 3000, PageClass::Guide},
        {u"https://Developer.example.com/x", u"", u"", {u"SoftwareApplication"}, 0,
         PageClass::Guide},
        {u"https://wiki.example.org/Setup", u"", u"", {}, 0, PageClass::Guide},
        {u"https://docsify.example.com/x", u"", u"", {}, 3000, PageClass::Article},
        {u"https://docs/x", u"", u"", {}, 3000, PageClass::Article},
        {site + u"/blog/my-post", u"How to brew tea", u"", {}, 0, PageClass::Guide},
        {site + u"/x", u"Beginner's GUIDE", u"", {}, 0, PageClass::Guide},
        // Product: structured data, or a price with a basket button; a download page or a
        // price alone is no product.
        {site + u"/review", u"", u"", {u"Product"}, 0, PageClass::Product},
        {site + u"/x", u"", u"", {u"softwareapplication"}, 0, PageClass::Product},
        {site + u"/x", u"", u"", {u"SOFTWAREAPPLICATION"}, 0, PageClass::Product},
        {site + u"/x", u"", u"", {u"ProductGroup"}, 0, PageClass::Utility},
        {site + u"/lamp", u"", u"", {}, 0, PageClass::Product, 0, 1, true},
        {site + u"/download.html", u"Download", u"Download", {}, 0, PageClass::Utility},
        {site + u"/pricing", u"", u"", {}, 0, PageClass::Utility, 0, 1},
        // Open Graph and microdata name one product too, however many prices the page shows.
        {.url = site + u"/app/7", .expected = PageClass::Product, .prices = 40, .cart = true,
         .productItems = 1},
        {.url = site + u"/x", .expected = PageClass::Product, .articleMeta = true,
         .productMeta = true},
        // Articles by their markup or path; a product page with article markup stays.
        {site + u"/x", u"", u"", {}, 0, PageClass::Article, 0, 1, true, true},
        {site + u"/blog/review", u"", u"", {u"Product"}, 0, PageClass::Product},
        {site + u"/best-lamps", u"", u"", {u"NewsArticle", u"Product"}, 0, PageClass::Article},
        {site + u"/lamp", u"", u"", {u"Article", u"Product"}, 0, PageClass::Product, 0, 1, true},
        {site + u"/news", u"", u"", {}, 0, PageClass::Article},
        {site + u"/x", u"", u"", {u"BlogPosting"}, 0, PageClass::Article},
        {site + u"/x", u"", u"", {u"Article"}, 0, PageClass::Article},
        // An archive of teasers wears its posts' article metas; its own schema or words keep
        // a post an article. Without main words counted, all the page's words count.
        {.url = site + u"/tea", .expected = PageClass::Index, .articleMeta = true,
         .itemBlocks = 20, .mainWords = 400},
        // Category, tag and topic folders hold listings, unless the page is an article by its
        // own schema.
        {.url = site + u"/category/tea", .words = 900, .expected = PageClass::Index,
         .articleMeta = true},
        {.url = site + u"/collections/lamps", .expected = PageClass::Index},
        {.url = site + u"/tag/tea/my-post", .types = {u"BlogPosting"},
         .expected = PageClass::Article},
        {.url = site + u"/collections/lamps/products/x", .expected = PageClass::Product,
         .productMeta = true},
        {.url = site + u"/tea", .expected = PageClass::Article, .articleMeta = true,
         .itemBlocks = 20, .mainWords = 800},
        {.url = site + u"/tea", .types = {u"BlogPosting"}, .expected = PageClass::Article,
         .articleMeta = true, .itemBlocks = 20, .mainWords = 400},
        {.url = site + u"/tea", .expected = PageClass::Article, .articleMeta = true,
         .itemBlocks = 9, .mainWords = 100},
        {.url = site + u"/tea", .words = 5000, .expected = PageClass::Article,
         .articleMeta = true, .itemBlocks = 20},
        // Listings: many prices, or many links with few words each.
        {site + u"/lamps", u"", u"", {}, 0, PageClass::Index, 0, 40, true},
        // Category markup decides before the products and articles it holds.
        {.url = site + u"/c/lamps", .types = {u"CollectionPage", u"Product"},
         .expected = PageClass::Index, .prices = 1, .cart = true},
        {.url = site + u"/news/tech", .types = {u"SearchResultsPage", u"NewsArticle"},
         .expected = PageClass::Index, .articleMeta = true},
        {.url = site + u"/lamps", .expected = PageClass::Index, .productGroupMeta = true},
        {.url = site + u"/lamps", .expected = PageClass::Index, .productItems = 3},
        {.url = site + u"/docs/x", .types = {u"CollectionPage"}, .expected = PageClass::Guide,
         .documentationMarks = 2},
        {site + u"/archive", u"", u"", {}, 500, PageClass::Index, 0, 0, false, false, 100},
        {site + u"/about", u"", u"", {}, 900, PageClass::Article, 0, 0, false, false, 100},
        {.url = site + u"/lamps", .expected = PageClass::Index, .itemBlocks = 3, .mainWords = 449},
        {.url = site + u"/about", .words = 900, .expected = PageClass::Article, .itemBlocks = 3,
         .mainWords = 450},
        // Main words count too: a long page whose own text is little more than its links.
        {.url = site + u"/archive", .words = 5000, .expected = PageClass::Index, .links = 100,
         .mainWords = 250},
        {.url = site + u"/about", .words = 1300, .expected = PageClass::Article, .links = 200,
         .mainWords = 700},
        {.url = site + u"/about", .words = 5000, .expected = PageClass::Article, .links = 29,
         .mainWords = 10},
        // Else by length.
        {site + u"/about", u"", u"", {}, 800, PageClass::Article},
        {site + u"/about", u"", u"", {}, 799, PageClass::Utility},
        {u"", u"", u"", {}, 0, PageClass::Utility},
    };
    for (const Row& row : rows) {
        PageRecord page;
        page.url = row.url;
        page.title = row.title;
        page.h1 = row.h1;
        page.schemaTypes = row.types;
        page.wordCount = row.words;
        page.documentationMarks = row.documentationMarks;
        page.documentationTool = row.documentationTool;
        page.priceMarks = row.prices;
        page.addToCart = row.cart;
        page.articleMeta = row.articleMeta;
        page.linkCount = row.links;
        page.productMeta = row.productMeta;
        page.productGroupMeta = row.productGroupMeta;
        page.productItems = row.productItems;
        page.itemBlocks = row.itemBlocks;
        page.mainWordCount = row.mainWords;
        EXPECT_EQ(ClassifyPage(page, kStart), row.expected)
            << std::string(row.url.begin(), row.url.end()) << " / "
            << std::string(row.title.begin(), row.title.end());
    }
}


// A manual's reference pages say little of their layout one by one; the site's layout as a
// whole makes them Guides, while a shop's pages keep their classes.
TEST(ClassifyBySiteLayout, DocumentationSitesMakeTheirPagesGuides) {
    auto page = [](PageClass given, int marks) {
        PageRecord record;
        record.pageClass = given;
        record.documentationMarks = marks;
        return record;
    };
    std::vector<PageRecord> manual = {page(PageClass::Guide, 2), page(PageClass::Article, 1),
                                      page(PageClass::Utility, 1), page(PageClass::Legal, 2),
                                      page(PageClass::Article, 0), page(PageClass::Guide, 2)};
    ClassifyBySiteLayout(manual);
    EXPECT_EQ(manual[1].pageClass, PageClass::Guide);
    EXPECT_EQ(manual[2].pageClass, PageClass::Guide);
    EXPECT_EQ(manual[3].pageClass, PageClass::Legal);
    EXPECT_EQ(manual[4].pageClass, PageClass::Article);

    std::vector<PageRecord> shop = {page(PageClass::Guide, 2), page(PageClass::Article, 1),
                                    page(PageClass::Product, 0)};
    ClassifyBySiteLayout(shop);
    EXPECT_EQ(shop[1].pageClass, PageClass::Article);
}

}  // namespace
}  // namespace bcnk
