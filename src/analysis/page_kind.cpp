#include "analysis/page_kind.h"

#include <array>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace bcnk {
namespace {

enum Mark {
    kTocSidebar,
    kPreviousNext,
    kPrice,
    kAddToCart,
    kArticleTime,
    kOgType,
    kArticleValue,
    kArticleBlock,
    kProductCard,
    kProductPrice,
    kProductItem,
    kMarks
};

struct MarkText {
    Mark mark;
    std::string_view text;
};

// Class and id names the common documentation themes give their navigation, link relations
// of previous/next navigation, shop and article markup; all lower-case ASCII.
constexpr MarkText kMarkTexts[] = {
    {kTocSidebar, "toctree"},          {kTocSidebar, "sphinxsidebar"},
    {kTocSidebar, "sidebar-toc"},      {kTocSidebar, "table-of-contents"},
    {kTocSidebar, "md-nav"},           {kTocSidebar, "docs-sidebar"},
    {kTocSidebar, "theme-doc-"},       {kTocSidebar, "menu__list"},
    {kTocSidebar, "bd-sidebar"},       {kTocSidebar, "wy-nav-side"},
    {kTocSidebar, "navheader"},        {kTocSidebar, "navfooter"},
    {kTocSidebar, "docs-nav"},         {kTocSidebar, "doc-nav"},
    {kTocSidebar, "docs-toc"},         {kTocSidebar, "book-nav"},
    {kTocSidebar, "on-this-page"},     {kTocSidebar, "class=\"toc\""},
    {kTocSidebar, "id=\"toc\""},
    {kPreviousNext, "rel=\"next\""},   {kPreviousNext, "rel=\"prev\""},
    {kPreviousNext, "rel='next'"},     {kPreviousNext, "rel='prev'"},
    {kPreviousNext, "rel=next"},       {kPreviousNext, "rel=prev"},
    {kPreviousNext, "accesskey=\"n\""}, {kPreviousNext, "accesskey=\"p\""},
    {kPrice, "itemprop=\"price\""},    {kPrice, "class=\"price"},
    {kPrice, " price\""},              {kPrice, "price-"},
    {kAddToCart, "add to cart"},       {kAddToCart, "add-to-cart"},
    {kAddToCart, "add_to_cart"},       {kAddToCart, "addtocart"},
    {kAddToCart, "add to bag"},        {kAddToCart, "add to basket"},
    {kAddToCart, "in den warenkorb"},  {kAddToCart, "ajouter au panier"},
    {kArticleTime, "article:published_time"}, {kArticleTime, "\"datepublished\""},
    {kArticleTime, "itemprop=\"datepublished\""},
    {kOgType, "og:type"},
    {kArticleValue, "content=\"article\""}, {kArticleValue, "content='article'"},
    {kArticleBlock, "<article"},
    {kProductCard, "product-card"},    {kProductCard, "product-item"},
    {kProductCard, "productcard"},     {kProductCard, "product-tile"},
    {kProductCard, "product_tile"},    {kProductCard, "card-product"},
    {kProductCard, "product-grid-item"},
    {kProductPrice, "product:price:amount"}, {kProductPrice, "og:price:amount"},
    {kProductItem, "schema.org/product\""}, {kProductItem, "schema.org/product'"},
};

// The marks by their first two bytes, so one pass over the page compares each position
// with the few marks that can start there.
class MarkTable {
  public:
    MarkTable() {
        for (const MarkText& entry : kMarkTexts) {
            buckets_[Key(entry.text[0], entry.text[1])].push_back(&entry);
        }
    }
    std::array<int, kMarks> Count(const std::string& folded) const {
        std::array<int, kMarks> counts{};
        for (size_t at = 0; at + 1 < folded.size(); ++at) {
            for (const MarkText* entry : buckets_[Key(folded[at], folded[at + 1])]) {
                if (folded.compare(at, entry->text.size(), entry->text) == 0) {
                    ++counts[entry->mark];
                }
            }
        }
        return counts;
    }

  private:
    static size_t Key(char first, char second) {
        return static_cast<size_t>(static_cast<unsigned char>(first)) << 8 |
               static_cast<unsigned char>(second);
    }
    std::array<std::vector<const MarkText*>, 1 << 16> buckets_;
};

bool ContainsAny(const std::string& text, std::initializer_list<std::string_view> needles) {
    for (const std::string_view needle : needles) {
        if (text.find(needle) != std::string::npos) {
            return true;
        }
    }
    return false;
}

// The first <meta> tag that holds one of `names` ("name=\"generator\""), folded; empty when
// there is none.
std::string MetaTag(const std::string& folded, std::initializer_list<std::string_view> names) {
    for (size_t at = folded.find("<meta"); at != std::string::npos;
         at = folded.find("<meta", at + 5)) {
        const size_t end = folded.find('>', at);
        if (end == std::string::npos) {
            break;
        }
        std::string tag = folded.substr(at, end - at);
        if (ContainsAny(tag, names)) {
            return tag;
        }
    }
    return std::string();
}

// The value of a tag's content attribute, quoted or not.
std::string ContentOf(const std::string& tag) {
    size_t at = tag.find("content=");
    if (at == std::string::npos) {
        return std::string();
    }
    at += 8;
    const char quote = at < tag.size() && (tag[at] == '"' || tag[at] == '\'') ? tag[at] : ' ';
    at += quote == ' ' ? 0 : 1;
    const size_t end = quote == ' ' ? tag.find_first_of(" /", at) : tag.find(quote, at);
    return tag.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

// The page in lower-case ASCII, every other unit one 0x80 byte: every mark looked for is
// ASCII, and byte comparisons are far quicker than those of UTF-16 text.
std::string FoldedAscii(const Text& page) {
    std::string folded(page.size(), '\x80');
    for (size_t index = 0; index < page.size(); ++index) {
        const char16_t unit = page[index];
        if (unit < 0x80) {
            folded[index] = static_cast<char>(unit >= u'A' && unit <= u'Z' ? unit + 32 : unit);
        }
    }
    return folded;
}

}  // namespace

PageKindMarks ReadPageKindMarks(const Text& page) {
    static const MarkTable table;
    const std::string folded = FoldedAscii(page);
    const std::array<int, kMarks> counts = table.Count(folded);
    PageKindMarks signals;
    signals.generatorIsDocumentationTool =
        ContainsAny(MetaTag(folded, {"name=\"generator\"", "name='generator'", "name=generator"}),
                    {"sphinx", "docutils", "mkdocs", "docusaurus", "docbook", "gitbook",
                     "vitepress", "vuepress", "doxygen", "javadoc", "antora", "rustdoc",
                     "typedoc", "pkgdown", "docfx", "mdbook", "mintlify", "nextra",
                     "starlight", "publican", "texinfo", "jsdoc"});
    signals.documentationMarks = (signals.generatorIsDocumentationTool ? 1 : 0) +
                                 (counts[kTocSidebar] > 0 ? 1 : 0) +
                                 (counts[kPreviousNext] > 0 ? 1 : 0);
    signals.priceMarks = counts[kPrice];
    signals.addToCart = counts[kAddToCart] > 0;
    signals.articleMeta =
        counts[kArticleTime] > 0 || (counts[kOgType] > 0 && counts[kArticleValue] > 0);
    signals.itemBlocks = counts[kArticleBlock] + counts[kProductCard];
    const std::string ogType =
        ContentOf(MetaTag(folded, {"property=\"og:type\"", "property='og:type'",
                                   "property=og:type", "name=\"og:type\""}));
    signals.productMeta = ogType == "product" || counts[kProductPrice] > 0;
    signals.productGroupMeta = ogType == "product.group";
    signals.productItems = counts[kProductItem];
    return signals;
}

}  // namespace bcnk
