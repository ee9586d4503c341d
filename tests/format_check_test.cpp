// The format tests behind "Valid" in the discovery list: whole documents or nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan/format_check.h"

namespace bcnk {
namespace {

struct Row {
    std::string body;
    bool valid;
};

void ExpectRows(bool (*check)(std::string_view), const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        EXPECT_EQ(check(row.body), row.valid) << "body: " << row.body;
    }
}

std::string Nested(const std::string& open, const std::string& close, std::size_t depth) {
    std::string text;
    for (std::size_t i = 0; i < depth; ++i) {
        text += open;
    }
    for (std::size_t i = 0; i < depth; ++i) {
        text += close;
    }
    return text;
}

TEST(IsJsonDocument, WholeJsonTextsWithAnObject) {
    ExpectRows(
        IsJsonDocument,
        {
            {"{}", true},
            {"\xEF\xBB\xBF \n{\"a\": [1, -2.5e+3, 0, true, false, null, \"\\u00e9\\n\"]}\n", true},
            {"[{\"location\": \"/\", \"tdm-reservation\": 1}]", true},
            {"{\"k\": \"caf\xC3\xA9\"}", true},
            {"{", false},
            {"[]", false},  // no object: no file of the package looks like this
            {"\"text\"", false},
            {"{} {}", false},
            {"{\"a\": 1,}", false},
            {"{'a': 1}", false},
            {"{\"a\": 01}", false},
            {"{\"a\": 1.}", false},
            {"{\"a\": \"tab\there\"}", false},
            {"{\"a\": \"\\x\"}", false},
            {"{\"a\": \"\\u12G4\"}", false},
            {"{\"a\": tru}", false},
            {"{\"a\" 1}", false},
            {"x{", false},
            {"\x1F\x8B\x08{<\x00\xFF", false},  // gzip bytes holding both markers
            {"{\"a\": \"\xFF\"}", false},       // not UTF-8
            {"", false},
            {Nested("[", "]", 100) + "{}", false},
            {"[" + Nested("{\"a\":", "}", 0) + "{}]", true},
            {Nested("[", "]", 255).insert(255, "{}"), true},
            {Nested("[", "]", 256).insert(256, "{}"), false},  // deeper than the bound
        });
}

TEST(IsXmlDocument, WellFormedDocumentsOnly) {
    const std::string sitemap =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<urlset xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">\n"
        "  <url><loc>https://example.com/a&amp;b&apos;c?x=&#38;&#x26;</loc></url>\n"
        "</urlset>\n";
    ExpectRows(
        IsXmlDocument,
        {
            {sitemap, true},
            {"\xEF\xBB\xBF\n  " + sitemap, true},
            {"<urlset/>", true},
            {"<!-- c --><?pi x?><a b='1' c=\"2\"><![CDATA[<&]]><b/>t\xC3\xA9</a><!--e-->", true},
            {"<!DOCTYPE a [<!ENTITY e \"x>\">]><a>&e;</a>", true},
            {"<a>&e;</a>", false},  // undeclared entity
            {"<", false},
            {"<a>", false},
            {"<a></b>", false},
            {"<a><b></a></b>", false},
            {"<a/><b/>", false},  // two roots
            {"text<a/>", false},
            {"<a/>text", false},
            {"<a x=1/>", false},
            {"<a x='1'x='2'/>", false},
            {"<a x='1' x='2'/>", false},
            {"<a x='<'/>", false},
            {"<a>&amp</a>", false},
            {"<a>&#0;</a>", false},
            {"<a>]]></a>", false},
            {"<a><!-- x -- y --></a>", false},
            {"<a>\x01</a>", false},
            {"<?xml?><urlset/>", false},
            {"<a>\xFF</a>", false},
            {"{}", false},
            {"\x1F\x8B\x08{<\x00\xFF", false},
            {"", false},
            {Nested("<a>", "</a>", 256), true},
            {Nested("<a>", "</a>", 257), false},
        });
}

}  // namespace
}  // namespace bcnk
