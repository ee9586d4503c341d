// The raw response against the rendered page: the thresholds of "content needs JavaScript",
// links only scripts add, the fields scripts change, and the sample of pages to render.
#include <gtest/gtest.h>

#include <string>

#include "scan/render_compare.h"

namespace bcnk {
namespace {

std::string Words(const char* stem, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += stem + std::to_string(i) + " ";
    }
    return text;
}

PageFacts Facts(const std::string& body) {
    return ReadPageFacts(body, Text(), u"https://a.test/page", u"a.test");
}

std::string Html(const std::string& head, const std::string& body) {
    return "<html><head>" + head + "</head><body>" + body + "</body></html>";
}

TEST(CompareRender, ThresholdsOfContentThatNeedsJavaScript) {
    const struct {
        const char* name;
        int raw;       // words in both versions
        int scripted;  // words only the rendered version has
        RenderVerdict verdict;
    } rows[] = {
        {"empty shell", 0, 300, RenderVerdict::NeedsJavaScript},
        {"at every threshold", 120, 180, RenderVerdict::NeedsJavaScript},  // 300, 180, 40 %
        {"raw holds more than 60 %", 190, 110, RenderVerdict::ScriptsAddSome},
        {"too few rendered words", 20, 150, RenderVerdict::ScriptsAddSome},
        {"too few words after scripts", 101, 99, RenderVerdict::ScriptsAddSome},
        {"a date and a notice", 300, 5, RenderVerdict::SameWithoutScripts},
        {"nothing changes", 300, 0, RenderVerdict::SameWithoutScripts},
    };
    for (const auto& row : rows) {
        const std::string shared = Words("raw", row.raw);
        const PageFacts raw = Facts(Html("", "<p>" + shared + "</p>"));
        const PageFacts rendered =
            Facts(Html("", "<p>" + shared + "</p><p>" + Words("js", row.scripted) + "</p>"));
        const PageRender render = CompareRender(raw, rendered);
        EXPECT_EQ(render.verdict, row.verdict) << row.name;
        EXPECT_EQ(render.scriptOnlyWords, row.scripted) << row.name;
    }
}

TEST(CompareRender, ScriptTextIsNotContentAndWordsMatchAsAMultiset) {
    // The raw page's script holds the words the rendered page shows: they are still only
    // there after scripts ran.
    const PageFacts raw = Facts(Html("", "<p>tide tide</p><script>var t='tide flood';</script>"));
    const PageFacts rendered = Facts(Html("", "<p>tide tide tide flood</p>"));
    EXPECT_EQ(raw.words.size(), 2u);
    EXPECT_EQ(CompareRender(raw, rendered).scriptOnlyWords, 2);
}

TEST(CompareRender, LinksAndFieldsScriptsAddOrChange) {
    const PageFacts raw = Facts(Html(
        "<title>Loading</title><link rel=\"canonical\" href=\"/a\">",
        "<a href=\"/one\">one</a><a href=\"https://other.test/x\">elsewhere</a>"));
    const PageFacts rendered = Facts(Html(
        "<title>Tides</title><link rel=\"canonical\" href=\"/a\">"
        "<meta name=\"robots\" content=\"noindex\">",
        "<h1>Tides</h1><a href=\"/one\">one</a><a href=\"/two\">two</a>"
        "<a href=\"https://other.test/y\">elsewhere</a>"));
    const PageRender render = CompareRender(raw, rendered);
    EXPECT_EQ(render.scriptOnlyLinks, 1);
    EXPECT_EQ(ScriptOnlyLinks(raw, rendered), std::vector<Text>{u"https://a.test/two"});
    EXPECT_EQ(render.changed, (std::vector<Text>{u"title", u"H1", u"meta robots"}));
    EXPECT_EQ(render.verdict, RenderVerdict::ScriptsAddSome);
}

TEST(RenderSample, StartPageThenInTurnFromEachClass) {
    ScanResult result;
    const PageClass classes[] = {PageClass::Index,   PageClass::Product, PageClass::Product,
                                 PageClass::Product, PageClass::Article, PageClass::Legal,
                                 PageClass::Article};
    for (const PageClass pageClass : classes) {
        PageRecord page;
        page.pageClass = pageClass;
        result.pages.push_back(page);
    }
    EXPECT_EQ(RenderSample(result, 0), std::vector<size_t>{});
    EXPECT_EQ(RenderSample(result, 1), std::vector<size_t>{0});
    EXPECT_EQ(RenderSample(result, 5), (std::vector<size_t>{0, 1, 4, 5, 2}));
    EXPECT_EQ(RenderSample(result, 100).size(), result.pages.size());
}

}  // namespace
}  // namespace bcnk
