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

std::array<ClassCountRow, 5> PageClassCountRows(const std::vector<PageRecord>& pages) {
    std::array<ClassCountRow, 5> rows = {{{u"Product pages", 0},
                                          {u"Articles", 0},
                                          {u"Guides", 0},
                                          {u"Legal", 0},
                                          {u"Other", 0}}};
    for (const PageRecord& page : pages) {
        switch (page.pageClass) {
            case PageClass::Product:
                ++rows[0].count;
                break;
            case PageClass::Article:
                ++rows[1].count;
                break;
            case PageClass::Guide:
                ++rows[2].count;
                break;
            case PageClass::Legal:
                ++rows[3].count;
                break;
            default:
                ++rows[4].count;
                break;
        }
    }
    return rows;
}

Text ScanSummaryText(const ScanResult& result) {
    const int seconds = result.elapsedSeconds < 0 ? 0 : result.elapsedSeconds;
    char time[32];
    std::snprintf(time, sizeof time, "%02d:%02d", seconds / 60, seconds % 60);
    Text text = u"Domain: " + result.host + u"     Pages: " +
                NumberText(static_cast<long long>(result.pages.size())) +
                u"     Scan Time: " + AsciiToText(time);
    if (result.pageLimitReached) {
        text += u"     (page limit reached - site may have more)";
    }
    return text;
}

}  // namespace bcnk
