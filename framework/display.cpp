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
