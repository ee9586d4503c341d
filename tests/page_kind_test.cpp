#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/page_kind.h"

namespace bcnk {
namespace {

TEST(ReadPageKindMarks, ProductMetasAndMicrodata) {
    struct Row {
        Text page;
        bool productMeta;
        bool productGroupMeta;
        int productItems;
    };
    const std::vector<Row> rows = {
        {u"<meta property=\"og:type\" content=\"product\">", true, false, 0},
        {u"<META content='Product' property='og:type'>", true, false, 0},
        {u"<meta property=og:type content=product>", true, false, 0},
        {u"<meta property=\"og:type\" content=\"product.group\">", false, true, 0},
        {u"<meta property=\"product:price:amount\" content=\"9.99\">", true, false, 0},
        // Only the og:type meta's own content counts.
        {u"<meta name=\"x\" content=\"product\"><meta property=\"og:type\" content=\"website\">",
         false, false, 0},
        {u"<meta property=\"og:type\" content=\"products\">", false, false, 0},
        {u"<div itemscope itemtype=\"https://schema.org/Product\">"
         u"<li itemtype='http://schema.org/Product'><li itemtype=\"https://schema.org/ProductGroup\">",
         false, false, 2},
        {u"", false, false, 0},
    };
    for (const Row& row : rows) {
        const PageKindMarks marks = ReadPageKindMarks(row.page);
        EXPECT_EQ(marks.productMeta, row.productMeta) << std::string(row.page.begin(), row.page.end());
        EXPECT_EQ(marks.productGroupMeta, row.productGroupMeta)
            << std::string(row.page.begin(), row.page.end());
        EXPECT_EQ(marks.productItems, row.productItems)
            << std::string(row.page.begin(), row.page.end());
    }
}

TEST(ReadPageKindMarks, GeneratorMetaNamesTheDocumentationTool) {
    EXPECT_TRUE(ReadPageKindMarks(u"<meta name=\"generator\" content=\"Sphinx 7.2\">")
                    .generatorIsDocumentationTool);
    EXPECT_FALSE(ReadPageKindMarks(u"<meta name=\"description\" content=\"sphinx\">")
                     .generatorIsDocumentationTool);
}

}  // namespace
}  // namespace bcnk
