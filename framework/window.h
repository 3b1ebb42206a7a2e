#pragma once
// Base of every window we create: one static procedure finds the C++ object
// (attached at WM_NCCREATE) and calls its virtual WndProc inside the barrier.

#include <windows.h>

#include <functional>

#include "framework/classnames.h"

namespace fw {

class TWindow {
public:
    TWindow() = default;
    virtual ~TWindow();
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;

    HWND Handle() const { return handle_; }

protected:
    // Registers className once per process with our procedure.
    static void RegisterWindowClass(const char* className, HICON icon, UINT classStyle = 0);
    void CreateHandle(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                      int y, int width, int height, HWND parent, HMENU menu);
    void DestroyHandle();
    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam,
                                          LPARAM lParam) noexcept;
    HWND handle_ = nullptr;
};

// A window that draws itself: WM_PAINT and WM_PRINTCLIENT both reach Paint.
class TPaintedWindow : public TWindow {
protected:
    virtual void Paint(HDC dc) = 0;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

// A hidden window whose messages go to a function. Top-level for shell notifications and as a
// dialog's owner; message-only where nothing else is needed (a timer), which is much cheaper to
// make.
class TUtilityWindow : public TWindow {
public:
    using Handler = std::function<bool(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)>;
    enum class Kind { TopLevel, MessageOnly };
    explicit TUtilityWindow(Handler handler, Kind kind = Kind::TopLevel,
                            const char* className = classnames::kUtility);

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    Handler handler_;
};

}  // namespace fw
