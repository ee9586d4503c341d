#pragma once
// What the Windows sources of the window program share: the colour scheme, the fonts and
// brushes, the main window's handles and the command logic. User-interface thread only;
// the workers are given the main window handle when they start and read nothing here.
// Included only by the Windows sources.
#include <windows.h>

#include <memory>

#include "app/commands.h"
#include "app/layout.h"
#include "app/result_views.h"
#include "app/win_handle.h"

namespace bcnk {

constexpr COLORREF ToColorRef(const Rgb& rgb) {
    return RGB(rgb.red, rgb.green, rgb.blue);
}

constexpr COLORREF ColorBackground = ToColorRef(kColorBackground);
constexpr COLORREF ColorCard = ToColorRef(kColorCard);
constexpr COLORREF ColorField = ToColorRef(kColorField);
constexpr COLORREF ColorText = ToColorRef(kColorText);
constexpr COLORREF ColorDimText = ToColorRef(kColorDimText);
constexpr COLORREF ColorAccent = ToColorRef(kColorAccent);
constexpr COLORREF ColorAccentDark = ToColorRef(kColorAccentDark);
constexpr COLORREF ColorWhite = RGB(255, 255, 255);

constexpr const wchar_t* kMainClass = L"BCNK_MAIN";
constexpr const wchar_t* kGaugeClass = L"BCNK_GAUGE";
constexpr const wchar_t* kPanelClass = L"BCNK_PAGE";
constexpr const wchar_t* kDialogClass = L"BCNK_DLG";
constexpr int kAppIconId = 101;

inline const wchar_t* Wide(const Text& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

// Created with the main window and released with it.
struct UiResources {
    UniqueFont normal;
    UniqueFont semiBold;
    UniqueFont large;
    UniqueBrush background;
    UniqueBrush card;
    UniqueBrush field;
};

struct AppState {
    HINSTANCE instance = nullptr;
    HWND window = nullptr;
    HWND panel = nullptr;
    HWND scanProgress = nullptr;
    bool created = false;  // the main window's creation handling completed
    SIZE minimumSize{};
    int dpi = 96;  // read once when the main window is created
    UiResources resources;
    PageSortState sort;
    Text cellBuffer;  // the page list's last number or schema text, valid until the next request
    UniqueHandle scanThread;
    UniqueHandle generateThread;
    std::unique_ptr<WindowOps> shell;
    std::unique_ptr<CommandLogic> logic;
};

AppState& App();

// A 96-DPI pixel size at the main window's DPI.
inline int Px(int value) {
    return Scale(value, App().dpi);
}

inline void PlaceWindow(HWND window, const Rect& rect) {
    MoveWindow(window, rect.x, rect.y, rect.width, rect.height, TRUE);
}

Text WindowText(HWND window, int bufferChars);

// main_window_win.cpp
bool RegisterWindowClasses(HINSTANCE instance);
void ShowTabViews(int index);

// result_views_win.cpp
LRESULT CALLBACK GaugeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void FillDiscoveryList();
void RefreshResultViews();
void InitListColumns(HWND statusList, HWND pageList);
void InitCrawlerColumns(HWND crawlerList);
void InitSitemapColumns(HWND sitemapList);
// True when the notification came from the page list and was handled.
bool HandlePageListNotify(const NMHDR& header);

// settings_dialog_win.cpp
LRESULT CALLBACK SettingsDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void OpenSettingsDialog();

// commands_win.cpp
void CreateCommandLogic();
void HandleCommand(int commandId);
// True for the three worker messages and the timer that notices a worker which ended
// without reporting back.
bool HandleWorkerMessage(UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace bcnk
