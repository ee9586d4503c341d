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

PageClass ClassifyPage(const PageRecord& page, const Text& startAddress) {
    // The query and fragment belong to the path, so /index.php?page=contact is no index.
    const Text path = ToLower(ParseUrl(page.url).path);
    const Text title = ToLower(page.title);
    const Text h1 = ToLower(page.h1);

    if (page.url == startAddress ||
        EqualsAny(path, {u"/", u"/index.html", u"/index.php", u"/index.htm"})) {
        return PageClass::Index;
    }
    if (ContainsAny(
            path, {u"feedback", u"contact", u"/cart", u"checkout", u"/login", u"signin", u"sign-in",
                   u"/account", u"/search", u"basket", u"subscribe", u"newsletter"})) {
        return PageClass::Utility;
    }
    if (ContainsAny(path, {u"privacy", u"terms", u"policy", u"legal", u"disclaimer"}) ||
        ContainsAny(title, {u"privacy", u"terms"})) {
        return PageClass::Legal;
    }
    if (ContainsAny(path, {u"/guide", u"/docs", u"/documentation"}) ||
        ContainsAny(title, {u"how to", u"how-to", u"guide"})) {
        return PageClass::Guide;
    }
    if (ContainsAny(path, {u"/article", u"/blog", u"/news", u"/post"})) {
        return PageClass::Article;
    }
    if (HasSchemaType(page, u"SoftwareApplication") || HasSchemaType(page, u"Product") ||
        ContainsAny(path, {u"/product", u"buy.php", u"pricing", u"download"}) ||
        ContainsAny(h1, {u"pricing", u"buy", u"download"})) {
        return PageClass::Product;
    }
    if (HasSchemaType(page, u"Article") || HasSchemaType(page, u"BlogPosting") ||
        page.wordCount >= kArticleWordCount) {
        return PageClass::Article;
    }
    return PageClass::Utility;
}

}  // namespace bcnk
