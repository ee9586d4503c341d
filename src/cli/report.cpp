#include "cli/report.h"

#include <algorithm>

#include "cli/agent_summary.h"
#include "cli/crawler_summary.h"
#include "cli/sitemap_summary.h"
#include "scan/indexability.h"
#include "scan/result_figures.h"

namespace bcnk::cli {

namespace {

Text PadRight(const Text& text, size_t width) {
    return text.size() >= width ? text + u" " : text + Text(width - text.size(), u' ');
}

// The pages the package's lists leave out, counted by reason; --verbose names each.
Text LeftOutBlock(const ScanResult& result, bool verbose) {
    const Text summary = LeftOutSummary(result.pages);
    if (summary.empty()) {
        return Text();
    }
    Text text = summary + u"\n";
    if (verbose) {
        for (const PageRecord& page : result.pages) {
            const Text label = IndexableLabel(page, result.baseUrl);
            if (label != u"Yes") {
                text += u"  " + page.url + u"  - " + label + u"\n";
            }
        }
    }
    return text;
}

}  // namespace

Text SkipReason(const SkippedPage& page) {
    if (!page.reason.empty()) {
        return page.reason;
    }
    return page.httpStatus != 0 ? u"HTTP " + NumberText(page.httpStatus) : Text(u"no answer");
}

Text NoPagesReason(const ScanResult& result) {
    if (result.skippedPages.empty()) {
        return Text();
    }
    const SkippedPage& start = result.skippedPages.front();
    return SkipReason(start) + u" (" + start.url + u")";
}

Text FormatSummary(const ScanResult& result, bool cancelled, bool verbose) {
    Text text = ScanSummaryText(result) + u"\n";
    if (cancelled) {
        // A cancelled scan skipped the discovery checks, so its 0 would read like a verdict.
        text += u"Score: none (cancelled after " +
                NumberText(static_cast<long long>(result.pages.size())) +
                u" pages)\nScan cancelled: the result covers the pages found so far.\n";
    } else {
        text +=
            u"Score: " + NumberText(result.score) + u"% (" + ScoreBandWord(result.score) + u")\n";
    }
    text += AgentSummaryLead(result);
    if (!result.skippedPages.empty()) {
        const size_t count = result.skippedPages.size();
        text += u"Not stored: " + NumberText(static_cast<long long>(count)) +
                (count == 1 ? u" page" : u" pages") +
                (verbose ? u"\n" : u" (--verbose lists them with the reason)\n");
    }
    text += LeftOutBlock(result, verbose);
    if (verbose && !result.skippedPages.empty()) {
        text += u"\nPages not stored\n";
        for (const SkippedPage& page : result.skippedPages) {
            text += u"  " + page.url + u"  - " + SkipReason(page);
            text += page.linkedFrom.empty() ? Text() : u" (linked from " + page.linkedFrom + u")";
            text += u"\n";
        }
    }

    text += u"\nAI discovery files\n";
    if (result.checks.empty()) {
        text += u"  (not checked)\n";
    }
    size_t labelWidth = 0;
    for (const DiscoveryCheck& check : result.checks) {
        labelWidth = std::max(labelWidth, check.label.size());
    }
    for (const DiscoveryCheck& check : result.checks) {
        text += u"  " + PadRight(CheckStateSymbol(check.state), 6) +
                PadRight(check.label, labelWidth + 2) + check.details + u"\n";
    }

    text += UsagePreferencesSummary(result);
    text += CrawlerAccessSummary(result);
    text += SitemapSummaryText(result, verbose);
    text += AgentSummary(result);

    text += u"\nPages by class\n";
    for (const ClassCountRow& row : PageClassCountRows(result.pages)) {
        text += u"  " + PadRight(row.label, 15) + NumberText(row.count) + u"\n";
    }

    text += u"\nTopics\n  ";
    if (result.topics.empty()) {
        text += u"(none found)";
    }
    for (size_t index = 0; index < result.topics.size(); ++index) {
        text += (index ? u", " : u"") + result.topics[index];
    }
    return text + u"\n";
}

}  // namespace bcnk::cli
