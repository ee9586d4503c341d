#include <gtest/gtest.h>

#include <string>

#include "analysis/page_notices.h"
#include "analysis/shop_rules.h"

namespace bcnk {
namespace {

// Lines of shop pages and what each text rule makes of them.
TEST(ShopTextRules, LinesOfShopPages) {
    struct Row {
        std::string text;
        bool price, notice, shopHeading;
    };
    const Row rows[] = {
        {"$24.00", true, false, false},
        {"Sale price $28.80 Regular price $36", true, false, false},
        {"Price: USD 99.60", true, false, false},
        {"\xE2\x82\xAC" "17,50 incl. VAT", true, false, false},
        {"$149.00 - $159.00", true, false, false},
        {"Free shipping on orders over $75", false, false, true},
        {"2024 edition", false, false, false},
        {"Price on request", false, false, false},
        {"You need to enable JavaScript to run this app.", false, true, false},
        {"JavaScript is a language of the web and this guide teaches it from the start.", false,
         false, false},
        {"${{amount_no_decimals}}", false, true, false},
        {"Lorem ipsum dolor sit amet, consectetur adipiscing elit.", false, true, false},
        {"Your Custom Text Here", false, true, false},
        {"Customer Reviews (212)", false, false, true},
        {"Shipping & Returns", false, false, true},
        {"You may also like", false, false, true},
        {"Frequently asked questions", false, false, false},
        {"Specifications", false, false, false},
        {"Deliveryman's jacket, a history", false, false, false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(IsPriceLine(row.text), row.price) << row.text;
        EXPECT_EQ(IsPageNotice(row.text), row.notice) << row.text;
        EXPECT_EQ(IsShopSectionHeading(row.text), row.shopHeading) << row.text;
    }
}

}  // namespace
}  // namespace bcnk
