#include "analysis/classify.h"

#include <initializer_list>
#include <string_view>

#include "net/url.h"

namespace bcnk {

namespace {

using Keywords = std::initializer_list<std::u16string_view>;

// A page this long with no other sign is read as an article.
constexpr int kArticleWordCount = 800;

bool ContainsAny(const Text& foldedText, Keywords keywords) {
    for (const std::u16string_view keyword : keywords) {
        if (foldedText.find(keyword) != Text::npos) {
            return true;
        }
    }
    return false;
}

bool EqualsAny(const Text& foldedText, Keywords values) {
    for (const std::u16string_view value : values) {
        if (foldedText == value) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool HasSchemaType(const PageRecord& page, const Text& typeName) {
    const Text folded = ToLower(typeName);
    for (const Text& type : page.schemaTypes) {
        if (ToLower(type) == folded) {
            return true;
        }
    }
    return false;
}

namespace {

// Pages made by a documentation tool, or showing its layout (a table-of-contents sidebar
// and previous/next links).
bool HasDocumentationLayout(const PageRecord& page) {
    return page.documentationTool || page.documentationMarks >= 2;
}

bool InDocumentationFolder(const Text& path) {
    return ContainsAny(path, {u"/docs/", u"/documentation", u"/guide", u"/manual/",
                              u"/reference/", u"/tutorial", u"/api/"});
}

// Sites that keep their manual on a host of its own: docs.example.com, developer.example.com.
bool OnDocumentationHost(const Text& host) {
    const Text firstLabel = ToLower(host.substr(0, host.find(u'.')));
    return firstLabel.size() < host.size() &&
           EqualsAny(firstLabel, {u"docs", u"doc", u"developer", u"developers", u"wiki"});
}

// Pages that name themselves a guide, or sit in a manual's folder with part of its layout.
bool LooksLikeDocumentation(const PageRecord& page, const Text& path, const Text& title) {
    const bool documentationPath = ContainsAny(
        path, {u"/guide", u"/docs/", u"/doc/", u"/documentation", u"/manual", u"/handbook",
               u"/reference/", u"/tutorial", u"/howto", u"/how-to"});
    return (documentationPath && page.documentationMarks >= 1) ||
           ContainsAny(path, {u"/guide", u"/docs/", u"/documentation"}) ||
           ContainsAny(title, {u"how to", u"how-to", u"howto", u"guide", u"tutorial"});
}

// A legal document names itself so in its address and its title alike; one of them alone
// is a page about something else ("email.policy", "CREATE POLICY", "terms of a loan").
bool IsLegalPage(const Text& path, const Text& title) {
    const Keywords legal = {u"privacy",    u"terms",   u"cookie",    u"imprint",
                                u"impressum",  u"licen",   u"legal",     u"disclaimer",
                                u"gdpr",       u"datenschutz"};
    return ContainsAny(path, legal) && ContainsAny(title, legal);
}

// Three and more products typed in a page's microdata are a shop's category, not one product.
constexpr int kListedProducts = 3;

// Markup that names a page of many items: the schema types of category and result pages, an
// Open Graph product group, products typed one by one.
bool HasCollectionMarkup(const PageRecord& page) {
    return HasSchemaType(page, u"CollectionPage") || HasSchemaType(page, u"SearchResultsPage") ||
           page.productGroupMeta || page.productItems >= kListedProducts;
}

// A product in the page's JSON-LD, its Open Graph metas or its microdata (one or two items:
// the product and perhaps its variant).
bool HasProductMarkup(const PageRecord& page) {
    return HasSchemaType(page, u"SoftwareApplication") || HasSchemaType(page, u"Product") ||
           page.productMeta || (page.productItems > 0 && page.productItems < kListedProducts);
}

// The words of the page's main content; all its words where the crawl did not count those.
int MainWords(const PageRecord& page) {
    return page.mainWordCount > 0 ? page.mainWordCount : page.wordCount;
}

// Many prices on one page without a product of its own: a category of a shop.
bool ListsPrices(const PageRecord& page) {
    constexpr int kListedPrices = 15;
    return page.priceMarks >= kListedPrices && !HasProductMarkup(page);
}

bool IsProductPage(const PageRecord& page) {
    return HasProductMarkup(page) || (page.priceMarks > 0 && page.addToCart);
}

// Few words for many links, over the whole page or over its main content: a listing's main
// content is little more than its links, however many words its menus and footers hold.
bool HasFewWordsPerLink(const PageRecord& page) {
    constexpr int kMinimumLinks = 30;
    constexpr int kMainWordsPerLink = 3;
    constexpr int kWordsPerLink = 6;
    if (page.linkCount < kMinimumLinks) {
        return false;
    }
    return page.wordCount < kWordsPerLink * page.linkCount ||
           (page.mainWordCount > 0 && page.mainWordCount < kMainWordsPerLink * page.linkCount);
}

// Repeated blocks of teasers or product cards; a few blocks beside a long text of the page's
// own are its related posts.
bool HasTeaserBlocks(const PageRecord& page) {
    constexpr int kTeasers = 3;
    constexpr int kWordsPerBlock = 150;
    return page.itemBlocks >= kTeasers && MainWords(page) < kWordsPerBlock * page.itemBlocks;
}

// Pages of many links and few words each lead elsewhere: category pages, archives, lists.
bool IsListingPage(const PageRecord& page) {
    return HasSchemaType(page, u"ItemList") || ListsPrices(page) || HasTeaserBlocks(page) ||
           HasFewWordsPerLink(page);
}

bool HasArticleSchema(const PageRecord& page) {
    return HasSchemaType(page, u"Article") || HasSchemaType(page, u"BlogPosting") ||
           HasSchemaType(page, u"NewsArticle") || HasSchemaType(page, u"TechArticle");
}

bool IsArticlePage(const PageRecord& page) {
    return page.articleMeta || HasArticleSchema(page);
}

// A review or buying guide types the products it writes about, yet has article markup of its
// own and sells none of them.
bool ReviewsProducts(const PageRecord& page) {
    return HasArticleSchema(page) && !page.addToCart;
}

// The folders content systems and shops keep their category, tag and topic pages in. A
// post filed there (/category/tea/my-post) has article markup of its own.
bool IsCategoryAddress(const PageRecord& page, const Text& path) {
    return ContainsAny(path, {u"/category/", u"/categories/", u"/tag/", u"/tags/", u"/topic/",
                              u"/collections/"}) &&
           !HasArticleSchema(page);
}

// Blog themes give their archives and category pages the article metas of their posts; a
// page of many teaser blocks with few words of its own for each is such an archive.
bool IsTeaserArchive(const PageRecord& page) {
    constexpr int kTeasers = 10;
    constexpr int kWordsPerTeaser = 40;
    return page.articleMeta && !HasArticleSchema(page) && page.itemBlocks >= kTeasers &&
           MainWords(page) < kWordsPerTeaser * page.itemBlocks;
}

}  // namespace

PageClass ClassifyPage(const PageRecord& page, const Text& startAddress) {
    // The query and fragment belong to the path, so /index.php?page=contact is no index.
    const UrlParts address = ParseUrl(page.url);
    const Text path = ToLower(address.path);
    const Text title = ToLower(page.title);

    if (page.url == startAddress ||
        EqualsAny(path, {u"/", u"/index.html", u"/index.php", u"/index.htm"})) {
        return PageClass::Index;
    }
    if (ContainsAny(
            path, {u"feedback", u"contact", u"/cart", u"checkout", u"/login", u"signin", u"sign-in",
                   u"/account", u"/search", u"basket", u"subscribe", u"newsletter"})) {
        return PageClass::Utility;
    }
    if (IsLegalPage(path, title)) {
        return PageClass::Legal;
    }
    if (HasDocumentationLayout(page)) {
        return PageClass::Guide;
    }
    // A category holds products and articles, and often says so in its own markup.
    if (HasCollectionMarkup(page)) {
        return PageClass::Index;
    }
    // The product such a manual describes is not what its pages sell.
    if (OnDocumentationHost(address.host)) {
        return PageClass::Guide;
    }
    if ((HasProductMarkup(page) && !ReviewsProducts(page)) ||
        (IsProductPage(page) && !IsArticlePage(page) && !ListsPrices(page))) {
        return PageClass::Product;
    }
    if (InDocumentationFolder(path)) {
        return PageClass::Guide;
    }
    if (IsCategoryAddress(page, path) || IsTeaserArchive(page)) {
        return PageClass::Index;
    }
    if (IsArticlePage(page)) {
        return PageClass::Article;
    }
    if (IsListingPage(page)) {
        return PageClass::Index;
    }
    if (LooksLikeDocumentation(page, path, title)) {
        return PageClass::Guide;
    }
    if (ContainsAny(path, {u"/article", u"/blog", u"/news", u"/post", u"/story"})) {
        return PageClass::Article;
    }
    if (page.wordCount >= kArticleWordCount) {
        return PageClass::Article;
    }
    return PageClass::Utility;
}

void ClassifyBySiteLayout(std::vector<PageRecord>& pages) {
    // Pages of a documentation site that say little of their own layout (a module's
    // reference page) still belong to the manual; shops and blogs keep their classes.
    int marked = 0;
    for (const PageRecord& page : pages) {
        marked += page.documentationTool || page.documentationMarks >= 2 ? 1 : 0;
    }
    if (pages.empty() || marked * 2 < static_cast<int>(pages.size())) {
        return;
    }
    for (PageRecord& page : pages) {
        if ((page.pageClass == PageClass::Article || page.pageClass == PageClass::Utility) &&
            page.documentationMarks >= 1) {
            page.pageClass = PageClass::Guide;
        }
    }
}

}  // namespace bcnk
