#pragma once
// The notification-area icon: picture and tip from its properties, mouse
// notifications turned into events, hiding the application to the tray.

#include <windows.h>
// The shell header needs the types of windows.h first.
#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>

#include "base/error.h"
#include "framework/subclass.h"
#include "framework/unique.h"
#include "framework/window.h"

namespace fw {
class TForm;
class TImageList;
class TPopupMenu;
}  // namespace fw

class ETrayIcon : public bj::Error {
public:
    using bj::Error::Error;
};

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// What every component has: an owner form and a name.
class TTrayComponent {
public:
    TTrayComponent(fw::TForm* owner, std::string name) : owner_(owner), name_(std::move(name)) {}
    virtual ~TTrayComponent() = default;
    TTrayComponent(const TTrayComponent&) = delete;
    TTrayComponent& operator=(const TTrayComponent&) = delete;

    const std::string& Name() const { return name_; }
    fw::TForm* Owner() const { return owner_; }
    // Runs once the owner has set the component's properties.
    virtual void Loaded() {}

private:
    fw::TForm* owner_;
    std::string name_;
};

// A hidden top-level window whose messages reach WndProc, and a timer on it.
class TTrayCustomTimer : public TTrayComponent {
public:
    TTrayCustomTimer(fw::TForm* owner, std::string name);
    ~TTrayCustomTimer() override;

    HWND WindowHandle() const { return window_ ? window_->Handle() : nullptr; }
    void SetTimerEnabled(bool enabled);
    unsigned Interval = 1000;
    std::function<void()> OnTimer;

protected:
    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    void DestroyWindowHandle();

private:
    std::unique_ptr<fw::TUtilityWindow> window_;
};

class TTrayIcon : public TTrayCustomTimer {
public:
    TTrayIcon(fw::TForm* owner, std::string name);
    ~TTrayIcon() override;

    void Loaded() override;

    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    bool ShowHint() const { return showHint_; }
    // A note beside the icon that needs no answer; where the shell shows no balloons, the
    // text becomes the icon's tip.
    void ShowBalloon(const std::string& title, const std::string& text);
    void SetShowHint(bool show);
    HICON Icon() const { return icon_.get(); }
    void SetIcon(HICON icon);  // copied
    fw::TImageList* ImageList() const { return imageList_; }
    void SetImageList(fw::TImageList* list);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    UINT IconID() const { return iconId_; }
    void SetIconID(UINT id);
    fw::TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(fw::TPopupMenu* menu) { popupMenu_ = menu; }

    bool Enabled = true;
    bool MinimizeToTray = false;
    bool MinimizeOnStart = false;
    bool PopupByLeft = false;

    std::function<void()> OnClick, OnDblClick, OnShow, OnHide, OnMinimize, OnPopupMenu;
    std::function<void(TMouseButton, unsigned shift, int x, int y)> OnMouseDown, OnMouseUp;
    std::function<void(unsigned shift, int x, int y)> OnMouseMove;

    // The record as last filled, for the shell and for tests.
    const NOTIFYICONDATAA& NotifyData() const { return notifyData_; }
    static bool UseExtendedNotifyData();

    virtual void UpdateNotifyData();
    virtual void RefreshIcon();
    virtual void ShowIcon();
    virtual void HideIcon();
    virtual void PopupAtCursor();
    virtual void ShowApplication();
    virtual void HideApplication();

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Sees every message of the application window before it does.
    virtual void AppMessage(UINT msg, WPARAM wParam);
    virtual void DoMinimize();
    virtual void MouseUp(TMouseButton button, unsigned shift, int x, int y);
    virtual void Click();
    virtual void DblClick();

private:
    void InsertToTray();
    void DeleteFromTray();
    void IconChanged();
    void Notify(UINT mouseMessage);

    NOTIFYICONDATAA notifyData_{};
    UINT flags_ = NIF_MESSAGE | NIF_TIP;
    std::string hint_;
    bool showHint_ = true;
    fw::UniqueHIcon icon_;
    fw::TImageList* imageList_ = nullptr;
    int imageLink_ = 0;
    int imageIndex_ = 0;
    bool visible_ = false;
    UINT iconId_ = 0;
    fw::TPopupMenu* popupMenu_ = nullptr;
    bool clickPending_ = false;
    std::unique_ptr<fw::TSubclass> appSubclass_;
    bool destroying_ = false;
};
