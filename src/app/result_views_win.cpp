// The result views on screen: the ADP status list, the score gauge and the virtual page list.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "app/agent_views.h"
#include "app/app_ids.h"
#include "app/window_state.h"
#include "scan/result_figures.h"

namespace bcnk {
namespace {

constexpr COLORREF kRingColor = ToColorRef(kColorGaugeRing);

RECT ToRect(const Rect& rect) {
    return {rect.x, rect.y, rect.x + rect.width, rect.y + rect.height};
}

void DrawLine(HDC dc, const wchar_t* text, const Rect& where, HFONT font, COLORREF color,
              UINT alignment) {
    const UniqueSelection selected = Select(dc, font);
    SetTextColor(dc, color);
    RECT rect = ToRect(where);
    DrawTextW(dc, text, -1, &rect, alignment | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void PaintGauge(HWND window, HDC dc) {
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, App().resources.card.Get());
    SetBkMode(dc, TRANSPARENT);

    const ScanResult* result = App().logic->Current();
    const int score = result != nullptr ? result->score : 0;
    const GaugeLayout g = ComputeGaugeLayout(client.right, App().dpi);
    const COLORREF scoreColor = ToColorRef(ScoreColor(score));
    const int left = g.centerX - g.radius;
    const int top = g.centerY - g.radius;
    const int right = g.centerX + g.radius;
    const int bottom = g.centerY + g.radius;
    {
        const UniquePen ring(CreatePen(PS_SOLID, g.penWidth, kRingColor));
        const UniqueSelection pen = Select(dc, ring.Get());
        const UniqueSelection hollow = Select(dc, GetStockObject(NULL_BRUSH));
        Ellipse(dc, left, top, right, bottom);
    }
    if (score > 0) {
        const UniquePen arcPen(CreatePen(PS_SOLID, g.penWidth, scoreColor));
        const UniqueSelection pen = Select(dc, arcPen.Get());
        const Point end = ArcEndPoint(g.centerX, g.centerY, g.radius, score);
        const int previousDirection = SetArcDirection(dc, AD_CLOCKWISE);
        Arc(dc, left, top, right, bottom, g.centerX, top, end.x, end.y);
        SetArcDirection(dc, previousDirection);
    }

    const UiResources& r = App().resources;
    wchar_t number[16];
    std::swprintf(number, 16, L"%d%%", score);
    DrawLine(dc, number, g.percent, r.large.Get(), ColorText, DT_CENTER);
    DrawLine(dc, Wide(ScoreBandWord(score)), g.rating, r.semiBold.Get(), scoreColor, DT_CENTER);
    DrawLine(dc, L"Page Classification", g.heading, r.semiBold.Get(), ColorText, DT_LEFT);
    if (result == nullptr) {
        return;
    }
    Rect label = g.firstRowLabel;
    Rect count = g.firstRowCount;
    for (const ClassCountRow& row : PageClassCountRows(result->pages)) {
        DrawLine(dc, reinterpret_cast<const wchar_t*>(row.label), label, r.normal.Get(),
                 ColorDimText, DT_LEFT);
        std::swprintf(number, 16, L"%d", row.count);
        DrawLine(dc, number, count, r.normal.Get(), ColorText, DT_RIGHT);
        label.y += g.rowStep;
        count.y += g.rowStep;
    }
}

void AddColumns(HWND list, std::initializer_list<std::pair<const wchar_t*, int>> columns) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = LVCFMT_LEFT;
    int index = 0;
    for (const auto& [caption, width] : columns) {
        column.pszText = const_cast<wchar_t*>(caption);
        column.cx = Px(width);
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index++),
                     reinterpret_cast<LPARAM>(&column));
    }
}

void SetCell(HWND list, int row, int column, const Text& text) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(Wide(text));
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void AnswerDisplayInfo(NMLVDISPINFOW& info) {
    const ScanResult* result = App().logic->Current();
    LVITEMW& item = info.item;
    if (result == nullptr || item.iItem < 0 ||
        static_cast<size_t>(item.iItem) >= result->pages.size() || !(item.mask & LVIF_TEXT)) {
        return;
    }
    const PageRecord& page = result->pages[static_cast<size_t>(item.iItem)];
    const Text* text = nullptr;
    switch (static_cast<PageColumn>(item.iSubItem)) {
        case PageColumn::Url:
            text = &page.url;
            break;
        case PageColumn::Title:
            text = &page.title;
            break;
        case PageColumn::Class:
        case PageColumn::Words:
        case PageColumn::Schema:
        case PageColumn::Indexable:
        case PageColumn::MainWords:
            App().cellBuffer = PageCellText(page, item.iSubItem);
            text = &App().cellBuffer;
            break;
        default:
            if (item.iSubItem != kPageScriptColumn) {
                return;
            }
            App().cellBuffer = PageScriptCellText(*result, page);
            text = &App().cellBuffer;
            break;
    }
    item.pszText = const_cast<wchar_t*>(Wide(*text));
}

void SortOnColumnClick(HWND list, int column) {
    ScanResult* result = App().logic->MutableCurrent();
    if (result == nullptr || !SortPagesByColumn(result->pages, column, App().sort)) {
        return;
    }
    SendMessageW(list, LVM_REDRAWITEMS, 0, static_cast<LPARAM>(result->pages.size()) - 1);
    InvalidateRect(list, nullptr, FALSE);
}

}  // namespace

LRESULT CALLBACK GaugeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        const UniquePaint paint = BeginPainting(window);
        if (paint) {
            PaintGauge(window, paint.Get().paint.hdc);
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void InitListColumns(HWND statusList, HWND pageList) {
    if (statusList != nullptr) {
        AddColumns(statusList, {{L"File", 220}, {L"Status", 70}, {L"Details", 140}});
    }
    if (pageList != nullptr) {
        AddColumns(
            pageList,
            // Narrow enough that the first six fit the list at the window's first size.
            {{L"URL", 260}, {L"Title", 180}, {L"Class", 70}, {L"Words", 60}, {L"Schema", 120},
             {L"Indexable", 130}, {L"Main words", 75}, {L"JavaScript", 190}});
        // Both shown beside the word count they qualify; their indexes stay after the others.
        int order[] = {0, 1, 2, 3, static_cast<int>(PageColumn::MainWords), kPageScriptColumn,
                       4, 5};
        SendMessageW(pageList, LVM_SETCOLUMNORDERARRAY, std::size(order),
                     reinterpret_cast<LPARAM>(order));
    }
}

void InitCrawlerColumns(HWND crawlerList) {
    if (crawlerList != nullptr) {
        AddColumns(crawlerList, {{L"Crawler", 130},
                                 {L"Operator", 100},
                                 {L"Purpose", 100},
                                 {L"Access", 62},
                                 {L"Deciding rule", 160},
                                 {L"Server's answer", 120},
                                 {L"What it means", 120}});
        // What the server answers, and what that means for the owner, beside the robots.txt
        // access; who runs the crawler and why after them. The indexes stay as added.
        int order[] = {0, 3, kCrawlerAnswerColumn, kCrawlerMeaningColumn, 2, 1, 4};
        SendMessageW(crawlerList, LVM_SETCOLUMNORDERARRAY, std::size(order),
                     reinterpret_cast<LPARAM>(order));
    }
}

void InitSitemapColumns(HWND sitemapList) {
    if (sitemapList != nullptr) {
        AddColumns(sitemapList, {{L"Finding", 170}, {L"Address", 360}, {L"Detail", 300}});
    }
}

// Empties one of the plain lists and gives it one row per entry, cells in column order.
void FillRows(int listId, const std::vector<std::vector<Text>>& rows) {
    HWND list = GetDlgItem(App().window, listId);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t row = 0; row < rows.size(); ++row) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(row);
        item.pszText = const_cast<wchar_t*>(Wide(rows[row].front()));
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        for (std::size_t column = 1; column < rows[row].size(); ++column) {
            SetCell(list, static_cast<int>(row), static_cast<int>(column), rows[row][column]);
        }
    }
}

void FillCrawlerList() {
    std::vector<std::vector<Text>> rows;
    if (const ScanResult* result = App().logic->Current()) {
        rows = UsageRows(*result);
        for (const CrawlerAccess& access : result->crawlerAccess) {
            std::vector<Text>& cells = rows.emplace_back();
            for (int column = 0; column < kCrawlerColumnCount; ++column) {
                cells.push_back(CrawlerCellText(access, column));
            }
            cells.push_back(CrawlerAnswerCellText(*result, access));
            cells.push_back(CrawlerMeaningCellText(*result, access));
        }
    }
    FillRows(kIdCrawlerList, rows);
    // Sized to their longest text, so no verdict or explanation ends in "..."; the list
    // scrolls sideways where the window is too narrow for them.
    HWND list = GetDlgItem(App().window, kIdCrawlerList);
    for (int column : {kCrawlerAnswerColumn, kCrawlerMeaningColumn}) {
        SendMessageW(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), LVSCW_AUTOSIZE);
        // Never narrower than the caption; a long redirect target does not push what the
        // answer means out of sight (the report and the console give it whole).
        const int width =
            static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
        const int limit = column == kCrawlerAnswerColumn ? Px(300) : width;
        SendMessageW(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                     std::clamp(width, Px(120), std::max(limit, Px(120))));
    }
}

void FillSitemapList() {
    std::vector<std::vector<Text>> rows;
    if (const ScanResult* result = App().logic->Current()) {
        for (const SitemapFindingRow& row : SitemapListRows(*result)) {
            rows.push_back({row.finding, row.url, row.detail});
        }
    }
    FillRows(kIdSitemapList, rows);
}

void FillDiscoveryList() {
    std::vector<std::vector<Text>> rows;
    if (const ScanResult* result = App().logic->Current()) {
        for (const DiscoveryCheck& check : result->checks) {
            rows.push_back({check.label, CheckStateSymbol(check.state), check.details});
        }
    }
    FillRows(kIdStatusList, rows);
}

void RefreshResultViews() {
    FillDiscoveryList();
    FillCrawlerList();
    FillSitemapList();
    const ScanResult* result = App().logic->Current();
    const WPARAM count = result != nullptr ? result->pages.size() : 0;
    SendMessageW(GetDlgItem(App().window, kIdPageList), LVM_SETITEMCOUNT, count, 0);
    InvalidateRect(GetDlgItem(App().window, kIdGauge), nullptr, TRUE);
}

bool HandlePageListNotify(const NMHDR& header) {
    if (header.idFrom != kIdPageList) {
        return false;
    }
    if (header.code == LVN_GETDISPINFOW) {
        AnswerDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header)));
        return true;
    }
    if (header.code == LVN_COLUMNCLICK) {
        const auto& click = reinterpret_cast<const NMLISTVIEW&>(header);
        SortOnColumnClick(header.hwndFrom, click.iSubItem);
        return true;
    }
    return false;
}

}  // namespace bcnk
