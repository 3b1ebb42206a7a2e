#include "framework/window.h"

#include "base/error.h"
#include "framework/application.h"
#include "framework/barrier.h"
#include "framework/classnames.h"

namespace fw {

TWindow::~TWindow() {
    DestroyHandle();
}

void TWindow::RegisterWindowClass(const char* className, HICON icon, UINT classStyle) {
    WNDCLASSA existing;
    if (GetClassInfoA(Application.Instance(), className, &existing)) return;
    WNDCLASSA wc{};
    wc.style = classStyle;
    wc.lpfnWndProc = &TWindow::StaticWndProc;
    wc.hInstance = Application.Instance();
    wc.hIcon = icon;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
}

void TWindow::CreateHandle(DWORD exStyle, const char* className, const char* title, DWORD style,
                           int x, int y, int width, int height, HWND parent, HMENU menu) {
    CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menu,
                    Application.Instance(), this);
    if (!handle_) throw bj::Error("Cannot create a window");
}

void TWindow::DestroyHandle() {
    if (!handle_) return;
    HWND hwnd = handle_;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    handle_ = nullptr;
    DestroyWindow(hwnd);
}

LRESULT TWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(handle_, msg, wParam, lParam);
}

LRESULT CALLBACK TWindow::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam,
                                        LPARAM lParam) noexcept {
    if (msg == WM_NCCREATE) {
        auto* self =
            static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->handle_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->handle_ = nullptr;
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    return Guarded(LRESULT(0), [&] { return self->WndProc(msg, wParam, lParam); });
}

LRESULT TPaintedWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            if (HDC dc = BeginPaint(Handle(), &paint)) {
                Paint(dc);
                EndPaint(Handle(), &paint);
            }
            return 0;
        }
        case WM_PRINTCLIENT:
            Paint(reinterpret_cast<HDC>(wParam));
            return 0;
        default:
            return TWindow::WndProc(msg, wParam, lParam);
    }
}

TUtilityWindow::TUtilityWindow(Handler handler, Kind kind, const char* className)
    : handler_(std::move(handler)) {
    RegisterWindowClass(className, nullptr);
    CreateHandle(WS_EX_TOOLWINDOW, className, "", WS_POPUP, 0, 0, 0, 0,
                 kind == Kind::MessageOnly ? HWND_MESSAGE : nullptr, nullptr);
}

LRESULT TUtilityWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (handler_ && handler_(msg, wParam, lParam, result)) return result;
    return TWindow::WndProc(msg, wParam, lParam);
}

}  // namespace fw
