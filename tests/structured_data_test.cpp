#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/structured_data.h"

namespace bcnk {
namespace {

using Texts = std::vector<Text>;

Text Block(const Text& json) {
    return u"<script type=\"application/ld+json\">" + json + u"</script>";
}

struct Expected {
    Texts types;
    Text organization;
    Text person;
    Text product;
};

void ExpectDetected(const Text& page, const Expected& expected) {
    ParsedPage parsed;
    DetectStructuredData(page, parsed);
    const std::string shown(page.begin(), page.end());
    EXPECT_EQ(parsed.schemaTypes, expected.types) << shown;
    EXPECT_EQ(parsed.organizationName, expected.organization) << shown;
    EXPECT_EQ(parsed.personName, expected.person) << shown;
    EXPECT_EQ(parsed.productName, expected.product) << shown;
}

TEST(DetectStructuredData, TypesAreDistinctInFirstAppearanceOrder) {
    ExpectDetected(Block(u"{\"@type\":\"Organization\"}") + Block(u"{\"@type\":\"WebSite\"}") +
                       Block(u"{\"@type\":\"Organization\"}"),
                   {{u"Organization", u"WebSite"}, u"", u"", u""});
    ExpectDetected(Block(u"{\"@type\":\"Organization\"}{\"@type\":\"organization\"}"),
                   {{u"Organization", u"organization"}, u"", u"", u""});
    ExpectDetected(Block(u"{\"@type\":[\"Organization\",\"Brand\"]}"),
                   {{u"Organization"}, u"", u"", u""});
    ExpectDetected(Block(u"{\"@graph\":[{\"@type\" : \" Thing \"},{\"@TYPE\":\"Other\"}]}"),
                   {{u"Thing", u"Other"}, u"", u"", u""});
}

TEST(DetectStructuredData, ValuesThatAreNotStrings) {
    ExpectDetected(Block(u"{\"@type\": 5, \"x\": \"y\"}"), {{u"x"}, u"", u"", u""});
    ExpectDetected(Block(u"{\"@type\": {\"a\": \"b\"}}"), {{u"a"}, u"", u"", u""});
    ExpectDetected(Block(u"{\"@type\": \"\"}"), {{}, u"", u"", u""});
}

TEST(DetectStructuredData, Names) {
    struct Row {
        Text json;
        Expected expected;
    };
    const std::vector<Row> rows = {
        {u"{\"@type\":\"Organization\",\"name\":\"Acme &amp; Co\"}",
         {{u"Organization"}, u"Acme & Co", u"", u""}},
        {u"{\"@type\":\"Person\",\"name\":\" Jane Doe \"}", {{u"Person"}, u"", u"Jane Doe", u""}},
        // A block that mentions an organisation never yields a person; its first name key
        // is taken for the organisation even when it is the person's.
        {u"{\"@type\":\"Person\",\"name\":\"Jane\",\"worksFor\":{\"@type\":\"Organization\","
         u"\"name\":\"Acme\"}}",
         {{u"Person", u"Organization"}, u"Jane", u"", u""}},
        {u"{\"@type\":\"Product\",\"offers\":{\"@type\":\"Offer\",\"name\":\"Deal\"},"
         u"\"name\":\"Widget\"}",
         {{u"Product", u"Offer"}, u"", u"", u"Deal"}},
        {u"{\"@type\":\"Product\",\"name\":\"Box\",\"isRelatedTo\":{\"@type\":"
         u"\"SoftwareApplication\",\"name\":\"App\"}}",
         {{u"Product", u"SoftwareApplication"}, u"", u"", u"App"}},
        // A service is named like a product; a product in the same block goes first.
        {u"{\"@type\":\"Service\",\"name\":\"Lamp care\"}", {{u"Service"}, u"", u"", u"Lamp care"}},
        {u"{\"@type\":\"Service\",\"name\":\"S\",\"offers\":{\"@type\":\"Product\",\"name\":\"P\"}"
         u"}",
         {{u"Service", u"Product"}, u"", u"", u"P"}},
        {u"{\"@type\":\"Organization\",\"name\":\"Say \\\"Hi\\\"\"}",
         {{u"Organization"}, u"Say \\", u"", u""}},
        {u"{\"@type\":\"Organization\",\"name\":\"Caf\\u00e9\"}",
         {{u"Organization"}, u"Caf\\u00e9", u"", u""}},
        {u"{\"NAME\":\"Upper\",\"@TYPE\":\"ORGANIZATION\"}",
         {{u"ORGANIZATION"}, u"Upper", u"", u""}},
        // A type word anywhere in the block counts, not only as a type.
        {u"{\"@type\":\"WebPage\",\"about\":\"product\",\"name\":\"Mentioned\"}",
         {{u"WebPage"}, u"", u"", u"Mentioned"}},
        {u"{\"@type\":\"Person\",\"name\":}", {{u"Person"}, u"", u"", u""}},
    };
    for (const Row& row : rows) {
        ExpectDetected(Block(row.json), row.expected);
    }
}

TEST(DetectStructuredData, FirstBlockWithANameWins) {
    ExpectDetected(Block(u"{\"@type\":\"Organization\",\"name\":\"  \"}") +
                       Block(u"{\"@type\":\"Organization\",\"name\":\"Second\"}") +
                       Block(u"{\"@type\":\"Organization\",\"name\":\"Third\"}") +
                       Block(u"{\"@type\":\"Person\",\"name\":\"P1\"}") +
                       Block(u"{\"@type\":\"Person\",\"name\":\"P2\"}"),
                   {{u"Organization", u"Person"}, u"Second", u"P1", u""});
}

TEST(DetectStructuredData, MalformedBlocks) {
    // A type key without a colon behind it ends the types of its block, not its names.
    ExpectDetected(Block(u"{\"@type\":\"A\",\"product\",\"name\":\"N\",\"@type\"") +
                       Block(u"{\"@type\":\"B\"}"),
                   {{u"A", u"B"}, u"", u"", u"N"});
    ExpectDetected(Block(u"{\"@type\":\"A\"") + u"<script type=\"application/ld+json\">" +
                       u"{\"@type\":\"Cut\"}",
                   {{u"A"}, u"", u"", u""});
    ExpectDetected(u"<script type=\"application/ld+json\"", {{}, u"", u"", u""});
    ExpectDetected(Block(u"{\"@type\":\"Open"), {{}, u"", u"", u""});
    ExpectDetected(Block(u"{{{[[[\"@type\"\"@type\"\"@type\":\"Deep\"]]"),
                   {{u"Deep"}, u"", u"", u""});
    ExpectDetected(Block(u""), {{}, u"", u"", u""});
}

TEST(DetectStructuredData, MarkerOutsideScriptTags) {
    ExpectDetected(u"<p>Use application/LD+JSON like this> {\"@type\":\"Thing\"}</script>",
                   {{u"Thing"}, u"", u"", u""});
    ExpectDetected(u"<script type=\"application/json\">{\"@type\":\"No\"}</script>",
                   {{}, u"", u"", u""});
}

TEST(DetectStructuredData, ParsedPageCarriesTheResults) {
    const ParsedPage page = ParseHtmlPage(
        "<html><script type='application/ld+json'>{\"@type\":\"SoftwareApplication\","
        "\"name\":\"Backup Pro\"}</script></html>");
    EXPECT_EQ(page.schemaTypes, Texts{u"SoftwareApplication"});
    EXPECT_EQ(page.productName, u"Backup Pro");
}

TEST(DetectStructuredData, ManyDistinctTypes) {
    Text json;
    constexpr int kTypes = 50000;
    for (int k = 0; k < kTypes; ++k) {
        json += u"{\"@type\":\"T" + NumberText(k) + u"\"}";
    }
    ParsedPage parsed;
    DetectStructuredData(Block(json) + Block(json), parsed);
    ASSERT_EQ(parsed.schemaTypes.size(), static_cast<size_t>(kTypes));
    EXPECT_EQ(parsed.schemaTypes.back(), u"T" + NumberText(kTypes - 1));
}

}  // namespace
}  // namespace bcnk
