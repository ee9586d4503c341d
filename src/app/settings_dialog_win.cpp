// The Settings dialog: debug log on or off, the crawler's User-Agent and whether the crawl
// obeys the site's robots.txt. It disables the
// main window while open instead of running a message loop of its own.
#include <windows.h>

#include <uxtheme.h>

#include "app/app_ids.h"
#include "app/forms.h"
#include "app/window_state.h"
#include "common/debug_log.h"
#include "common/settings.h"

namespace bcnk {
namespace {

HWND DialogChild(HWND dialog, const wchar_t* windowClass, const wchar_t* text, DWORD style,
                 DWORD extendedStyle, int id, const Rect& rect) {
    HWND control =
        CreateWindowExW(extendedStyle, windowClass, text, WS_CHILD | WS_VISIBLE | style, rect.x,
                        rect.y, rect.width, rect.height, dialog,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), App().instance, nullptr);
    if (control != nullptr) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(App().resources.normal.Get()),
                     TRUE);
    }
    return control;
}

void CheckBox(HWND dialog, const wchar_t* text, int id, const Rect& rect, bool checked) {
    HWND check = DialogChild(dialog, L"BUTTON", text, WS_TABSTOP | BS_AUTOCHECKBOX, 0, id, rect);
    if (check != nullptr) {
        SetWindowTheme(check, L"", L"");
        SendMessageW(check, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

bool IsChecked(HWND dialog, int id) {
    return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CreateControls(HWND dialog) {
    const SettingsLayout layout = ComputeSettingsLayout(0, 0, 0, 0, App().dpi);
    CheckBox(dialog, L"Write debug.log next to the application", kIdLogCheck, layout.logCheck,
             SettingsStore::debugLogEnabled);
    DialogChild(dialog, L"STATIC", L"Crawl User-Agent (sent with every request):", 0, 0, -1,
                layout.userAgentLabel);
    HWND edit =
        DialogChild(dialog, L"EDIT", Wide(SettingsStore::userAgent), WS_TABSTOP | ES_AUTOHSCROLL,
                    WS_EX_CLIENTEDGE, kIdUserAgentEdit, layout.userAgent);
    SendMessageW(edit, EM_SETLIMITTEXT, 1024, 0);
    CheckBox(dialog, L"Respect robots.txt", kIdRespectRobotsCheck, layout.robotsCheck,
             SettingsStore::respectRobots);
    CheckBox(dialog, L"Ask the server as each AI crawler after the scan", kIdAgentCheck,
             layout.agentCheck, SettingsStore::agentCheck);
    DialogChild(dialog, L"STATIC", L"Pages to render with a browser (0 = off):", 0, 0, -1,
                layout.renderLabel);
    HWND render = DialogChild(dialog, L"EDIT", Wide(NumberText(SettingsStore::renderPages)),
                              WS_TABSTOP | ES_NUMBER, WS_EX_CLIENTEDGE, kIdRenderPagesEdit,
                              layout.renderPages);
    SendMessageW(render, EM_SETLIMITTEXT, 7, 0);
    CheckBox(dialog, L"Keep tracking parameters in links (utm_*, gclid, ...)",
             kIdKeepTrackingCheck, layout.trackingCheck, SettingsStore::keepQueryTracking);
    DialogChild(dialog, L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, kIdSettingsOk,
                layout.ok);
    DialogChild(dialog, L"BUTTON", L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, 0, kIdSettingsCancel,
                layout.cancel);
}

void CloseDialog(HWND dialog) {
    EnableWindow(App().window, TRUE);
    DestroyWindow(dialog);
}

void AcceptSettings(HWND dialog) {
    SettingsStore::debugLogEnabled = IsChecked(dialog, kIdLogCheck);
    SettingsStore::respectRobots = IsChecked(dialog, kIdRespectRobotsCheck);
    SettingsStore::agentCheck = IsChecked(dialog, kIdAgentCheck);
    SettingsStore::renderPages = RenderPagesFromField(WindowText(GetDlgItem(dialog, kIdRenderPagesEdit), 16));
    SettingsStore::keepQueryTracking = IsChecked(dialog, kIdKeepTrackingCheck);
    SettingsStore::userAgent =
        UserAgentFromField(WindowText(GetDlgItem(dialog, kIdUserAgentEdit), 1024));
    SettingsStore::Save();
    ApplyLoggingSetting();
    CloseDialog(dialog);
}

}  // namespace

LRESULT CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            CreateControls(dialog);
            return 0;
        case WM_ERASEBKGND: {
            RECT rect;
            GetClientRect(dialog, &rect);
            FillRect(reinterpret_cast<HDC>(wParam), &rect, App().resources.background.Get());
            return 1;
        }
        case WM_CTLCOLOREDIT: {
            const HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, ColorText);
            SetBkColor(dc, ColorField);
            return reinterpret_cast<LRESULT>(App().resources.field.Get());
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            const HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, ColorText);
            SetBkColor(dc, ColorBackground);
            return reinterpret_cast<LRESULT>(App().resources.background.Get());
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == kIdSettingsOk) {
                AcceptSettings(dialog);
            } else if (LOWORD(wParam) == kIdSettingsCancel) {
                CloseDialog(dialog);
            }
            return 0;
        case WM_CLOSE:
            CloseDialog(dialog);
            return 0;
    }
    return DefWindowProcW(dialog, message, wParam, lParam);
}

void OpenSettingsDialog() {
    HWND owner = App().window;
    RECT outer;
    GetWindowRect(owner, &outer);
    const SettingsLayout layout =
        ComputeSettingsLayout(outer.left, outer.top, outer.right, outer.bottom, App().dpi);
    EnableWindow(owner, FALSE);
    HWND dialog = CreateWindowExW(WS_EX_DLGMODALFRAME, kDialogClass, L"Settings",
                                  WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME, layout.window.x,
                                  layout.window.y, layout.window.width, layout.window.height, owner,
                                  nullptr, App().instance, nullptr);
    if (dialog == nullptr) {
        EnableWindow(owner, TRUE);
        return;
    }
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
}

}  // namespace bcnk
