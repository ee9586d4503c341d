#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/main_content.h"
#include "analysis/markdown.h"

namespace bcnk {
namespace {

std::string Twin(const std::string& html) {
    return WriteMarkdown(ExtractMainContent(html, "https://example.test/docs/page"),
                         "https://example.test/docs/page");
}

const std::string kProse =
    "This paragraph is long enough to read as the content of the page for any reader. ";

TEST(WriteMarkdown, TitleAddressAndBlocks) {
    const std::string html =
        "<title>Guide</title><article><h2>Install</h2><p>" + kProse +
        "</p><ul><li>One<ul><li>Inner</li></ul></li><li>Two</li></ul>"
        "<ol><li>First</li><li>Second</li></ol>"
        "<table><tr><th>Key</th><th>Value</th></tr><tr><td>a|b</td><td>2</td></tr></table>"
        "<pre><code>x = `y`\n```\nend</code></pre>"
        "<blockquote><p>Quoted words here</p></blockquote>"
        "<p>See <a href='../api'>the API</a> and <img src='img.png' alt='Diagram'></p></article>";
    const std::string expected =
        "# Guide\n\n<https://example.test/docs/page>\n\n"
        "## Install\n\n" + kProse.substr(0, kProse.size() - 1) + "\n\n"
        "- One\n  - Inner\n- Two\n\n"
        "1. First\n2. Second\n\n"
        "| Key | Value |\n| --- | --- |\n| a\\|b | 2 |\n\n"
        "````\nx = `y`\n```\nend\n````\n\n"
        "> Quoted words here\n\n"
        "See [the API](https://example.test/api) and ![Diagram](https://example.test/docs/img.png)\n";
    EXPECT_EQ(Twin(html), expected);
    // The text's own headline is the one H1; the title with the site's name stands aside.
    EXPECT_EQ(Twin("<title>json | Docs</title><article><h1>The <code>json</code> module</h1><p>" +
                   kProse + "</p></article>"),
              "# The `json` module\n\n<https://example.test/docs/page>\n\n" +
                  kProse.substr(0, kProse.size() - 1) + "\n");
}

TEST(WriteMarkdown, PageTextStaysText) {
    struct Row {
        std::string text;
        std::string escaped;
    };
    const std::vector<Row> rows = {
        {"*bold* _it_ `code`", "\\*bold\\* \\_it\\_ \\`code\\`"},
        {"<script>alert(1)</script>", "\\<script>alert(1)\\</script>"},
        {"[link](javascript:x)", "\\[link\\](javascript:x)"},
        {"# not a heading", "\\# not a heading"},
        {"- not a list", "\\- not a list"},
        {"2024. A year", "2024\\. A year"},
        {"a & b &amp; c", "a \\& b \\&amp; c"},
        {"C# and F#", "C\\# and F\\#"},
        {"tab\there\x01", "tab here "},
        {"bad \xFF byte", "bad \xEF\xBF\xBD byte"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(EscapeMarkdownText(row.text), row.escaped) << row.text;
    }
}

TEST(WriteMarkdown, OnlyWebLinksLive) {
    const std::string html =
        "<title>*Stars* [and] `ticks` <b></title><article><p>" + kProse +
        "<a href='javascript:alert(1)'>script link</a> <a href='data:text/html,x'>data link</a> "
        "<a href='mailto:a@example.test'>mail</a> <a href='https://ok.test/a b(c)'>web</a> "
        "<a href='https://[::1]/caf\xC3\xA9/{x}|\"q\"[1]^`'>uri</a> "
        "<img src='javascript:x' alt='no image'></p></article>";
    const std::string twin = Twin(html);
    EXPECT_EQ(twin.substr(0, twin.find('\n')), "# \\*Stars\\* \\[and\\] \\`ticks\\` \\<b>");
    EXPECT_EQ(twin.find("javascript"), std::string::npos);
    EXPECT_EQ(twin.find("data:"), std::string::npos);
    EXPECT_EQ(twin.find("mailto"), std::string::npos);
    // Destinations are URIs: what RFC 3986 leaves out is escaped, the host's brackets kept.
    EXPECT_NE(twin.find("script link data link mail [web](https://ok.test/a%20b%28c%29) "
                        "[uri](https://[::1]/caf%C3%A9/%7Bx%7D%7C%22q%22%5B1%5D%5E%60)"),
              std::string::npos)
        << twin;
}

// Hostile shapes must not multiply the page's size: a twin is written for every page.
TEST(WriteMarkdown, StaysInProportionToThePage) {
    std::string ragged = "<table><tr>";
    for (int c = 0; c < 500; ++c) {
        ragged += "<th>h</th>";
    }
    ragged += "</tr>";
    for (int r = 0; r < 500; ++r) {
        ragged += "<tr><td>a</td><td>b</td></tr>";
    }
    ragged += "</table>";
    std::string nested;
    for (int level = 0; level < 150; ++level) {
        nested += "<ol><li>x";
    }
    for (int item = 0; item < 2000; ++item) {
        nested += "<li>y";
    }
    for (const std::string& html : {ragged, nested}) {
        EXPECT_LT(Twin(html).size(), 4 * html.size());
    }
    EXPECT_NE(Twin(ragged).find("\n| a | b |\n| a | b |\n"), std::string::npos);
    // Six levels keep their structure; deeper ones go on as plain blocks.
    EXPECT_NE(Twin(nested).find("\n               1. x\n\n                  x\n"), std::string::npos);
}

TEST(WriteMarkdown, BreaksNeedTextAndDecorationGoes) {
    struct Row {
        std::string body;      // inside <article>, after a paragraph of prose
        std::string expected;  // the Markdown after that paragraph
    };
    const std::vector<Row> rows = {
        {"<p>Updated 2026<br><br>by Ann<br><br></p>", "Updated 2026\\\nby Ann\n"},
        {"<p><br>Lead<br> <br>text</p>", "Lead\\\ntext\n"},
        {"<p>\xE2\x80\x8D</p><p>|</p><p>Kept</p>", "Kept\n"},
        {"<p><img src=line.png alt=''>Chart <img src=c.png alt='Sales'></p>",
         "Chart ![Sales](https://example.test/docs/c.png)\n"},
    };
    for (const Row& row : rows) {
        const std::string twin = Twin("<title>T</title><article><p>" + kProse + "</p>" +
                                      row.body + "</article>");
        const std::string lead = kProse.substr(0, kProse.size() - 1) + "\n\n";
        const size_t at = twin.find(lead);
        ASSERT_NE(at, std::string::npos) << twin;
        EXPECT_EQ(twin.substr(at + lead.size()), row.expected) << row.body;
    }
}

}  // namespace
}  // namespace bcnk
