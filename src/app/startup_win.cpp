// Entry point of the window program: brings the process up in a fixed order, runs the
// message loop until the main window is gone, then shuts the network and the log down.
#include <windows.h>

#include <commctrl.h>

#include "app/window_state.h"
#include "common/debug_log.h"
#include "common/maker_info.h"
#include "common/settings.h"
#include "net/http.h"

namespace bcnk {
namespace {

int FailStartup(const wchar_t* message, bool closeHttp) {
    MessageBoxW(nullptr, message, Wide(kProductName), MB_OK | MB_ICONERROR);
    if (closeHttp) {
        Http::Close();
    }
    DebugLog::Close();
    return 1;
}

void RequestPerMonitorDpiAwareness() {
    using SetContextFn = BOOL(WINAPI*)(HANDLE);
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) {
        return;
    }
    const auto setContext = reinterpret_cast<SetContextFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
    if (setContext != nullptr) {
        setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)));  // per monitor, v2
    }
}

int ScreenDpi() {
    const UniqueWindowDc screen = GetWindowDc(nullptr);
    return screen ? GetDeviceCaps(screen.Get().dc, LOGPIXELSX) : 96;
}

}  // namespace

int RunApplication(HINSTANCE instance, int showCommand) {
    AppState& app = App();
    app.instance = instance;
    SettingsStore::Load();
    StartLoggingIfEnabled();
    DebugLog::Write(u"Application starting.");
    RequestPerMonitorDpiAwareness();

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES |
                                                       ICC_TAB_CLASSES | ICC_PROGRESS_CLASS |
                                                       ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    if (!Http::Init()) {
        DebugLog::Write(u"Http::Init FAILED.");
        return FailStartup(L"Failed to initialise networking.", false);
    }
    DebugLog::Write(u"Networking initialised.");
    if (!RegisterWindowClasses(instance)) {
        return FailStartup(L"Failed to register the main window class.", true);
    }

    const int screenDpi = ScreenDpi();
    app.minimumSize = {Scale(900, screenDpi), Scale(640, screenDpi)};
    CreateCommandLogic();
    HWND window = CreateWindowExW(0, kMainClass, L"Talvenn's Beaconsmith  v1", WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, app.minimumSize.cx,
                                  app.minimumSize.cy, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return FailStartup(L"Failed to create the main window.", true);
    }
    app.window = window;
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(app.window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    Http::Close();
    DebugLog::Close();
    return 0;
}

}  // namespace bcnk

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    return bcnk::RunApplication(instance, showCommand);
}
