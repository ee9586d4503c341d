#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/html_parser.h"

namespace bcnk {
namespace {

using Texts = std::vector<Text>;

TEST(ParseHtmlPage, Language) {
    struct Row {
        std::string html;
        Text language;
    };
    const std::vector<Row> rows = {
        // Nothing declared: empty, the crawl asks the header and the text next.
        {"<head><title>x</title></head>", u""},
        {"<html><body>x</body></html>", u""},
        {"<HTML LANG=\"EN-gb\">", u"en"},
        {"<html lang='PT-br'>", u"pt"},
        {"<html lang=zh_CN>", u"zh_cn"},
        {"<html xml:lang=\"de\">", u""},
        {"<html lang=\"\">", u""},
        {"<html lang=\"fr\"", u""},  // no ">": no start tag
        {"<htmlx lang=\"nl\">", u"nl"},
        {"<html class=\"a\" lang=\"  de-AT \">", u"de"},
        {"<html lang=\"-x\">", u""},
        {"<p>lang</p><html lang=it>", u"it"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ParseHtmlPage(row.html).language, row.language) << row.html;
    }
}

TEST(ParseHtmlPage, TitleIsCollapsedAndDecoded) {
    EXPECT_EQ(ParseHtmlPage("<TITLE>  A &amp; B\n  C </TITLE>").title, u"A & B C");
    EXPECT_EQ(ParseHtmlPage("<title>Open but never closed").title, u"");
    EXPECT_EQ(ParseHtmlPage("<title").title, u"");
    EXPECT_EQ(ParseHtmlPage("<title><b>Bold</b> &lt;i&gt;</title>").title, u"Bold <i>");
}

TEST(ParseHtmlPage, Description) {
    struct Row {
        std::string html;
        Text description;
    };
    const std::vector<Row> rows = {
        {"<meta content=\"Tools &amp; more\" name=\"Description\">", u"Tools & more"},
        {"<meta property=\"og:description\" content=\"Nope\">", u""},
        {"<meta name=description content=First><meta name=description content=Second>", u"First"},
        {"<meta name=\"description\" content=\"Say &quot;hi&quot;\nagain\">", u"Say \"hi\"\nagain"},
        {"<meta name=\"description \" content=\"x\">", u"x"},  // values are trimmed
        {"<meta name=\"descriptions\" content=\"x\">", u""},
        // The tag ends at the first ">", inside the quotes; the open quote runs to its end.
        {"<meta charset=utf-8><META NAME=DESCRIPTION CONTENT='<b>kept</b>'>", u"<b>"},
        {"<meta name=\"description\" content=\"cut", u""},
        {"<meta name=\"description\">", u""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ParseHtmlPage(row.html).description, row.description) << row.html;
    }
}

TEST(ParseHtmlPage, HeadingsListH1TextsBeforeH2Texts) {
    const ParsedPage page =
        ParseHtmlPage("<h1>First</h1><h2>A</h2><h1><span>Second</span> part</h1><h2> </h2>");
    EXPECT_EQ(page.h1, u"First");
    EXPECT_EQ(page.headings, (Texts{u"First", u"Second part", u"A"}));
}

TEST(ParseHtmlPage, HeadingMarkup) {
    struct Row {
        std::string html;
        Texts headings;
    };
    const std::vector<Row> rows = {
        {"<h1 class=\"t\">Styled</h1><H2\n>Upper</H2>", {u"Styled", u"Upper"}},
        {"<h2x>Not a heading</h2x><h2>Real</h2>", {u"Real"}},
        {"<h1>Outer <h1>inner</h1> tail</h1>", {u"Outer inner"}},
        {"<h1>Never closed", {}},
        {"<h1>Bad close</h1 ><h1>Next</h1>", {u"Bad closeNext"}},
        {"<h1", {}},
        {"<h1>One</h1><h1>Two", {u"One"}},
        {"<h2>&amp;</h2>", {u"&"}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ParseHtmlPage(row.html).headings, row.headings) << row.html;
    }
}

TEST(ParseHtmlPage, LinksAreAnchorHrefsAsWritten) {
    const ParsedPage page = ParseHtmlPage(
        "<a href=\"/x\">x</a><A HREF='/y'>y</A><a\nhref=z>z</a>"
        "<a class=c href=page?a=1&amp;b=2>p</a>"
        "<abbr href=\"/no\">n</abbr><area href=\"/no\"><link href=\"/no\"><a name=top>t</a>"
        "<a href=\"  /trimmed#frag \">t</a><a href=\"/dup\"></a><a href=\"/dup\"></a>");
    EXPECT_EQ(page.links,
              (Texts{u"/x", u"/y", u"z", u"page?a=1&amp;b=2", u"/trimmed#frag", u"/dup", u"/dup"}));
}

TEST(ParseHtmlPage, BaseHrefIsTheFirstBaseThatHasOne) {
    struct Row {
        std::string html;
        Text baseHref;
    };
    const std::vector<Row> rows = {
        {"<base href=\"/docs/\"><base href=\"/other/\">", u"/docs/"},
        {"<BASE target=_top><base HREF = ' https://x.example/a/ '/>", u"https://x.example/a/"},
        {"<basefont href=\"/no/\">", u""},
        {"<base href=\"/cut", u""},
        {"<base", u""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ParseHtmlPage(row.html).baseHref, row.baseHref) << row.html;
    }
}

TEST(ParseHtmlPage, LinksInDifficultMarkup) {
    struct Row {
        std::string html;
        Texts links;
    };
    const std::vector<Row> rows = {
        // The tag ends at the first ">", even inside quotes; the unclosed quote then runs to
        // the end of the tag.
        {"<a href=\"/a>b\">", {u"/a>"}},
        {"<a title=\"x > y\" href=\"/after\">", {}},
        {"<a href='/open", {}},
        {"<a", {}},
        {"<a>", {}},
        {"<a href=\"/one\"><a href=\"/two\"", {u"/one"}},
        // A name inside another value counts when a space precedes it.
        {"<a title=\" href=/spoof\" href=\"/real\">", {u"/spoof\""}},
        {"<!-- <a href=\"/commented\"> -->", {u"/commented"}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ParseHtmlPage(row.html).links, row.links) << row.html;
    }
}

TEST(ParseHtmlPage, WordCount) {
    struct Row {
        std::string html;
        int words;
    };
    const std::vector<Row> rows = {
        {"one&nbsp;two", 2},
        {"<html><body></body><script>var a = 1;</script></html>", 4},
        {"<title>T</title><p>Hello,   world!</p>", 2},  // T and Hello, join
        {"<div><span></span></div>", 0},
        {"", 0},
        {"a<br>b", 1},
        {"a &#32; b", 2},
        {"a&#32;b", 2},
        {"a &#\n65; b", 3},  // white space inside a reference is read past, as wcstol does
        {"na\xC3\xAFve caf\xC3", 2},
        {"a > b < c", 5},  // neither is a tag: browsers show both
        {"Salt & Pepper < 5 > 3 <3 x<", 9},
        {"a<b c>d</b >e<!x>f<?y>g</ h>i", 1},
        {"&#x1F600; &#128512;x", 2},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ParseHtmlPage(row.html).wordCount, row.words) << row.html;
    }
}

TEST(ParseHtmlPage, EmptyAndBinaryBodiesGiveAnEmptyRecord) {
    EXPECT_EQ(ParseHtmlPage(""), ParsedPage());
    EXPECT_EQ(ParseHtmlPage(std::string("\x00\x01\x02", 3)).wordCount, 1);
    EXPECT_EQ(ParseHtmlPage("\xFF\xFE\xFD").title, u"");
}

TEST(ParseHtmlPage, BodyCutInsideUtf8SequenceEndsInReplacement) {
    const ParsedPage page = ParseHtmlPage("<title>caf\xC3\xA9</title> <h1>caf\xC3");
    EXPECT_EQ(page.title, u"caf\u00E9");
    EXPECT_TRUE(page.headings.empty());
    EXPECT_EQ(HtmlToText(u"<h1>caf\uFFFD"), u"caf\uFFFD");
    EXPECT_EQ(page.wordCount, 2);
}

TEST(ParseHtmlPage, PagesOfOnlyMarkup) {
    const ParsedPage page = ParseHtmlPage("<a><h1></h1><h2></h2><!x><?y><br/>");
    EXPECT_EQ(page.wordCount, 0);
    EXPECT_TRUE(page.headings.empty());
    // A "<" before anything but a letter, "/", "!" or "?" is text, as in browsers.
    const ParsedPage stray = ParseHtmlPage("<<<>>><<h1>>></h1><h1></h1><>");
    EXPECT_EQ(stray.wordCount, 1);
    EXPECT_EQ(stray.headings, std::vector<Text>{u">>"});
    EXPECT_EQ(page.language, u"");
}

// Pages as large as the fetcher lets through, shaped to make every search run far.
TEST(ParseHtmlPage, TwoMebibytePages) {
    constexpr size_t kSize = 2 * 1024 * 1024;
    auto repeated = [](const std::string& piece) {
        std::string body;
        while (body.size() + piece.size() <= kSize)
            body += piece;
        return body;
    };

    const ParsedPage unclosed = ParseHtmlPage(repeated("<h1>x<h2 "));
    EXPECT_TRUE(unclosed.headings.empty());
    EXPECT_EQ(unclosed.wordCount, 1);  // the x of every piece joins one run

    const ParsedPage ampersands = ParseHtmlPage(repeated("&"));
    EXPECT_EQ(ampersands.wordCount, 1);

    const std::string hugeValue(kSize, 'v');
    const ParsedPage hugeAttribute = ParseHtmlPage(
        "<a href=\"" + hugeValue + "\">x</a><meta name=description content=" + hugeValue + ">");
    ASSERT_EQ(hugeAttribute.links.size(), 1u);
    EXPECT_EQ(hugeAttribute.links[0].size(), kSize);
    EXPECT_EQ(hugeAttribute.description.size(), kSize);

    const std::string section = "<h2>Topic</h2> <p>Some words here</p> <a href=\"/p\">p</a>\n";
    const ParsedPage regular = ParseHtmlPage(repeated(section));
    const size_t sections = kSize / section.size();
    EXPECT_EQ(regular.links.size(), sections);
    EXPECT_EQ(regular.headings.size(), sections);
    EXPECT_EQ(static_cast<size_t>(regular.wordCount), sections * 5);

    const ParsedPage metas =
        ParseHtmlPage(repeated("<meta name=x>") + "<meta name=description content=last>");
    EXPECT_EQ(metas.description, u"last");
}

TEST(GetAttribute, Values) {
    struct Row {
        Text tag;
        Text name;
        Text value;
    };
    const std::vector<Row> rows = {
        {u"<a href=\"/x\">", u"href", u"/x"},
        {u"<a HREF=/Up>", u"href", u"/Up"},
        {u"<a href = '/w' >", u"HREF", u"/w"},
        {u"<a data-href=\"q\" href=\"/y\">", u"href", u"/y"},
        {u"<a hreflang=\"en\" href=\"/h\">", u"href", u"/h"},
        {u"<a href>", u"href", u""},
        {u"<a href=>", u"href", u""},
        {u"<a href=", u"href", u""},
        {u"<a href=\"unterminated>", u"href", u"unterminated>"},
        {u"<a href='it\"s'>", u"href", u"it\"s"},
        {u"<a href=\" padded \">", u"href", u"padded"},
        {u"<a href=&amp;>", u"href", u"&amp;"},
        {u"href=start", u"href", u"start"},
        {u"<a href=\"/x\">", u"", u""},
        {u"<a href=\"/x\">", u"src", u""},
        {u"<img\tsrc=pic.png\nalt=x>", u"src", u"pic.png"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(GetAttribute(row.tag, row.name), row.value)
            << std::string(row.tag.begin(), row.tag.end());
    }
}

TEST(ElementText, FirstElementOfName) {
    struct Row {
        Text page;
        Text tagName;
        Text text;
    };
    const std::vector<Row> rows = {
        {u"<p>one</p><p>two</p>", u"p", u"one"},
        {u"<P class=x>Up</P>", u"p", u"Up"},
        {u"<pre>x</pre><p>y</p>", u"p", u"xy"},  // "<pre" matches; its content runs on
        {u"<p>never closed", u"p", u""},
        {u"</p><p>a</p>", u"p", u"a"},
        {u"", u"p", u""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ElementText(row.page, row.tagName), row.text);
    }
}

TEST(HtmlToText, RemovesTagsThenDecodes) {
    struct Row {
        Text fragment;
        Text text;
    };
    const std::vector<Row> rows = {
        {u"&lt;b&gt;bold&lt;/b&gt;", u"<b>bold</b>"},
        {u"  a \t\n b  ", u"a b"},
        {u"a<!-- x > y -->b", u"a y -->b"},
        {u"<script>if (a < b) go();</script>", u"if (a < b) go();"},
        {u"<title>Salt &amp; Pepper < 5 > 3</title>", u"Salt & Pepper < 5 > 3"},
        {u"1<2 and 3 <= 4 <", u"1<2 and 3 <= 4 <"},
        {u"x<\u00E9>y", u"x<\u00E9>y"},  // only ASCII letters start a tag name
        {u"&#x1F600; &#x1f600;", u"\U0001F600 \U0001F600"},
        {u"x&nbsp;&nbsp;y", u"x y"},
        {u"&a<b>mp;", u"&"},  // the reference is read after the tag is gone
        {u"\u3000wide\u2003space\u00A0", u"wide space"},
        {u"<unclosed", u""},
        {u"a>b", u"a>b"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(HtmlToText(row.fragment), row.text);
    }
}

TEST(DecodeEntities, References) {
    struct Row {
        Text input;
        Text output;
    };
    const std::vector<Row> rows = {
        {u"&#65;&#x42;&#X43;", u"ABC"},
        {u"&#0;&#x0000;", u"\uFFFD\uFFFD"},
        {u"&#-5;", u"&#-5;"},
        {u"&bogus;", u"&bogus;"},
        {u"&copy without", u"\u00A9 without"},  // a legacy name, read without ";"
        // A legacy name followed by more letters is read as in an attribute: not at all.
        {u"&copyright; &notin; &notit;", u"&copyright; \u2209 &notit;"},
        {u"?a=1&copy=2&amp=3", u"?a=1&copy=2&amp=3"},  // before "=", as in an attribute
        {u"vers&atilde;o &Ouml;l &ouml;l &egrave;", u"vers\u00E3o \u00D6l \u00F6l \u00E8"},
        {u"&NotEqualTilde;&fjlig;", u"\u2242\u0338fj"},             // two characters each
        {u"&CounterClockwiseContourIntegral;", u"\u2233"},          // the longest name
        {u"&Aacute &aacute; &AACUTE;", u"\u00C1 \u00E1 &AACUTE;"},  // letter case counts
        {u"&ZeroWidthSpace&zwj;&Sqrt;", u"&ZeroWidthSpace\u200D\u221A"},
        {u"&;", u"&;"},
        {u"&#;&#x;", u"&#;&#x;"},
        {u"&amp;lt;", u"&lt;"},
        {u"&AMP;&Eacute;", u"&\u00C9"},
        {u"&nbsp;", u" "},
        {u"&mdash;&ndash;&hellip;&rsquo;&lsquo;&rdquo;&ldquo;",
         u"\u2014\u2013\u2026\u2019\u2018\u201D\u201C"},
        {u"&trade;&copy;&reg;&deg;&euro;&pound;&quot;&apos;&gt;",
         u"\u2122\u00A9\u00AE\u00B0\u20AC\u00A3\"'>"},
        {u"&#00000065;", u"A"},              // ";" ten units behind the "&"
        {u"&#000000065;", u"&#000000065;"},  // eleven units
        {u"&# 65;&#+66;&#65abc;", u"ABA"},
        {u"&#x0x41;", u"A"},
        {u"&#x1F600;&#65536;&#x10FFFF;", u"\U0001F600\U00010000\U0010FFFF"},
        {u"&#x110000;&#99999999;&#xD800;&#57343;", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {u"&#65535;", u"\uFFFF"},
        {u"a&b&amp;", u"a&b&"},
        {u"&&amp;", u"&&"},
        {u"&amp", u"&"},
        {u"", u""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(DecodeEntities(row.input), row.output)
            << std::string(row.input.begin(), row.input.end());
    }
}

// Only a refresh without delay moves the reader; the address is read as browsers read it.
TEST(ParseHtmlPage, ImmediateRefreshIsAMove) {
    struct Row {
        const char* meta;
        Text target;
    };
    const std::vector<Row> rows = {
        {R"(<meta http-equiv="refresh" content="0; url=next.html">)", u"next.html"},
        {R"(<META HTTP-EQUIV="Refresh" CONTENT="0;URL='/a b.html'">)", u"/a b.html"},
        {R"(<meta http-equiv="refresh" content="0.5, url = &quot;x?a=1&amp;b=2&quot;">)",
         u"x?a=1&b=2"},
        {R"(<meta http-equiv="refresh" content="00;/plain">)", u"/plain"},
        {R"(<meta http-equiv="refresh" content="5; url=later.html">)", u""},
        {R"(<meta http-equiv="refresh" content="0">)", u""},
        {R"(<meta http-equiv="refresh" content="url=x.html">)", u""},
        {R"(<meta name="refresh" content="0; url=x.html">)", u""},
    };
    for (const Row& row : rows) {
        const std::string page = std::string("<html><head>") + row.meta + "</head></html>";
        EXPECT_EQ(ParseHtmlPage(page).refreshTarget, row.target) << row.meta;
    }
}

}  // namespace
}  // namespace bcnk
