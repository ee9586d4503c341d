#include "scan/render_compare.h"

#include <map>

#include "analysis/html_parser.h"
#include "analysis/html_text.h"
#include "analysis/text_scan.h"
#include "common/charset.h"
#include "net/url.h"

namespace bcnk {
namespace {

// Script and style bodies are code, not text a reader sees; both versions lose them alike.
Text WithoutCode(const Text& page) {
    Text kept;
    kept.reserve(page.size());
    size_t from = 0;
    for (;;) {
        size_t start = kNotFound;
        TextView closing;
        for (const auto& [open, close] :
             {std::pair<TextView, TextView>{u"<script", u"</script"},
              std::pair<TextView, TextView>{u"<style", u"</style"},
              std::pair<TextView, TextView>{u"<template", u"</template"}}) {
            const size_t found = FindFolded(page, open, from);
            if (found < start) {
                start = found;
                closing = close;
            }
        }
        if (start == kNotFound) {
            kept.append(page, from, Text::npos);
            return kept;
        }
        kept.append(page, from, start - from);
        const size_t end = FindFolded(page, closing, start);
        if (end == kNotFound) {
            return kept;
        }
        const size_t after = FindUnit(page, u'>', end);
        if (after == kNotFound) {
            return kept;
        }
        from = after + 1;
    }
}

std::vector<Text> SplitWords(const Text& text) {
    std::vector<Text> words;
    Text word;
    for (const char16_t unit : text) {
        if (IsSpace(unit)) {
            if (!word.empty()) {
                words.push_back(std::move(word));
                word.clear();
            }
        } else {
            word += unit;
        }
    }
    if (!word.empty()) {
        words.push_back(std::move(word));
    }
    return words;
}

// The first start tag named `name` whose `key` attribute is `value` (any case): its
// `wanted` attribute, entity-decoded.
Text TagAttribute(const Text& page, TextView name, const Text& key, const Text& value,
                  const Text& wanted) {
    size_t from = 0;
    for (;;) {
        const size_t start = FindFolded(page, name, from);
        if (start == kNotFound) {
            return Text();
        }
        const size_t end = FindUnit(page, u'>', start);
        if (end == kNotFound) {
            return Text();
        }
        const Text tag = page.substr(start, end - start + 1);
        if (ToLower(Trim(GetAttribute(tag, key))) == value) {
            return Trim(DecodeEntities(GetAttribute(tag, wanted)));
        }
        from = end + 1;
    }
}

}  // namespace

PageFacts ReadPageFacts(const std::string& body, const Text& contentType, const Text& address,
                        const Text& host) {
    PageFacts facts;
    const Text page = contentType.empty() ? Utf8ToWide(body) : DecodePageText(body, contentType);
    const ParsedPage parsed = ParseHtmlPage(body, contentType.empty() ? Text(u"text/html; charset=utf-8") : contentType);
    facts.words = SplitWords(HtmlToText(WithoutCode(page)));
    facts.title = parsed.title;
    facts.h1 = parsed.h1;
    facts.description = parsed.description;
    facts.canonical = TagAttribute(page, u"<link", u"rel", u"canonical", u"href");
    facts.metaRobots = ToLower(TagAttribute(page, u"<meta", u"name", u"robots", u"content"));
    Text base = address;
    if (!parsed.baseHref.empty()) {
        const Text resolved = ResolveLink(address, DecodeEntities(parsed.baseHref));
        base = resolved.empty() ? address : resolved;
    }
    for (const Text& href : parsed.links) {
        const Text target = ResolveLink(base, DecodeEntities(href));
        if (!target.empty() && HostKey(target) == host && !IsSkippedExtension(target)) {
            facts.links.emplace(DuplicateKey(target), target);
        }
    }
    return facts;
}

std::vector<Text> ScriptOnlyLinks(const PageFacts& raw, const PageFacts& rendered) {
    std::vector<Text> added;
    for (const auto& [key, address] : rendered.links) {
        if (raw.links.count(key) == 0) {
            added.push_back(address);
        }
    }
    return added;
}

PageRender CompareRender(const PageFacts& raw, const PageFacts& rendered) {
    PageRender render;
    render.rawWords = static_cast<int>(raw.words.size());
    render.renderedWords = static_cast<int>(rendered.words.size());
    // Words are matched as a multiset: a word the raw page has twice covers two of them.
    std::map<Text, int> available;
    for (const Text& word : raw.words) {
        ++available[word];
    }
    for (const Text& word : rendered.words) {
        int& left = available[word];
        if (left > 0) {
            --left;
        } else {
            ++render.scriptOnlyWords;
        }
    }
    render.scriptOnlyLinks = static_cast<int>(ScriptOnlyLinks(raw, rendered).size());
    const std::pair<const char16_t*, std::pair<const Text*, const Text*>> fields[] = {
        {u"title", {&raw.title, &rendered.title}},
        {u"H1", {&raw.h1, &rendered.h1}},
        {u"description", {&raw.description, &rendered.description}},
        {u"canonical", {&raw.canonical, &rendered.canonical}},
        {u"meta robots", {&raw.metaRobots, &rendered.metaRobots}},
    };
    for (const auto& [name, values] : fields) {
        if (*values.first != *values.second) {
            render.changed.push_back(name);
        }
    }
    const bool needsScripts =
        render.renderedWords >= kMinRenderedWords && render.scriptOnlyWords >= kMinScriptOnlyWords &&
        100LL * render.rawWords <= static_cast<long long>(kMaxRawSharePercent) * render.renderedWords;
    if (needsScripts) {
        render.verdict = RenderVerdict::NeedsJavaScript;
    } else if (render.scriptOnlyWords >= kNoticedScriptWords || render.scriptOnlyLinks > 0 ||
               !render.changed.empty()) {
        render.verdict = RenderVerdict::ScriptsAddSome;
    } else {
        render.verdict = RenderVerdict::SameWithoutScripts;
    }
    return render;
}

std::vector<size_t> RenderSample(const ScanResult& result, int limit) {
    std::vector<size_t> sample;
    if (result.pages.empty() || limit <= 0) {
        return sample;
    }
    sample.push_back(0);
    std::vector<PageClass> order;
    std::map<PageClass, std::vector<size_t>> byClass;
    for (size_t i = 1; i < result.pages.size(); ++i) {
        const PageClass pageClass = result.pages[i].pageClass;
        if (byClass[pageClass].empty()) {
            order.push_back(pageClass);
        }
        byClass[pageClass].push_back(i);
    }
    for (size_t round = 0; static_cast<int>(sample.size()) < limit; ++round) {
        bool took = false;
        for (const PageClass pageClass : order) {
            const std::vector<size_t>& members = byClass[pageClass];
            if (round < members.size() && static_cast<int>(sample.size()) < limit) {
                sample.push_back(members[round]);
                took = true;
            }
        }
        if (!took) {
            break;
        }
    }
    return sample;
}

}  // namespace bcnk
