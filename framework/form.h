#pragma once
// A top-level form owned by the application window: show, hide, close,
// activation and the events the program's handlers hang on.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/window.h"

namespace fw {

class TControl;

class TForm : public TWindow {
public:
    struct Style {
        std::string caption;
        DWORD style = WS_OVERLAPPEDWINDOW;
        DWORD exStyle = 0;
        int clientWidth = 0;  // client size when both are set, else window size below
        int clientHeight = 0;
        int width = CW_USEDEFAULT;
        int height = CW_USEDEFAULT;
        HMENU menu = nullptr;
        const char* iconName = "MAINICON";
    };

    void CreateForm(const Style& style);

    void Show();
    void Hide();
    bool Visible() const { return Handle() && IsWindowVisible(Handle()); }
    void SetVisible(bool visible) { visible ? Show() : Hide(); }
    // Runs OnClose; ending the main form ends the application. An OnClose that calls the
    // close off raises the silent abort.
    void Close();

    RECT Bounds() const;
    int Left() const { return Bounds().left; }
    int Top() const { return Bounds().top; }
    int Width() const;
    int Height() const;
    void SetLeft(int left);
    void SetTop(int top);
    void SetWidth(int width);
    void SetHeight(int height);
    bool Maximized() const { return Handle() && IsZoomed(Handle()); }
    void SetWindowStateNormal();

    // The control that fills the client area and takes the focus.
    void SetClientControl(TControl* control) { clientControl_ = control; }
    void AddControl(TControl* control) { controls_.push_back(control); }

    std::function<void()> OnShow, OnHide, OnActivate, OnClose;
    // A hot key registered for this window was pressed, in whatever program had the focus.
    std::function<void()> OnHotKey;
    // Monitors were added, removed or rearranged, or the window's DPI changed.
    std::function<void()> OnDisplayChange;
    // The window moved to a monitor of another DPI; it has the size Windows suggested already.
    std::function<void(int dpi)> OnDpiChanged;
    int HelpContext = 0;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // F1: asks for the help number of the control or menu item it was pressed on.
    virtual void HelpRequested(const HELPINFO& info);
    TControl* FindControl(HWND hwnd) const;

private:
    void SetBounds(int left, int top, int width, int height);
    bool placing_ = false;  // inside our own SetBounds
    TControl* clientControl_ = nullptr;
    std::vector<TControl*> controls_;
};

}  // namespace fw
