#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/html_parser.h"
#include "analysis/page_signals.h"

namespace bcnk {
namespace {

PageSignals Signals(const std::string& html) {
    return ParseHtmlPage(html).signals;
}

TEST(PageSignals, CanonicalIsTheFirstCanonicalLinkInTheHead) {
    struct Row {
        const char* html;
        const char16_t* href;
    };
    const Row rows[] = {
        {"<head><link rel=\"canonical\" href=\"/a/one.html\"></head>", u"/a/one.html"},
        {"<head><LINK REL='Canonical' HREF='b.html'/><link rel=canonical href=c.html></head>",
         u"b.html"},
        {"<head><link rel=\"alternate canonical\" href=\"x\"></head>", u"x"},
        {"<head><link rel=\"alternate\" href=\"no\"><link rel=\"canonical\" href=\"yes\">", u"yes"},
        {"<head><link rel=\"canonical\"><link rel=\"canonical\" href=\"second\"></head>", u"second"},
        {"<head><linked rel=\"canonical\" href=\"no\"></head>", u""},
        {"<head></head><body><link rel=\"canonical\" href=\"in-body\"></body>", u""},
        {"<title>t</title><body><link rel=\"canonical\" href=\"in-body\">", u""},
        {"<head><link rel=\"canonical\" href=\"cut", u""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Signals(row.html).canonicalHref, row.href) << row.html;
    }
}

TEST(PageSignals, NamedMetasAreCollectedButBounded) {
    const PageSignals signals = Signals(
        "<meta name=\"ROBOTS\" content=\"noindex, &amp;x\"><meta name=\"description\" content=\"d\">"
        "<meta content=\"orphan\"><meta name=\"GPTBot\" content=\"noai\">");
    EXPECT_EQ(signals.metas, (std::vector<NamedMeta>{{u"robots", u"noindex, &x"},
                                                     {u"gptbot", u"noai"}}));
    std::string many;
    for (int i = 0; i < 500; ++i) {
        many += "<meta name=\"robots\" content=\"noindex\">";
    }
    EXPECT_EQ(Signals(many).metas.size(), kMaxNamedMetas);
}

TEST(PageSignals, TextFingerprintFollowsTheVisibleTextOnly) {
    const std::uint64_t plain = Signals("<body><p>Same  words here</p></body>").textHash;
    EXPECT_NE(plain, 0u);
    // Head, markup, scripts, styles, letter case and spacing do not change what people read.
    for (const char* same : {
             "<head><title>Other</title></head><body><div>same words <b>here</b></div></body>",
             "<body>Same<script>var x = 'hidden';</script> words<style>p{}</style> here</body>",
             "<body>\n SAME words\there\n</body>",
         }) {
        EXPECT_EQ(Signals(same).textHash, plain) << same;
    }
    EXPECT_NE(Signals("<body>Same words there</body>").textHash, plain);
    EXPECT_EQ(Signals("<body> <img src=x> </body>").textHash, 0u);
    EXPECT_EQ(Signals("").textHash, 0u);
}

TEST(RobotsDirectives, MetaAndHeaderForms) {
    struct Row {
        const char16_t* value;
        const char16_t* agent;
        bool header;
        std::vector<AgentDirective> expected;
    };
    const Row rows[] = {
        {u"noindex, NoFollow", u"", false, {{u"", u"noindex"}, {u"", u"nofollow"}}},
        {u" all ,, none ", u"", false, {{u"", u"all"}, {u"", u"none"}}},
        {u"max-snippet : 20, max-image-preview:large", u"googlebot", false,
         {{u"googlebot", u"max-snippet:20"}, {u"googlebot", u"max-image-preview:large"}}},
        {u"unavailable_after: Wed, 03 Dec 2025 15:00:00 GMT, noarchive", u"", true,
         {{u"", u"unavailable_after: Wed, 03 Dec 2025 15:00:00 GMT"}, {u"", u"noarchive"}}},
        {u"GPTBot: noindex, nofollow", u"", true, {{u"gptbot", u"noindex"}, {u"gptbot", u"nofollow"}}},
        {u"googlebot: noindex, otherbot: noai", u"", true,
         {{u"googlebot", u"noindex"}, {u"otherbot", u"noai"}}},
        // In a meta, the name says whom it addresses; a colon is part of the value.
        {u"GPTBot: noindex", u"robots", false, {{u"robots", u"gptbot:noindex"}}},
        {u"foobar, noimageai", u"", true, {{u"", u"foobar"}, {u"", u"noimageai"}}},
        {u"", u"", true, {}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ParseRobotsDirectives(row.value, row.agent, row.header), row.expected)
            << WideToUtf8(row.value);
    }
}

TEST(RobotsDirectives, CanonicalFromLinkHeaders) {
    struct Row {
        std::vector<Text> values;
        const char16_t* expected;
    };
    const Row rows[] = {
        {{u"</a/one.html>; rel=\"canonical\""}, u"/a/one.html"},
        {{u"<https://x.example/>; rel=preload, <b.html>; REL=Canonical"}, u"b.html"},
        {{u"<a.css>; rel=stylesheet", u"<c.html>; title=\"x\"; rel=\"alternate canonical\""},
         u"c.html"},
        {{u"<a.html>; rel=\"alternate\"", u"<b.html>"}, u""},
        {{u"<>; rel=canonical", u"<broken; rel=canonical"}, u""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(CanonicalFromLinkHeaders(row.values), row.expected);
    }
}

}  // namespace
}  // namespace bcnk
