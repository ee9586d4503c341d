// The main window: its controls, menus, fonts, colours, owner drawing, hint texts, tab
// views and layout. What the commands do lives in commands_win.cpp and commands.cpp.
#include <windows.h>

#include <commctrl.h>
#include <uxtheme.h>

#include <array>
#include <string>
#include <vector>

#include "app/app_ids.h"
#include "app/commands.h"
#include "app/window_state.h"
#include "common/debug_log.h"
#include "common/maker_info.h"
#include "package/package_form.h"

namespace bcnk {

AppState& App() {
    static AppState state;
    return state;
}

Text WindowText(HWND window, int bufferChars) {
    std::wstring buffer(static_cast<size_t>(bufferChars), L'\0');
    const int length = GetWindowTextW(window, buffer.data(), bufferChars);
    return Text(reinterpret_cast<const char16_t*>(buffer.data()),
                static_cast<size_t>(length > 0 ? length : 0));
}

namespace {

constexpr UINT_PTR kSubclassId = 1;

HWND Child(HWND parent, const wchar_t* windowClass, const wchar_t* text, DWORD style,
           DWORD extendedStyle, int id) {
    return CreateWindowExW(extendedStyle, windowClass, text, WS_CHILD | style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), App().instance,
                           nullptr);
}

HWND Item(int id) {
    HWND window = GetDlgItem(App().window, id);
    return window != nullptr ? window : GetDlgItem(App().panel, id);
}

int ReadWindowDpi(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    const auto getDpi =
        user32 != nullptr ? reinterpret_cast<GetDpiForWindowFn>(
                                reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")))
                          : nullptr;
    if (getDpi != nullptr) {
        const int dpi = static_cast<int>(getDpi(window));
        return dpi < 1 ? 96 : dpi;
    }
    const UniqueWindowDc dc = GetWindowDc(window);
    return dc ? GetDeviceCaps(dc.Get().dc, LOGPIXELSX) : 96;
}

UniqueFont MakeFont(int height, int weight) {
    return UniqueFont(CreateFontW(-Px(height), 0, 0, 0, weight, FALSE, FALSE, FALSE,
                                  DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Segoe UI"));
}

void CreateResources() {
    UiResources& r = App().resources;
    r.normal = MakeFont(11, FW_NORMAL);
    r.semiBold = MakeFont(11, FW_SEMIBOLD);
    r.large = MakeFont(28, FW_SEMIBOLD);
    r.background = UniqueBrush(CreateSolidBrush(ColorBackground));
    r.card = UniqueBrush(CreateSolidBrush(ColorCard));
    r.field = UniqueBrush(CreateSolidBrush(ColorField));
}

void FillRectWith(HDC dc, const RECT& rect, COLORREF color) {
    const UniqueBrush brush(CreateSolidBrush(color));
    FillRect(dc, &rect, brush.Get());
}

void DrawCentredText(HDC dc, const wchar_t* text, RECT rect, HFONT font, COLORREF color) {
    const UniqueSelection selected = Select(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    DrawTextW(dc, text, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// Hint texts: drawn over an empty edit field after it painted itself.
LRESULT CALLBACK HintEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                              UINT_PTR subclassId, DWORD_PTR hint) {
    switch (message) {
        case WM_PAINT: {
            const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
            if (GetWindowTextLengthW(window) == 0) {
                const UniqueWindowDc dc = GetWindowDc(window);
                if (dc) {
                    RECT rect;
                    GetClientRect(window, &rect);
                    rect.left += Px(4);
                    const UniqueSelection font = Select(dc.Get().dc, App().resources.normal.Get());
                    SetBkMode(dc.Get().dc, TRANSPARENT);
                    SetTextColor(dc.Get().dc, ColorDimText);
                    DrawTextW(dc.Get().dc, reinterpret_cast<const wchar_t*>(hint), -1, &rect,
                              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
                }
            }
            return result;
        }
        case WM_SETFOCUS:
        case WM_KILLFOCUS: {
            const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
            InvalidateRect(window, nullptr, TRUE);
            return result;
        }
        case WM_NCDESTROY:
            RemoveWindowSubclass(window, HintEditProc, subclassId);
            break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void AddHint(HWND edit, const wchar_t* hint) {
    if (edit != nullptr) {
        SetWindowSubclass(edit, HintEditProc, kSubclassId, reinterpret_cast<DWORD_PTR>(hint));
    }
}

// The tab control's own painting draws a light frame around its display area, which the
// dark scheme cannot recolour; the strip is painted here instead, each tab through the
// same owner drawing the control itself would ask for.
void PaintTabStrip(HWND tabs) {
    const UniquePaint paint = BeginPainting(tabs);
    if (!paint) {
        return;
    }
    const HDC dc = paint.Get().paint.hdc;
    RECT client;
    GetClientRect(tabs, &client);
    FillRect(dc, &client, App().resources.background.Get());
    const int selected = static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
    const int count = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_TAB;
        item.CtlID = static_cast<UINT>(GetDlgCtrlID(tabs));
        item.itemID = static_cast<UINT>(index);
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = index == selected ? ODS_SELECTED : 0;
        item.hwndItem = tabs;
        item.hDC = dc;
        SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item.rcItem));
        SendMessageW(GetParent(tabs), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
    }
}

LRESULT CALLBACK TabBackgroundProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR subclassId, DWORD_PTR) {
    if (message == WM_ERASEBKGND) {
        RECT rect;
        GetClientRect(window, &rect);
        FillRect(reinterpret_cast<HDC>(wParam), &rect, App().resources.background.Get());
        return 1;
    }
    if (message == WM_PAINT) {
        PaintTabStrip(window);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, TabBackgroundProc, subclassId);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

// Entries are UTF-16 strings, as wchar_t or as char16_t (the lists shared with the console).
template <typename Entries>
void FillList(HWND list, const Entries& entries, int selected) {
    for (const auto* entry : entries) {
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
    }
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void FillList(HWND list, std::initializer_list<const wchar_t*> entries, int selected) {
    FillList<std::initializer_list<const wchar_t*>>(list, entries, selected);
}

HWND CreateEdit(HWND parent, int id, int limit, DWORD extraStyle = 0) {
    HWND edit = Child(parent, L"EDIT", L"", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | extraStyle,
                      WS_EX_CLIENTEDGE, id);
    SendMessageW(edit, EM_SETLIMITTEXT, static_cast<WPARAM>(limit), 0);
    return edit;
}

HWND CreateCheckBox(HWND parent, int id, const wchar_t* caption) {
    HWND box = Child(parent, L"BUTTON", caption, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, id);
    if (box != nullptr) {
        SetWindowTheme(box, L"", L"");
        SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
    }
    return box;
}

HWND CreateComboBox(HWND parent, int id) {
    return Child(parent, L"COMBOBOX", L"", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                 0, id);
}

HWND CreateListView(HWND parent, int id, DWORD extraStyle) {
    HWND list = Child(parent, WC_LISTVIEWW, L"",
                      WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | extraStyle, WS_EX_CLIENTEDGE, id);
    if (list != nullptr) {
        SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                     LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    }
    return list;
}

// The Generate form; its labels are returned so they get the normal font.
std::array<HWND, 7> CreateGenerateForm(HWND panel) {
    std::array<HWND, 7> labels{};
    const std::array<const wchar_t*, 7> captions = {
        L"Name",         L"Description",        L"Email",
        L"Industry",     L"Year founded",       L"TDM policy address",
        L"Full text size (KiB)"};
    for (size_t i = 0; i < captions.size(); ++i) {
        labels[i] = Child(panel, L"STATIC", captions[i], WS_VISIBLE | SS_RIGHT, 0, -1);
    }
    AddHint(CreateEdit(panel, kIdName, 200), L"Your name or business name");
    AddHint(CreateEdit(panel, kIdDescription, 500), L"One-line description of your site");
    AddHint(CreateEdit(panel, kIdEmail, 200), L"you@example.com");
    FillList(CreateComboBox(panel, kIdIndustry), kIndustryChoices, 0);
    AddHint(CreateEdit(panel, kIdFounded, 4, ES_NUMBER), L"e.g. 2024");
    AddHint(CreateEdit(panel, kIdTdmPolicy, 2048), L"optional: https://... your mining terms");
    CreateCheckBox(panel, kIdAllowTraining, L"Allow AI training on my content");
    // Both choices also open or close robots.txt to the crawlers that serve them, which the
    // old captions left unsaid.
    CreateCheckBox(panel, kIdAllowCitation,
                   L"Allow AI citation (declared in discovery files; robots.txt AI search crawlers)");
    CreateCheckBox(panel, kIdAllowSummarisation,
                   L"Allow AI summarisation (declared in discovery files; robots.txt user-asked "
                   L"fetches)");
    CreateCheckBox(panel, kIdRobotsRules, L"Generate robots.txt AI rules");
    // Off by default: robots.txt audits report the line as unknown (README.txt says which).
    SendMessageW(CreateCheckBox(panel, kIdContentUsageInRobots,
                                L"Also write Content-Usage into robots.txt (some audits flag it)"),
                 BM_SETCHECK, BST_UNCHECKED, 0);
    CreateCheckBox(panel, kIdPublishMarkdown, L"Publish Markdown versions of pages");
    // llms-full.txt's cap; consumer tools cut larger files, 0 writes none.
    HWND fullText = CreateEdit(panel, kIdFullTextMaxKib, 7, ES_NUMBER);
    AddHint(fullText, L"0 = none");
    SetWindowTextW(fullText, std::to_wstring(kDefaultFullTextKib).c_str());
    Child(panel, L"BUTTON", L"Generate AI Discovery Package",
          WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0, kIdGenerate);
    Child(panel, PROGRESS_CLASSW, L"", WS_VISIBLE | PBS_MARQUEE, 0, kIdGenerateProgress);
    Child(panel, L"EDIT", L"", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY,
          WS_EX_CLIENTEDGE, kIdResult);
    Child(panel, L"BUTTON", L"Open Folder", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0,
          kIdOpenFolder);
    Child(panel, L"STATIC",
          L"Want to find SEO issues too? Talvenn's Pagewarden runs 30+ checks  \u2192", SS_NOTIFY,
          0, kIdAuditLink);
    return labels;
}

void BuildMenu(HWND window) {
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, kCmdNewScan, L"&New Scan");
    AppendMenuW(file, MF_STRING | MF_GRAYED, kCmdSaveReport, L"Save &Report...");
    AppendMenuW(file, MF_STRING, kCmdOpenOutput, L"Open &Output Folder");
    AppendMenuW(file, MF_STRING, kCmdSettings, L"&Settings...");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, kCmdExit, L"E&xit");

    HMENU help = CreatePopupMenu();
    AppendMenuW(help, MF_STRING, kCmdAbout, L"&About");
    AppendMenuW(help, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(help, MF_STRING, kCmdUserGuide, L"&User Guide");
    AppendMenuW(help, MF_STRING, kCmdCheckUpdates, L"Check for &Updates");
    AppendMenuW(help, MF_SEPARATOR, 0, nullptr);
    const Text visit = u"&Visit " + MakerHostName();
    AppendMenuW(help, MF_STRING, kCmdVisitHome, Wide(visit));

    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");
    SetMenu(window, bar);
}

bool OnCreate(HWND window) {
    AppState& app = App();
    app.window = window;
    app.dpi = ReadWindowDpi(window);
    DebugLog::Write(u"Main window created. DPI=" + NumberText(app.dpi));
    CreateResources();

    HWND address = CreateEdit(window, kIdAddress, 2048);
    AddHint(address, L"https://example.com");
    HWND scan =
        Child(window, L"BUTTON", L"Scan", WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0, kIdScan);
    app.scanProgress = Child(window, PROGRESS_CLASSW, L"", PBS_MARQUEE, 0, 0);
    HWND depth = CreateComboBox(window, kIdDepth);
    std::vector<std::wstring> depths;
    for (int level = 1; level <= kMaxCrawlDepth; ++level) {
        depths.push_back(L"Depth: " + std::to_wstring(level));
    }
    for (const std::wstring& entry : depths) {
        SendMessageW(depth, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
    SendMessageW(depth, CB_SETCURSEL, 2, 0);
    HWND delay = CreateComboBox(window, kIdDelay);
    FillList(
        delay,
        {L"Delay: 0 ms", L"Delay: 250 ms", L"Delay: 500 ms", L"Delay: 1000 ms", L"Delay: 2000 ms"},
        2);
    HWND limit = CreateComboBox(window, kIdPageLimit);
    FillList(limit,
             {L"Max: 100 pages", L"Max: 250 pages", L"Max: 500 pages", L"Max: 1000 pages",
              L"Max: 2000 pages", L"Max: No limit"},
             2);
    HWND tabs =
        Child(window, WC_TABCONTROLW, L"",
              WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | TCS_OWNERDRAWFIXED | TCS_FIXEDWIDTH, 0,
              kIdTabs);
    HWND statusList = CreateListView(window, kIdStatusList, 0);
    HWND gauge = Child(window, kGaugeClass, L"", 0, 0, kIdGauge);
    HWND pageList = CreateListView(window, kIdPageList, LVS_OWNERDATA);
    app.panel = Child(window, kPanelClass, L"", 0, WS_EX_CONTROLPARENT, kIdGeneratePanel);
    HWND crawlerList = CreateListView(window, kIdCrawlerList, 0);
    HWND sitemapList = CreateListView(window, kIdSitemapList, 0);
    HWND statusBar =
        Child(window, STATUSCLASSNAMEW, L"Ready", WS_VISIBLE | SBARS_SIZEGRIP, 0, kIdStatusBar);

    if (tabs != nullptr) {
        SetWindowSubclass(tabs, TabBackgroundProc, kSubclassId, 0);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        for (const wchar_t* caption :
             {L"ADP Status", L"Pages Found", L"Generate", L"AI Crawlers", L"Sitemaps"}) {
            item.pszText = const_cast<wchar_t*>(caption);
            SendMessageW(tabs, TCM_INSERTITEMW,
                         static_cast<WPARAM>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0)),
                         reinterpret_cast<LPARAM>(&item));
        }
        // The control measures captions with its own font, not the semi-bold one they are
        // drawn in, so at high DPI its items would clip them; a fixed scaled size does not.
        SendMessageW(tabs, TCM_SETITEMSIZE, 0, MAKELPARAM(Px(116), Px(30)));
        // The views lie on top of the tab control.
        SetWindowPos(tabs, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    InitListColumns(statusList, pageList);
    InitCrawlerColumns(crawlerList);
    InitSitemapColumns(sitemapList);
    std::array<HWND, 7> labels{};
    if (app.panel != nullptr) {
        labels = CreateGenerateForm(app.panel);
    }

    std::vector<HWND> normalFont = {address,    depth,    delay,      limit,
                                    statusList, pageList, crawlerList, sitemapList};
    for (int id : {kIdName, kIdDescription, kIdEmail, kIdFounded, kIdTdmPolicy, kIdIndustry,
                   kIdAllowTraining,
                   kIdAllowCitation, kIdAllowSummarisation, kIdRobotsRules,
                   kIdContentUsageInRobots, kIdPublishMarkdown, kIdFullTextMaxKib, kIdResult,
                   kIdOpenFolder, kIdAuditLink}) {
        normalFont.push_back(GetDlgItem(app.panel, id));
    }
    normalFont.insert(normalFont.end(), labels.begin(), labels.end());
    for (HWND control : normalFont) {
        if (control != nullptr) {
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(app.resources.normal.Get()),
                         TRUE);
        }
    }

    const bool complete = address && scan && tabs && statusList && pageList && crawlerList && sitemapList &&
                          app.panel && GetDlgItem(app.panel, kIdGenerate) && statusBar && gauge;
    if (!complete) {
        DebugLog::Write(u"Critical control creation failed - aborting startup.");
        MessageBoxW(window, L"Failed to create the application controls.", Wide(kProductName),
                    MB_OK | MB_ICONERROR);
        return false;
    }
    BuildMenu(window);
    ShowTabViews(0);
    app.created = true;
    return true;
}

void Layout(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    const int dpi = App().dpi;
    const MainLayout main = ComputeMainLayout(client.right, client.bottom, dpi);
    PlaceWindow(Item(kIdAddress), main.address);
    PlaceWindow(Item(kIdScan), main.scan);
    PlaceWindow(Item(kIdDepth), main.depth);
    PlaceWindow(Item(kIdDelay), main.delay);
    PlaceWindow(Item(kIdPageLimit), main.pageLimit);
    PlaceWindow(App().scanProgress, main.scanProgress);
    HWND tabs = Item(kIdTabs);
    PlaceWindow(tabs, main.tabs);

    RECT page{main.tabs.x, main.tabs.y, main.tabs.x + main.tabs.width,
              main.tabs.y + main.tabs.height};
    SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    const TabViewsLayout views = ComputeTabViews(page.left, page.top, page.right, page.bottom, dpi);
    PlaceWindow(Item(kIdStatusList), views.statusList);
    PlaceWindow(Item(kIdGauge), views.gauge);
    PlaceWindow(Item(kIdPageList), views.pageList);
    PlaceWindow(App().panel, views.generatePanel);
    PlaceWindow(Item(kIdCrawlerList), views.crawlerList);
    PlaceWindow(Item(kIdSitemapList), views.sitemapList);

    RECT panelClient;
    GetClientRect(App().panel, &panelClient);
    const GeneratePanelLayout form = ComputeGeneratePanel(panelClient.right, dpi);
    HWND panel = App().panel;
    HWND labels[7];
    int labelCount = 0;
    for (HWND child = GetWindow(panel, GW_CHILD); child != nullptr && labelCount < 7;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(child) == -1) {
            labels[labelCount++] = child;
        }
    }
    const Rect labelRects[7] = {form.nameLabel,     form.descriptionLabel, form.emailLabel,
                                form.industryLabel, form.foundedLabel,     form.tdmPolicyLabel,
                                form.fullTextLabel};
    for (int i = 0; i < labelCount; ++i) {
        PlaceWindow(labels[i], labelRects[i]);
    }
    const std::pair<int, Rect> placed[] = {
        {kIdName, form.name},
        {kIdDescription, form.description},
        {kIdEmail, form.email},
        {kIdIndustry, form.industry},
        {kIdFounded, form.founded},
        {kIdTdmPolicy, form.tdmPolicy},
        {kIdAllowTraining, form.training},
        {kIdAllowCitation, form.citation},
        {kIdAllowSummarisation, form.summarisation},
        {kIdRobotsRules, form.robots},
        {kIdContentUsageInRobots, form.contentUsage},
        {kIdPublishMarkdown, form.publishMarkdown},
        {kIdFullTextMaxKib, form.fullText},
        {kIdGenerate, form.generate},
        {kIdGenerateProgress, form.progress},
        {kIdResult, form.result},
        {kIdOpenFolder, form.openFolder},
        {kIdAuditLink, form.auditLink},
    };
    for (const auto& [id, rect] : placed) {
        PlaceWindow(GetDlgItem(panel, id), rect);
    }
    InvalidateRect(window, nullptr, FALSE);
}

void DrawTab(const DRAWITEMSTRUCT& item) {
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRectWith(item.hDC, item.rcItem, selected ? ColorCard : ColorBackground);
    if (selected) {
        RECT bar = item.rcItem;
        bar.top = bar.bottom - Px(3);
        FillRectWith(item.hDC, bar, ColorAccent);
    }
    wchar_t caption[64] = {};
    TCITEMW tab{};
    tab.mask = TCIF_TEXT;
    tab.pszText = caption;
    tab.cchTextMax = 64;
    SendMessageW(item.hwndItem, TCM_GETITEMW, item.itemID, reinterpret_cast<LPARAM>(&tab));
    const UiResources& r = App().resources;
    DrawCentredText(item.hDC, caption, item.rcItem, selected ? r.semiBold.Get() : r.normal.Get(),
                    selected ? ColorText : ColorDimText);
}

void DrawAccentButton(const DRAWITEMSTRUCT& item) {
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    FillRectWith(item.hDC, item.rcItem, disabled || pressed ? ColorAccentDark : ColorAccent);
    wchar_t caption[128] = {};
    GetWindowTextW(item.hwndItem, caption, 128);
    DrawCentredText(item.hDC, caption, item.rcItem, App().resources.semiBold.Get(),
                    disabled ? ColorDimText : ColorWhite);
}

LRESULT OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlType == ODT_TAB) {
        DrawTab(item);
        return TRUE;
    }
    if (item.CtlType == ODT_BUTTON && (item.CtlID == kIdScan || item.CtlID == kIdGenerate)) {
        DrawAccentButton(item);
        return TRUE;
    }
    return FALSE;
}

LRESULT ColorEdit(HDC dc) {
    SetTextColor(dc, ColorText);
    SetBkColor(dc, ColorField);
    return reinterpret_cast<LRESULT>(App().resources.field.Get());
}

LRESULT ColorStatic(HDC dc, COLORREF text) {
    SetTextColor(dc, text);
    SetBkColor(dc, ColorBackground);
    return reinterpret_cast<LRESULT>(App().resources.background.Get());
}

LRESULT EraseWith(HWND window, HDC dc, HBRUSH brush) {
    RECT rect;
    GetClientRect(window, &rect);
    FillRect(dc, &rect, brush);
    return 1;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate(window) ? 0 : -1;
        case WM_DESTROY:
            App().logic->OnDestroy();
            App().resources = UiResources();
            // A window whose creation was refused must not end the loop: the quit message
            // would close start-up's "Failed to create the main window." box at once.
            if (App().created) {
                PostQuitMessage(0);
            }
            return 0;
        case WM_SIZE:
            Layout(window);
            SendMessageW(GetDlgItem(window, kIdStatusBar), WM_SIZE, wParam, lParam);
            return 0;
        case WM_CLOSE:
            App().logic->OnCloseRequest();
            return 0;
        case WM_ERASEBKGND:
            return EraseWith(window, reinterpret_cast<HDC>(wParam),
                             App().resources.background.Get());
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize.x = App().minimumSize.cx;
            info->ptMinTrackSize.y = App().minimumSize.cy;
            return 0;
        }
        case WM_DRAWITEM:
            return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_NOTIFY: {
            const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
            if (header.idFrom == kIdTabs && header.code == TCN_SELCHANGE) {
                ShowTabViews(static_cast<int>(SendMessageW(header.hwndFrom, TCM_GETCURSEL, 0, 0)));
                return 0;
            }
            if (HandlePageListNotify(header)) {
                return 0;
            }
            break;
        }
        case WM_COMMAND:
            HandleCommand(LOWORD(wParam));
            return 0;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            return ColorEdit(reinterpret_cast<HDC>(wParam));
        case WM_CTLCOLORSTATIC:
            return ColorStatic(reinterpret_cast<HDC>(wParam), ColorDimText);
        case WM_CTLCOLORBTN:
            return reinterpret_cast<LRESULT>(App().resources.background.Get());
        default:
            if (HandleWorkerMessage(message, wParam, lParam)) {
                return 0;
            }
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK GeneratePanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return EraseWith(window, reinterpret_cast<HDC>(wParam),
                             App().resources.background.Get());
        case WM_DRAWITEM:
        case WM_NOTIFY:
        case WM_COMMAND:
            return SendMessageW(App().window, message, wParam, lParam);
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            return ColorEdit(reinterpret_cast<HDC>(wParam));
        case WM_CTLCOLORSTATIC: {
            const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
            const COLORREF text = id == kIdAuditLink                                 ? ColorAccent
                                  : (id >= kIdAllowTraining && id <= kIdRobotsRules) ||
                                            id == kIdContentUsageInRobots ||
                                            id == kIdPublishMarkdown
                                        ? ColorText
                                        : ColorDimText;
            return ColorStatic(reinterpret_cast<HDC>(wParam), text);
        }
        case WM_CTLCOLORBTN:
            return reinterpret_cast<LRESULT>(App().resources.background.Get());
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool Register(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, bool withIcon) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = name;
    if (withIcon) {
        windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kAppIconId));
    }
    return RegisterClassExW(&windowClass) != 0;
}

}  // namespace

bool RegisterWindowClasses(HINSTANCE instance) {
    if (!Register(instance, kMainClass, MainWindowProc, true)) {
        return false;
    }
    Register(instance, kGaugeClass, GaugeProc, false);
    Register(instance, kPanelClass, GeneratePanelProc, false);
    Register(instance, kDialogClass, SettingsDialogProc, true);
    return true;
}

void ShowTabViews(int index) {
    const struct {
        int id;
        int tab;
    } views[] = {{kIdStatusList, 0},
                 {kIdGauge, 0},
                 {kIdPageList, 1},
                 {kIdGeneratePanel, 2},
                 {kIdCrawlerList, 3},
                 {kIdSitemapList, 4}};
    for (const auto& view : views) {
        ShowWindow(GetDlgItem(App().window, view.id), view.tab == index ? SW_SHOW : SW_HIDE);
    }
}

}  // namespace bcnk
