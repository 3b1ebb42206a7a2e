#include "components/tray/trayicon.h"

#include <algorithm>
#include <cstring>

#include "framework/application.h"
#include "framework/barrier.h"
#include "framework/classnames.h"
#include "framework/form.h"
#include "framework/imagelist.h"
#include "framework/menu.h"
#include "framework/messages.h"
#include "framework/shiftstate.h"

#if defined(_WIN32) && !defined(_WIN64)
static_assert(NOTIFYICONDATAA_V2_SIZE == 488, "the extended notify record is 488 bytes");
static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "the old notify record is 88 bytes");
#endif

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr size_t kExtendedTipLimit = 127;
constexpr size_t kOldTipLimit = 63;
const UINT kTaskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");

bool DetectExtendedNotifyData() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&version)) return true;
#pragma GCC diagnostic pop
    if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
        return !(version.dwMinorVersion == 0 || version.dwMinorVersion == 10 ||
                 version.dwMinorVersion == 90);
    if (version.dwPlatformId == VER_PLATFORM_WIN32_NT)
        return !(version.dwMajorVersion == 3 || version.dwMajorVersion == 4);
    return true;
}

const bool kUseExtendedNotifyData = DetectExtendedNotifyData();

}  // namespace

// ---- TTrayCustomTimer

TTrayCustomTimer::TTrayCustomTimer(fw::TForm* owner, std::string name)
    : TTrayComponent(owner, std::move(name)) {
    // Message-only: the shell's notifications reach it all the same, and it costs a fraction of
    // a top-level window to make. The broadcasts it cannot get arrive through the application
    // window, which the tray icon hooks anyway.
    window_ = std::make_unique<fw::TUtilityWindow>(
        [this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
            if (!window_) return false;  // still being created: default processing
            result = WndProc(msg, wParam, lParam);
            return true;
        },
        fw::TUtilityWindow::Kind::MessageOnly, fw::classnames::kTray);
}

TTrayCustomTimer::~TTrayCustomTimer() {
    DestroyWindowHandle();
}

void TTrayCustomTimer::DestroyWindowHandle() {
    if (!window_) return;
    SetTimerEnabled(false);
    window_.reset();
}

void TTrayCustomTimer::SetTimerEnabled(bool enabled) {
    if (!WindowHandle()) return;
    KillTimer(WindowHandle(), kTimerId);
    if (enabled && Interval > 0) SetTimer(WindowHandle(), kTimerId, Interval, nullptr);
}

LRESULT TTrayCustomTimer::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER && wParam == kTimerId) {
        if (OnTimer) OnTimer();
        return 0;
    }
    return DefWindowProcA(WindowHandle(), msg, wParam, lParam);
}

// ---- TTrayIcon

bool TTrayIcon::UseExtendedNotifyData() {
    return kUseExtendedNotifyData;
}

TTrayIcon::TTrayIcon(fw::TForm* owner, std::string name)
    : TTrayCustomTimer(owner, std::move(name)) {
    if (HWND app = fw::Application.Handle()) {
        appSubclass_ =
            std::make_unique<fw::TSubclass>(app, [this](UINT msg, WPARAM wParam, LPARAM lParam) {
                // Should DoMinimize fail, the message still reaches the window's own procedure.
                fw::Guarded([&] { AppMessage(msg, wParam); });
                return appSubclass_->CallNext(msg, wParam, lParam);
            });
    }
}

TTrayIcon::~TTrayIcon() {
    destroying_ = true;
    fw::Guarded([this] { SetVisible(false); });
    appSubclass_.reset();
    DestroyWindowHandle();
    if (imageList_) imageList_->UnregisterChanges(imageLink_);
}

void TTrayIcon::Loaded() {
    if (MinimizeOnStart) {
        fw::Application.ShowMainForm = false;
        DoMinimize();
    }
    if (visible_) ShowIcon();
}

void TTrayIcon::SetHint(const std::string& hint) {
    if (hint == hint_) return;
    hint_ = hint;
    RefreshIcon();
}

void TTrayIcon::ShowBalloon(const std::string& title, const std::string& text) {
    if (kUseExtendedNotifyData && visible_) {
        UpdateNotifyData();
        notifyData_.uFlags |= NIF_INFO;
        std::memset(notifyData_.szInfoTitle, 0, sizeof notifyData_.szInfoTitle);
        std::memset(notifyData_.szInfo, 0, sizeof notifyData_.szInfo);
        std::memcpy(notifyData_.szInfoTitle, title.data(),
                    std::min(title.size(), sizeof notifyData_.szInfoTitle - 1));
        std::memcpy(notifyData_.szInfo, text.data(),
                    std::min(text.size(), sizeof notifyData_.szInfo - 1));
        notifyData_.dwInfoFlags = NIIF_INFO;
        if (Shell_NotifyIconA(NIM_MODIFY, &notifyData_)) return;
    }
    SetHint(text);
}

void TTrayIcon::SetShowHint(bool show) {
    if (show == showHint_) return;
    showHint_ = show;
    RefreshIcon();
}

void TTrayIcon::SetIcon(HICON icon) {
    icon_.reset(icon ? CopyIcon(icon) : nullptr);
    RefreshIcon();
}

void TTrayIcon::SetImageList(fw::TImageList* list) {
    if (list == imageList_) return;
    if (imageList_) imageList_->UnregisterChanges(imageLink_);
    imageList_ = list;
    if (imageList_) imageLink_ = imageList_->RegisterChanges([this] { IconChanged(); });
    IconChanged();
}

void TTrayIcon::SetImageIndex(int index) {
    imageIndex_ = index;  // no comparison: an unchanged index still refreshes
    IconChanged();
}

void TTrayIcon::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    visible ? ShowIcon() : HideIcon();
}

void TTrayIcon::SetIconID(UINT id) {
    if (id == iconId_) return;
    const bool wasVisible = visible_;
    SetVisible(false);
    iconId_ = id;
    SetVisible(wasVisible);
}

void TTrayIcon::IconChanged() {
    if (!imageList_) return;
    icon_.reset(imageList_->GetIcon(imageIndex_));
    RefreshIcon();
}

void TTrayIcon::UpdateNotifyData() {
    const size_t tipLimit = kUseExtendedNotifyData ? kExtendedTipLimit : kOldTipLimit;
    notifyData_.cbSize = kUseExtendedNotifyData ? NOTIFYICONDATAA_V2_SIZE : NOTIFYICONDATAA_V1_SIZE;
    notifyData_.hWnd = WindowHandle();
    notifyData_.uID = iconId_;
    notifyData_.uFlags = flags_;
    notifyData_.uCallbackMessage = fw::messages::kTrayCallback;
    notifyData_.hIcon = icon_.get();
    std::memset(notifyData_.szTip, 0, sizeof notifyData_.szTip);
    if (showHint_) std::memcpy(notifyData_.szTip, hint_.data(), std::min(hint_.size(), tipLimit));
}

void TTrayIcon::InsertToTray() {
    UpdateNotifyData();
    // A refusal because the icon is there already is no failure: then it takes the new data.
    if (!Shell_NotifyIconA(NIM_ADD, &notifyData_) && !Shell_NotifyIconA(NIM_MODIFY, &notifyData_))
        throw ETrayIcon(Name() + ".InsertToTray failed");
}

void TTrayIcon::DeleteFromTray() {
    UpdateNotifyData();
    // An icon that is not there is as good as deleted.
    Shell_NotifyIconA(NIM_DELETE, &notifyData_);
}

void TTrayIcon::RefreshIcon() {
    UpdateNotifyData();
    // An icon not yet added is not the shell's to modify; each call costs a round trip to it.
    if (visible_) Shell_NotifyIconA(NIM_MODIFY, &notifyData_);
}

void TTrayIcon::ShowIcon() {
    flags_ |= NIF_ICON;
    InsertToTray();
    visible_ = true;
    if (OnShow) OnShow();
}

void TTrayIcon::HideIcon() {
    flags_ &= ~static_cast<UINT>(NIF_ICON);
    DeleteFromTray();
    visible_ = false;
    if (OnHide) OnHide();
    if (destroying_) return;  // showing windows that are going away would only flicker
    if (MinimizeToTray) ShowApplication();
    if (Owner() && !Owner()->Visible()) Owner()->Show();
}

void TTrayIcon::ShowApplication() {
    HWND app = fw::Application.Handle();
    if (IsWindow(app)) ShowWindow(app, SW_SHOWNORMAL);
    if (fw::TForm* main = fw::Application.MainForm()) main->Show();
}

void TTrayIcon::HideApplication() {
    HWND app = fw::Application.Handle();
    if (IsWindow(app) && IsWindowVisible(app)) ShowWindow(app, SW_HIDE);
    if (fw::TForm* main = fw::Application.MainForm()) main->Hide();
}

void TTrayIcon::DoMinimize() {
    HideApplication();
    SetVisible(true);
    if (OnMinimize) OnMinimize();
}

void TTrayIcon::PopupAtCursor() {
    if (!popupMenu_ || !popupMenu_->AutoPopup) return;
    POINT cursor{};
    GetCursorPos(&cursor);
    fw::Application.ProcessMessages();
    HWND owner = Owner() ? Owner()->Handle() : nullptr;
    // Without the foreground call the menu would not close when the user clicks elsewhere.
    if (owner) SetForegroundWindow(owner);
    popupMenu_->Popup(cursor.x, cursor.y, owner ? owner : WindowHandle());
    if (owner) PostMessageA(owner, WM_NULL, 0, 0);
    if (OnPopupMenu) OnPopupMenu();
}

void TTrayIcon::MouseUp(TMouseButton button, unsigned shift, int x, int y) {
    if (Owner()) SetForegroundWindow(Owner()->Handle());
    if (OnMouseUp) OnMouseUp(button, shift, x, y);
}

void TTrayIcon::Click() {
    if (OnClick) OnClick();
}

void TTrayIcon::DblClick() {
    if (popupMenu_ && popupMenu_->AutoPopup && !PopupByLeft) {
        for (fw::TMenuItem* item : popupMenu_->Items().Items()) {
            if (!item->Default()) continue;
            item->Click();  // a disabled default item does nothing
            if (OnDblClick) OnDblClick();
            if (Owner()) SetForegroundWindow(Owner()->Handle());
            return;
        }
    }
    if (MinimizeToTray && Owner()) Owner()->Visible() ? HideApplication() : ShowApplication();
    if (OnDblClick) OnDblClick();
}

void TTrayIcon::Notify(UINT mouseMessage) {
    POINT at{};
    GetCursorPos(&at);
    const unsigned shift = fw::CurrentShiftState();
    switch (mouseMessage) {
        case WM_MOUSEMOVE:
            GetCursorPos(&at);
            if (OnMouseMove) OnMouseMove(shift, at.x, at.y);
            break;
        case WM_LBUTTONDOWN:
            if (OnMouseDown) OnMouseDown(mbLeft, shift | fw::ssLeft, at.x, at.y);
            clickPending_ = true;
            break;
        case WM_LBUTTONUP:
            MouseUp(mbLeft, shift | fw::ssLeft, at.x, at.y);
            if (clickPending_) Click();
            if (PopupByLeft) PopupAtCursor();
            clickPending_ = false;
            break;
        case WM_LBUTTONDBLCLK:
            DblClick();
            break;
        case WM_RBUTTONDOWN:
            if (OnMouseDown) OnMouseDown(mbRight, shift | fw::ssRight, at.x, at.y);
            break;
        case WM_RBUTTONUP:
            MouseUp(mbRight, shift | fw::ssRight, at.x, at.y);
            PopupAtCursor();
            break;
        case WM_MBUTTONDOWN:
            if (OnMouseDown) OnMouseDown(mbMiddle, shift | fw::ssMiddle, at.x, at.y);
            break;
        case WM_MBUTTONUP:
            MouseUp(mbMiddle, shift | fw::ssMiddle, at.x, at.y);
            break;
        default:
            break;
    }
}

LRESULT TTrayIcon::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == fw::messages::kTrayCallback) {
        if (!Enabled) return 0;
        switch (static_cast<UINT>(lParam)) {
            case WM_MOUSEMOVE:
            case WM_LBUTTONDOWN:
            case WM_LBUTTONUP:
            case WM_LBUTTONDBLCLK:
            case WM_RBUTTONDOWN:
            case WM_RBUTTONUP:
            case WM_MBUTTONDOWN:
            case WM_MBUTTONUP:
                Notify(static_cast<UINT>(lParam));
                return 0;
            case NIN_BALLOONSHOW:
            case NIN_BALLOONTIMEOUT:
            case NIN_BALLOONUSERCLICK:
                return 0;  // no balloon tips in this program
            default:
                break;
        }
    }
    return TTrayCustomTimer::WndProc(msg, wParam, lParam);
}

void TTrayIcon::AppMessage(UINT msg, WPARAM wParam) {
    if (msg == WM_SIZE && wParam == SIZE_MINIMIZED && MinimizeToTray) DoMinimize();
    // The shell restarted and forgot our icon.
    if (msg == kTaskbarCreatedMessage && visible_) {
        HideIcon();
        ShowIcon();
    }
}
