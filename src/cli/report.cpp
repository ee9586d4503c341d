#include "cli/report.h"

#include <algorithm>

#include "scan/result_figures.h"

namespace bcnk::cli {

namespace {

Text PadRight(const Text& text, size_t width) {
    return text.size() >= width ? text + u" " : text + Text(width - text.size(), u' ');
}

}  // namespace

Text FormatSummary(const ScanResult& result, bool cancelled) {
    Text text = ScanSummaryText(result) + u"\n";
    text += u"Score: " + NumberText(result.score) + u"% (" + ScoreBandWord(result.score) + u")\n";
    if (cancelled) {
        text += u"Scan cancelled: the result covers the pages found so far.\n";
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
