#pragma once
// The one owner type for every Windows resource the program acquires: kernel handles, GDI
// objects, device contexts and objects selected into them. Move-only, so nothing is ever
// released twice; the release rule lives in a small traits type per kind of resource.
// Included only by the Windows sources of the window program.
#include <windows.h>

#include <utility>

namespace bcnk {

template <typename Traits>
class Unique {
  public:
    using Type = typename Traits::Type;

    Unique() = default;
    explicit Unique(Type value) : value_(value) {}
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& other) noexcept : value_(std::exchange(other.value_, Type{})) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) {
            Reset();
            value_ = std::exchange(other.value_, Type{});
        }
        return *this;
    }
    ~Unique() { Reset(); }

    void Reset() {
        if (Traits::Valid(value_)) {
            Traits::Release(value_);
        }
        value_ = Type{};
    }
    const Type& Get() const { return value_; }
    explicit operator bool() const { return Traits::Valid(value_); }

  private:
    Type value_{};
};

struct KernelHandleTraits {
    using Type = HANDLE;
    static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Release(HANDLE h) { CloseHandle(h); }
};

template <typename GdiType>
struct GdiObjectTraits {
    using Type = GdiType;
    static bool Valid(GdiType object) { return object != nullptr; }
    static void Release(GdiType object) { DeleteObject(object); }
};

// A device context from GetDC, given back to the window it came from.
struct WindowDc {
    HWND window = nullptr;
    HDC dc = nullptr;
};
struct WindowDcTraits {
    using Type = WindowDc;
    static bool Valid(const WindowDc& value) { return value.dc != nullptr; }
    static void Release(const WindowDc& value) { ReleaseDC(value.window, value.dc); }
};

// An object selected into a device context; releasing puts the previous one back, so the
// context never holds a deleted object.
struct Selection {
    HDC dc = nullptr;
    HGDIOBJ previous = nullptr;
};
struct SelectionTraits {
    using Type = Selection;
    static bool Valid(const Selection& value) { return value.dc != nullptr; }
    static void Release(const Selection& value) { SelectObject(value.dc, value.previous); }
};

// A device context from BeginPaint, ended with EndPaint.
struct PaintDc {
    HWND window = nullptr;
    PAINTSTRUCT paint{};
};
struct PaintDcTraits {
    using Type = PaintDc;
    static bool Valid(const PaintDc& value) { return value.window != nullptr; }
    static void Release(const PaintDc& value) { EndPaint(value.window, &value.paint); }
};

using UniqueHandle = Unique<KernelHandleTraits>;
using UniqueFont = Unique<GdiObjectTraits<HFONT>>;
using UniqueBrush = Unique<GdiObjectTraits<HBRUSH>>;
using UniquePen = Unique<GdiObjectTraits<HPEN>>;
using UniqueWindowDc = Unique<WindowDcTraits>;
using UniqueSelection = Unique<SelectionTraits>;
using UniquePaint = Unique<PaintDcTraits>;

inline UniqueWindowDc GetWindowDc(HWND window) {
    return UniqueWindowDc(WindowDc{window, GetDC(window)});
}

inline UniquePaint BeginPainting(HWND window) {
    PaintDc value{window, {}};
    if (BeginPaint(window, &value.paint) == nullptr) {
        return UniquePaint();
    }
    return UniquePaint(value);
}

inline UniqueSelection Select(HDC dc, HGDIOBJ object) {
    return UniqueSelection(Selection{dc, SelectObject(dc, object)});
}

}  // namespace bcnk
