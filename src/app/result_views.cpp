#include "app/result_views.h"

#include <algorithm>
#include <cmath>

#include "net/url.h"
#include "scan/indexability.h"
#include "scan/usage_preferences.h"

namespace bcnk {
namespace {

constexpr size_t kSchemaCellLimit = 1023;

// "Yes", "noindex", "canonical → /a/one.html": addresses on the page's own site by path.
Text IndexableCell(const PageRecord& page) {
    return IndexableLabel(page, OriginOf(page.url)).substr(0, kSchemaCellLimit);
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
            return JoinTexts(a.schemaTypes, u",").compare(JoinTexts(b.schemaTypes, u","));
        case PageColumn::Indexable:
            return IndexableCell(a).compare(IndexableCell(b));
        case PageColumn::MainWords:
            return (a.mainWordCount > b.mainWordCount) - (a.mainWordCount < b.mainWordCount);
    }
    return 0;
}

// Short enough for the access column, where "Allowed" and "Blocked" stand.
Text DeclaredAnswerText(UsageAnswer answer) {
    switch (answer) {
        case UsageAnswer::Yes:
            return u"Says yes";
        case UsageAnswer::No:
            return u"Says no";
        case UsageAnswer::Unknown:
            break;
    }
    return u"Not said";
}

}  // namespace

Text CrawlerCellText(const CrawlerAccess& row, int column) {
    switch (static_cast<CrawlerColumn>(column)) {
        case CrawlerColumn::Crawler:
            return row.token;
        case CrawlerColumn::Operator:
            return row.operatorName;
        case CrawlerColumn::Purpose:
            return CrawlerPurposeName(row.purpose);
        case CrawlerColumn::Access:
            return CrawlerAccessLevelName(row.access);
        case CrawlerColumn::Rule:
            return row.decidingRule.empty() ? Text(kNoDecidingRuleText) : row.decidingRule;
    }
    return Text();
}

std::vector<std::vector<Text>> UsageRows(const ScanResult& result) {
    std::vector<std::vector<Text>> rows;
    const UsageFindings& usage = result.usage;
    if (result.crawlerAccess.empty() && usage.pagesRead == 0) {
        return rows;
    }
    for (std::size_t index = 0; index < usage.purposes.size(); ++index) {
        const UsagePurposeFindings& purpose = usage.purposes[index];
        Text where;
        for (const UsageDeclaration& declaration : purpose.declarations) {
            where += where.empty() ? u"" : u"; ";
            where += UsageDeclarationText(declaration, usage.pagesRead);
        }
        if (purpose.conflict) {
            where = u"Conflict: " + UsageConflictText(purpose) + u". " + where;
        }
        rows.push_back({u"Declared use", u"this site",
                        CrawlerPurposeName(static_cast<CrawlerPurpose>(index)),
                        DeclaredAnswerText(purpose.answer),
                        where.empty() ? Text(u"nothing declared") : where});
    }
    return rows;
}

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
            return JoinTexts(page.schemaTypes, u", ").substr(0, kSchemaCellLimit);
        case PageColumn::Indexable:
            return IndexableCell(page);
        case PageColumn::MainWords:
            return NumberText(page.mainWordCount);
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

Point ArcEndPoint(int centerX, int centerY, int radius, int score) {
    const double theta = (90.0 - score / 100.0 * 360.0) * 3.14159265 / 180.0;
    return {centerX + static_cast<int>(std::cos(theta) * radius),
            centerY - static_cast<int>(std::sin(theta) * radius)};
}

}  // namespace bcnk
