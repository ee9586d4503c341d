#pragma once
// After the crawl: a sample of the stored pages rendered in a headless browser and compared
// with their raw responses, to show what AI crawlers that run no scripts miss.
#include <atomic>
#include <vector>

#include "common/text.h"
#include "scan/crawler.h"
#include "scan/scan_types.h"

namespace bcnk {

// Browsers rendering at once. Each spends much of its time starting up, so two side by side
// finish sooner than one after the other; more only crowd a small machine, and a crowded
// machine pushes pages past the time limit.
inline constexpr int kRenderWorkers = 2;
// Pages reached only through script links that are named; more are counted.
inline constexpr size_t kMaxScriptOnlyPages = 50;

// Fills result.render. Never changes what the crawl found.
void RunRenderCheck(const ScanOptions& options, ScanResult& result,
                    const std::atomic<bool>& cancelFlag, const CrawlProgress& progress);

// The AI crawlers whose operators' traffic shows they fetch pages without running scripts
// (OpenAI's, Anthropic's, Meta's, ByteDance's and Perplexity's crawlers, and Common Crawl,
// which says so itself), as table tokens.
std::vector<Text> CrawlersWithoutScripts();

// "content needs JavaScript", "scripts add 40 words, 3 links", "same without scripts",
// "not rendered (time limit (10 s))".
Text RenderVerdictText(const PageRender& render);

// The site-wide line: "not checked: no browser found", "2 of 25 pages need JavaScript", ...
Text RenderSummaryText(const RenderCheck& check);

// Words for the state alone: "off", "not checked: no browser found", "done", "cancelled".
Text RenderStateName(RenderState state);
Text RenderVerdictName(RenderVerdict verdict);

}  // namespace bcnk
