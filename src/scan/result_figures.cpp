#include "scan/result_figures.h"

#include <cstdio>

namespace bcnk {

ScoreBand ScoreBandOf(int score) {
    return score >= 75 ? ScoreBand::Good : score >= 45 ? ScoreBand::Fair : ScoreBand::NeedsWork;
}

Text ScoreBandWord(int score) {
    static const char16_t* const kWords[] = {u"Good", u"Fair", u"Needs work"};
    return kWords[static_cast<int>(ScoreBandOf(score))];
}

Rgb ScoreColor(int score) {
    static constexpr Rgb kColors[] = {{63, 185, 80}, {226, 176, 51}, {224, 85, 85}};
    return kColors[static_cast<int>(ScoreBandOf(score))];
}

namespace {

size_t ClassRowIndex(PageClass pageClass) {
    switch (pageClass) {
        case PageClass::Product:
            return 0;
        case PageClass::Article:
            return 1;
        case PageClass::Guide:
            return 2;
        case PageClass::Legal:
            return 3;
        default:
            return 4;
    }
}

constexpr std::array<const char16_t*, 5> kClassRowLabels = {u"Product pages", u"Articles",
                                                            u"Guides", u"Legal", u"Other"};

}  // namespace

const char16_t* PageClassSummaryLabel(PageClass pageClass) {
    return kClassRowLabels[ClassRowIndex(pageClass)];
}

std::array<ClassCountRow, 5> PageClassCountRows(const std::vector<PageRecord>& pages) {
    std::array<ClassCountRow, 5> rows{};
    for (size_t index = 0; index < rows.size(); ++index) {
        rows[index] = {kClassRowLabels[index], 0};
    }
    for (const PageRecord& page : pages) {
        ++rows[ClassRowIndex(page.pageClass)].count;
    }
    return rows;
}

Text ScanSummaryText(const ScanResult& result) {
    const int seconds = result.elapsedSeconds < 0 ? 0 : result.elapsedSeconds;
    char time[32];
    std::snprintf(time, sizeof time, "%02d:%02d", seconds / 60, seconds % 60);
    Text text = u"Domain: " + result.host + u"     Pages: " +
                NumberText(static_cast<long long>(result.pages.size())) + u"     Scan Time: " +
                AsciiToText(time);
    if (result.pageLimitReached) {
        text += u"     (page limit reached - site may have more)";
    }
    return text;
}

}  // namespace bcnk
