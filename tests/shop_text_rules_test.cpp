#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "analysis/main_content.h"
#include "analysis/builder_filler.h"
#include "analysis/shop_lines.h"
#include "analysis/shop_rules.h"

namespace bcnk {
namespace {

// Lines of shop pages and what each of the rules on text makes of them.
TEST(ShopTextRules, LinesOfShopPages) {
    struct Row {
        std::string text;
        bool price, filler, shopHeading, control;
    };
    const Row rows[] = {
        {"$24.00", true, false, false, false},
        {"Sale price $28.80 Regular price $36", true, false, false, false},
        {"Price: USD 99.60", true, false, false, false},
        {"\xE2\x82\xAC" "17,50 incl. VAT", true, false, false, false},
        {"$149.00 - $159.00", true, false, false, false},
        {"Free shipping on orders over $75", false, false, true, false},
        {"2024 edition", false, false, false, false},
        {"1999 \xE2\x80\x93 2005", false, false, false, false},
        {"\xC2\xA3" "79", true, false, false, false},
        {"Price on request", false, false, false, false},
        {"Text here and there: notes on margins in print", false, false, false, false},
        {"Lorem ipsum dolor sit amet, consectetur adipiscing elit.", false, true, false, false},
        {"Your Custom Text Here", false, true, false, false},
        {"Customer Reviews (212)", false, false, true, false},
        {"Shipping & Returns", false, false, true, false},
        {"You may also like", false, false, true, false},
        {"Frequently asked questions", false, false, false, false},
        {"Specifications", false, false, false, false},
        {"Deliveryman's jacket, a history", false, false, false, false},
        {"Showing 24 of 514 results", false, false, false, true},
        {"1-30 of 1000", false, false, false, true},
        {"1\xE2\x80\x93" "30 of 143 products", false, false, false, true},
        {"3 of 4 items", false, false, false, true},
        {"Pack of 3 items", false, false, false, false},
        {"(154 products)", false, false, false, true},
        {"Sort by: Best Match", false, false, false, true},
        {"Filter & Sort", false, false, false, true},
        {"Sorting laundry by colour saves time", false, false, false, false},
        {"Showing the garden in spring", false, false, false, false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(IsPriceLine(row.text), row.price) << row.text;
        EXPECT_EQ(IsBuilderFiller(row.text), row.filler) << row.text;
        EXPECT_EQ(IsShopSectionHeading(row.text), row.shopHeading) << row.text;
        EXPECT_EQ(IsListingControl(row.text), row.control) << row.text;
    }
}

size_t Occurrences(const std::string& text, const std::string& phrase) {
    size_t count = 0;
    for (size_t at = text.find(phrase); at != std::string::npos; at = text.find(phrase, at + 1)) {
        ++count;
    }
    return count;
}

// A passage written twice (for narrow and wide screens) is read once; a page that teaches
// with code keeps its repeated explanations, one for each variant.
TEST(ShopTextRules, PassagesWrittenTwiceAreReadOnce) {
    const std::string passage =
        "<p>Our wool runner is knit from merino that keeps feet warm in winter and cool in "
        "summer, and it goes in the washing machine.</p>";
    const std::string twice = "<body><main><h1>Wool runner</h1><div class=mobile>" + passage +
                              "</div><div class=desktop>" + passage + "</div></main>";
    EXPECT_EQ(Occurrences(ContentText(ExtractMainContent(twice, "https://example.test/")),
                          "merino"),
              1u);
    const std::string taught = "<body><main><h1>Sending</h1><h2>Python</h2>" + passage +
                               "<pre>send()</pre><h2>Go</h2>" + passage +
                               "<pre>Send()</pre></main>";
    EXPECT_EQ(Occurrences(ContentText(ExtractMainContent(taught, "https://example.test/")),
                          "merino"),
              2u);
}

// Only a whole line that is a picture's or video's address is a theme's field.
TEST(ShopTextRules, MediaAddressLines) {
    const std::pair<const char*, bool> rows[] = {
        {"https://cdn.example.test/5001/TEE_BONE_THUMB.jpg", true},
        {"  HTTP://cdn.example.test/a/b.WebP?width=160&v=2 ", true},
        {"https://cdn.example.test/clip.mp4#t=3", true},
        {"https://example.test/jpg", false},
        {"https://example.test/guide.html", false},
        {"See https://cdn.example.test/a.png for the colours", false},
        {"ftp://example.test/a.png", false},
        {"photo.jpg", false},
        {".jpg", false},
    };
    for (const auto& [text, media] : rows) {
        EXPECT_EQ(IsMediaAddressLine(text), media) << text;
    }
}

// Stickers and swatch counts alone on a card's line; words that merely start like them stay.
TEST(ShopTextRules, CardBadges) {
    const std::pair<const char*, bool> rows[] = {
        {"New", true},          {" Best-Seller! ", true},      {"SOLD OUT", true},
        {"+8", true},           {"5 Colours", true},           {"12 colors available", true},
        {"More options", true}, {"New Zealand wool", false},   {"Sale ends Sunday", false},
        {"+12345", false},      {"5 colours of linen", false}, {"Featured", false},
        {"+", false},           {"colours", false},
    };
    for (const auto& [text, badge] : rows) {
        EXPECT_EQ(IsCardBadge(text), badge) << text;
    }
}

// A shop's controls and notices alone on their line; sentences about them stay.
TEST(ShopTextRules, ShopControls) {
    const std::pair<const char*, bool> rows[] = {
        {"Your Cart is Empty", true},
        {"Notify Me When Back in Stock", true},
        {"+ Free Shipping", true},
        {"Results per page:", true},
        {"Coming soon!", true},
        {"Free shipping on every order we send to Canada this month", false},
        {"Our size guide was drawn from thousands of fittings", false},
    };
    for (const auto& [text, control] : rows) {
        EXPECT_EQ(IsShopControlLine(text), control) << text;
    }
}

// The reviews widget's summary, in the ways shops word it; sentences about ratings stay.
TEST(ShopTextRules, RatingSummaries) {
    const std::pair<const char*, bool> rows[] = {
        {"4.6 out of 5 Stars. 1664 reviews", true},
        {"Rated 4.76 out of 5 based on 29 customer ratings", true},
        {"(146,980)", true},
        {"339 Reviews", true},
        {"4.7 out of 5 stars with 914 reviews", true},
        {"Reviews", false},
        {"(approx.)", false},
        {"()", false},
        {"5 stars for comfort, says our tester", false},
        {"Rated for 5,000 hours of use", false},
    };
    for (const auto& [text, rating] : rows) {
        EXPECT_EQ(IsRatingSummary(text), rating) << text;
    }
}

}  // namespace
}  // namespace bcnk
