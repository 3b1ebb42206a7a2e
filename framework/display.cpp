#include "framework/display.h"

#include "framework/barrier.h"
#include "framework/libraryfunction.h"

namespace fw {

namespace {

template <typename Function>
Function User32(const char* name) {
    return LibraryFunction<Function>("user32.dll", name);
}

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas) noexcept {
    using GetMonitorInfoFn = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);
    static const auto getMonitorInfo = User32<GetMonitorInfoFn>("GetMonitorInfoA");
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!getMonitorInfo || !getMonitorInfo(monitor, &info)) return TRUE;
    return Guarded(FALSE, [&] {
        reinterpret_cast<std::vector<RECT>*>(areas)->push_back(info.rcWork);
        return TRUE;
    });
}

// The size of a window's text on one line in a font.
SIZE TextSize(HWND window, HGDIOBJ font) {
    char text[256] = {};
    const int length = GetWindowTextA(window, text, sizeof text);
    RECT rect{};
    HDC dc = GetDC(window);
    const HGDIOBJ old = SelectObject(dc, font);
    DrawTextA(dc, text, length, &rect, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return {rect.right, rect.bottom};
}

}  // namespace

int WindowDpi(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow && window)
        if (const UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kStandardDpi;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kStandardDpi;
}

std::vector<UniqueGdiObject> ScaleLayout(HWND window, int dpi) {
    std::vector<UniqueGdiObject> fonts;
    if (dpi == kStandardDpi) return fonts;
    RECT client{};
    GetClientRect(window, &client);
    RECT frame{0, 0, ScaleToDpi(client.right, dpi), ScaleToDpi(client.bottom, dpi)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)),
                       GetMenu(window) != nullptr,
                       static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE)));
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT place{};
        GetWindowRect(child, &place);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
        MoveWindow(child, ScaleToDpi(place.left, dpi), ScaleToDpi(place.top, dpi),
                   ScaleToDpi(place.right - place.left, dpi),
                   ScaleToDpi(place.bottom - place.top, dpi), FALSE);
        LOGFONTA look{};
        const auto font = reinterpret_cast<HGDIOBJ>(SendMessageA(child, WM_GETFONT, 0, 0));
        if (!font || !GetObjectA(font, sizeof look, &look)) continue;
        // A child exactly as wide as its text stays so: text does not grow in step with its
        // font, and a scaled width could cut off its end.
        const bool fitsText = TextSize(child, font).cx == place.right - place.left;
        look.lfHeight = ScaleToDpi(look.lfHeight, dpi);
        fonts.emplace_back(CreateFontIndirectA(&look));
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.back().get()), FALSE);
        if (!fitsText) continue;
        const SIZE text = TextSize(child, fonts.back().get());
        SetWindowPos(child, nullptr, 0, 0, text.cx, text.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(window, nullptr, TRUE);
    return fonts;
}

std::vector<RECT> WorkAreas() {
    using EnumDisplayMonitorsFn = BOOL(WINAPI*)(HDC, LPCRECT, MONITORENUMPROC, LPARAM);
    static const auto enumDisplayMonitors = User32<EnumDisplayMonitorsFn>("EnumDisplayMonitors");
    std::vector<RECT> areas;
    if (enumDisplayMonitors)
        enumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&areas));
    if (areas.empty()) {
        RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);  // on failure, the whole screen
        areas.push_back(area);
    }
    return areas;
}

}  // namespace fw
