#pragma once
// The raw response of a page against the same page after a browser ran its scripts, read by
// the page analysis's own rules: what an AI crawler that runs no scripts misses.
#include <map>
#include <string>
#include <vector>

#include "common/text.h"
#include "scan/scan_types.h"

namespace bcnk {

// A page is "content needs JavaScript" when its rendered text has at least kMinRenderedWords
// words, at least kMinScriptOnlyWords of them appear only after scripts, and the raw response
// holds kMaxRawSharePercent of the rendered word count or less.
inline constexpr int kMinRenderedWords = 200;
inline constexpr int kMinScriptOnlyWords = 100;
inline constexpr int kMaxRawSharePercent = 60;
// Fewer words than this written by scripts is noise (a date, a cookie notice).
inline constexpr int kNoticedScriptWords = 20;

// What the comparison reads of one version of a page.
struct PageFacts {
    std::vector<Text> words;  // readable text outside script, style and template elements
    Text title;
    Text h1;
    Text description;
    Text canonical;
    Text metaRobots;
    std::map<Text, Text> links;  // same-site links: duplicate key to resolved address
};

// `body` as received (decoded by `contentType`), or a DOM the browser printed (UTF-8 with an
// empty contentType). Links resolve against `address` and count when they stay on `host`.
PageFacts ReadPageFacts(const std::string& body, const Text& contentType, const Text& address,
                        const Text& host);

// The verdict for one page; url and note are left to the caller.
PageRender CompareRender(const PageFacts& raw, const PageFacts& rendered);

// Same-site links of the rendered page that the raw page lacks, as addresses.
std::vector<Text> ScriptOnlyLinks(const PageFacts& raw, const PageFacts& rendered);

// Pages to render: the start page first, then up to limit - 1 more taken in turn from each
// page class in the order the classes first appear. Indexes into result.pages.
std::vector<size_t> RenderSample(const ScanResult& result, int limit);

}  // namespace bcnk
