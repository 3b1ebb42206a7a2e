#include "framework/form.h"

#include "framework/application.h"
#include "framework/classnames.h"
#include "framework/control.h"
#include "framework/menu.h"

namespace fw {

void TForm::CreateForm(const Style& style) {
    RegisterWindowClass(classnames::kForm, LoadIconA(Application.Instance(), style.iconName));
    int width = style.width;
    int height = style.height;
    if (style.clientWidth > 0 && style.clientHeight > 0) {
        RECT rect{0, 0, style.clientWidth, style.clientHeight};
        AdjustWindowRectEx(&rect, style.style, style.menu != nullptr, style.exStyle);
        width = rect.right - rect.left;
        height = rect.bottom - rect.top;
    }
    // Owned by the hidden application window: no taskbar button of its own.
    CreateHandle(style.exStyle, classnames::kForm, style.caption.c_str(), style.style & ~WS_VISIBLE,
                 CW_USEDEFAULT, CW_USEDEFAULT, width, height, Application.Handle(), style.menu);
}

void TForm::Show() {
    ShowWindow(Handle(), Maximized() ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void TForm::Hide() {
    ShowWindow(Handle(), SW_HIDE);
}

void TForm::Close() {
    if (OnClose) OnClose();
    if (Application.MainForm() == this)
        Application.Terminate();
    else
        Hide();
}

RECT TForm::Bounds() const {
    RECT rect{};
    GetWindowRect(Handle(), &rect);
    return rect;
}

int TForm::Width() const {
    const RECT r = Bounds();
    return r.right - r.left;
}

int TForm::Height() const {
    const RECT r = Bounds();
    return r.bottom - r.top;
}

void TForm::SetBounds(int left, int top, int width, int height) {
    placing_ = true;
    SetWindowPos(Handle(), nullptr, left, top, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    placing_ = false;
}

void TForm::SetLeft(int left) {
    SetBounds(left, Top(), Width(), Height());
}
void TForm::SetTop(int top) {
    SetBounds(Left(), top, Width(), Height());
}
void TForm::SetWidth(int width) {
    SetBounds(Left(), Top(), width, Height());
}
void TForm::SetHeight(int height) {
    SetBounds(Left(), Top(), Width(), height);
}

void TForm::SetWindowStateNormal() {
    if (!Maximized()) return;
    if (Visible()) {
        ShowWindow(Handle(), SW_RESTORE);
        return;
    }
    // Hidden: end the state without showing the window, back at its restored place.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(Handle(), &placement);
    SetWindowLongPtrA(Handle(), GWL_STYLE, GetWindowLongPtrA(Handle(), GWL_STYLE) & ~WS_MAXIMIZE);
    const RECT& normal = placement.rcNormalPosition;
    SetWindowPos(Handle(), nullptr, normal.left, normal.top, normal.right - normal.left,
                 normal.bottom - normal.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
}

void TForm::HelpRequested(const HELPINFO& info) {
    if (info.iContextType == HELPINFO_MENUITEM) {
        const TMenuItem* item = TMenuItem::FindByCommand(static_cast<UINT>(info.iCtrlId));
        int number = item ? item->EffectiveHelpContext() : 0;
        if (number == 0 && item && item->InPopupMenu()) {
            // A pop-up item without a number of its own: the active form's, if any.
            if (GetActiveWindow() != Handle()) return;
            number = HelpContext;
        }
        Application.HelpContext(static_cast<unsigned>(number));
        return;
    }
    const TControl* control = FindControl(static_cast<HWND>(info.hItemHandle));
    const int number = control && control->HelpContext ? control->HelpContext : HelpContext;
    if (number) Application.HelpContext(static_cast<unsigned>(number));
}

TControl* TForm::FindControl(HWND hwnd) const {
    for (TControl* control : controls_)
        if (control->Handle() == hwnd) return control;
    return nullptr;
}

LRESULT TForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COMMAND:
            if (lParam == 0) {
                if (TMenuItem* item = TMenuItem::FindByCommand(LOWORD(wParam))) item->Click();
                return 0;
            }
            if (TControl* control = FindControl(reinterpret_cast<HWND>(lParam)))
                control->ParentNotify(HIWORD(wParam));
            return 0;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            if (TControl* control = FindControl(reinterpret_cast<HWND>(lParam)))
                if (HBRUSH brush = control->ParentColor(reinterpret_cast<HDC>(wParam)))
                    return reinterpret_cast<LRESULT>(brush);
            break;
        case WM_MEASUREITEM:
            if (TMenuItem::MeasureImage(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) return TRUE;
            break;
        case WM_DRAWITEM:
            if (TMenuItem::DrawImage(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam))) return TRUE;
            break;
        case WM_SIZE:
            if (clientControl_)
                MoveWindow(clientControl_->Handle(), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return 0;
        case WM_SETFOCUS:
            if (clientControl_) SetFocus(clientControl_->Handle());
            return 0;
        case WM_SHOWWINDOW:
            // lParam 0: a ShowWindow call, by whatever route; not an owner being minimised.
            if (lParam == 0) {
                if (wParam && OnShow) OnShow();
                if (!wParam && OnHide) OnHide();
            }
            break;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && OnActivate) OnActivate();
            break;
        case WM_CLOSE:
            Close();
            return 0;
        case WM_HOTKEY:
            if (OnHotKey) OnHotKey();
            return 0;
        case WM_DISPLAYCHANGE:
            if (OnDisplayChange) OnDisplayChange();
            break;
        case WM_DPICHANGED: {
            if (OnDpiChanged) OnDpiChanged(HIWORD(wParam));
            // A place the program sets itself (a stored one) is kept as it is, pixel for pixel.
            if (placing_) return 0;
            // Windows works out the rectangle that keeps the window's place on the new monitor.
            const RECT& r = *reinterpret_cast<const RECT*>(lParam);
            SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
            if (OnDisplayChange) OnDisplayChange();
            return 0;
        }
        case WM_HELP:
            HelpRequested(*reinterpret_cast<const HELPINFO*>(lParam));
            return TRUE;
        default:
            break;
    }
    return TWindow::WndProc(msg, wParam, lParam);
}

}  // namespace fw
