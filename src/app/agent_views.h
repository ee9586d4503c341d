#pragma once
// What the window shows of the checks after the crawl: the server's answer in the AI
// Crawlers list and the JavaScript column of the page list.
#include "common/text.h"
#include "scan/scan_types.h"

namespace bcnk {

// List columns after the ones result_views.h names: the server's answer and what it means
// after the AI Crawlers list's own (shown beside the robots.txt access), the JavaScript
// verdict after the page list's own columns.
constexpr int kCrawlerAnswerColumn = 5;
constexpr int kCrawlerMeaningColumn = 6;
constexpr int kPageScriptColumn = 7;

// "refused (HTTP 403)", "same as a browser", or "not checked" when the check did not run.
Text CrawlerAnswerCellText(const ScanResult& result, const CrawlerAccess& row);

// "robots.txt allows it, the server refuses it", "same as Googlebot's answer: this token has
// no crawler of its own", both, or empty.
Text CrawlerMeaningCellText(const ScanResult& result, const CrawlerAccess& row);

// The page's render verdict ("content needs JavaScript", ...); empty for a page outside
// the rendered sample, "not checked: no browser found" when no browser was there.
Text PageScriptCellText(const ScanResult& result, const PageRecord& page);

// The status bar's word on the render check, after the scan summary: "content needs
// JavaScript on 2 of 7 pages", "JavaScript not checked: no browser found", "JavaScript check
// cancelled"; empty when the check was off.
Text RenderStatusText(const RenderCheck& check);

}  // namespace bcnk
