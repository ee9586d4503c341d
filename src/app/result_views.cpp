#include "app/result_views.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace bcnk {
namespace {

constexpr size_t kSchemaCellLimit = 1023;

Text JoinTypes(const std::vector<Text>& types, const Text& separator) {
    Text joined;
    for (size_t i = 0; i < types.size(); ++i) {
        if (i > 0) {
            joined += separator;
        }
        joined += types[i];
    }
    return joined;
}

// Compares two pages by one column: negative, zero or positive.
int ComparePages(const PageRecord& a, const PageRecord& b, PageColumn column) {
    switch (column) {
        case PageColumn::Url:
            return a.url.compare(b.url);
        case PageColumn::Title:
            return a.title.compare(b.title);
        case PageColumn::Class:
            return PageClassName(a.pageClass).compare(PageClassName(b.pageClass));
        case PageColumn::Words:
            return (a.wordCount > b.wordCount) - (a.wordCount < b.wordCount);
        case PageColumn::Schema:
            return JoinTypes(a.schemaTypes, u",").compare(JoinTypes(b.schemaTypes, u","));
    }
    return 0;
}

}  // namespace

Text PageCellText(const PageRecord& page, int column) {
    switch (static_cast<PageColumn>(column)) {
        case PageColumn::Url:
            return page.url;
        case PageColumn::Title:
            return page.title;
        case PageColumn::Class:
            return PageClassName(page.pageClass);
        case PageColumn::Words:
            return NumberText(page.wordCount);
        case PageColumn::Schema:
            return JoinTypes(page.schemaTypes, u", ").substr(0, kSchemaCellLimit);
    }
    return Text();
}

bool SortPagesByColumn(std::vector<PageRecord>& pages, int column, PageSortState& state) {
    if (pages.empty() || column < 0 || column >= kPageColumnCount) {
        return false;
    }
    if (column == state.column) {
        state.ascending = !state.ascending;
    } else {
        state.column = column;
        state.ascending = true;
    }
    const auto key = static_cast<PageColumn>(column);
    const bool ascending = state.ascending;
    std::sort(pages.begin(), pages.end(),
              [key, ascending](const PageRecord& a, const PageRecord& b) {
                  const int order = ComparePages(a, b, key);
                  return ascending ? order < 0 : order > 0;
              });
    return true;
}

Text SummaryLine(const ScanResult* result) {
    if (result == nullptr) {
        return u"Ready";
    }
    char time[32];
    std::snprintf(time, sizeof time, "%02d:%02d", result->elapsedSeconds / 60,
                  result->elapsedSeconds % 60);
    Text line = u"  Domain: " + result->host + u"     Pages: " +
                NumberText(static_cast<long long>(result->pages.size())) + u"     Scan Time: " +
                AsciiToText(time);
    if (result->pageLimitReached) {
        line += u"     (page limit reached - site may have more)";
    }
    return line;
}

Rgb ScoreColor(int score) {
    if (score >= 75) {
        return {63, 185, 80};
    }
    if (score >= 45) {
        return {226, 176, 51};
    }
    return {224, 85, 85};
}

Text RatingWord(int score) {
    if (score >= 75) {
        return u"Good";
    }
    return score >= 45 ? u"Fair" : u"Needs work";
}

Point ArcEndPoint(int centerX, int centerY, int radius, int score) {
    const double theta = (90.0 - score / 100.0 * 360.0) * 3.14159265 / 180.0;
    return {centerX + static_cast<int>(std::cos(theta) * radius),
            centerY - static_cast<int>(std::sin(theta) * radius)};
}

std::array<GaugeRow, 5> ClassificationRows(const std::vector<PageRecord>& pages) {
    const auto count = [&pages](auto matches) {
        return static_cast<int>(std::count_if(
            pages.begin(), pages.end(), [&](const PageRecord& p) { return matches(p.pageClass); }));
    };
    return {{
        {u"Product pages", count([](PageClass c) { return c == PageClass::Product; })},
        {u"Articles", count([](PageClass c) { return c == PageClass::Article; })},
        {u"Guides", count([](PageClass c) { return c == PageClass::Guide; })},
        {u"Legal", count([](PageClass c) { return c == PageClass::Legal; })},
        {u"Other", count([](PageClass c) {
             return c != PageClass::Product && c != PageClass::Article && c != PageClass::Guide &&
                    c != PageClass::Legal;
         })},
    }};
}

}  // namespace bcnk
