#pragma once
// Menu items with the state the program reads back (caption, check mark,
// enabled, default, image, help number), kept in step with the live HMENU.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/unique.h"

namespace fw {

class TImageList;

class TMenuItem {
    friend class TMainMenu;

public:
    // command 0 for separators and sub-menus.
    TMenuItem(std::string caption, UINT command, int helpContext = 0);
    ~TMenuItem();
    TMenuItem(const TMenuItem&) = delete;
    TMenuItem& operator=(const TMenuItem&) = delete;

    static TMenuItem* FindByCommand(UINT command);

    UINT Command() const { return command_; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    bool Default() const { return default_; }
    void SetDefault(bool isDefault);
    bool Visible() const { return visible_; }
    // Takes effect when the menu is built.
    void SetVisible(bool visible) { visible_ = visible; }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    int HelpContext() const { return helpContext_; }
    // The item's own help number, else the nearest enclosing item's; 0 when none has one.
    int EffectiveHelpContext() const;
    // Whether the item belongs to a pop-up menu rather than a menu bar.
    bool InPopupMenu() const;
    bool IsSeparator() const { return caption_ == "-"; }

    std::string Hint;
    std::function<void()> OnClick;
    // Runs OnClick only while the item is enabled.
    void Click();

    void Add(TMenuItem& child);
    const std::vector<TMenuItem*>& Items() const { return items_; }
    HMENU SubMenu() const { return subMenu_; }

    // Builds the live menu below this item (the root of a menu bar or pop-up).
    void BuildInto(HMENU menu, TImageList* images);
    // The owner window's part of drawing an item's image (WM_MEASUREITEM, WM_DRAWITEM).
    static bool MeasureImage(MEASUREITEMSTRUCT& measure);
    static bool DrawImage(const DRAWITEMSTRUCT& draw);

private:
    friend class TPopupMenu;
    void Attach(HMENU parent) { parent_ = parent; }
    void ApplyImage();
    void RedrawBar() const;

    std::string caption_;
    UINT command_;
    int helpContext_;
    bool enabled_ = true;
    bool checked_ = false;
    bool default_ = false;
    bool visible_ = true;
    int imageIndex_ = -1;
    HMENU parent_ = nullptr;
    TMenuItem* parentItem_ = nullptr;
    HWND barWindow_ = nullptr;  // on the root of a menu bar: the window showing it
    bool popupRoot_ = false;
    TImageList* images_ = nullptr;
    HMENU subMenu_ = nullptr;  // owned by the parent menu
    std::vector<TMenuItem*> items_;
};

class TMainMenu {
public:
    explicit TMainMenu(TMenuItem& root) : root_(root) {}
    // Creates the bar; the window that gets it owns it from then on.
    HMENU CreateBar();
    // The window showing the bar, redrawn when an item on the bar changes.
    void SetWindow(HWND window) { root_.barWindow_ = window; }
    TMenuItem& Items() { return root_; }

private:
    TMenuItem& root_;
};

class TPopupMenu {
public:
    explicit TPopupMenu(TMenuItem& root) : root_(root) {}
    void Build(TImageList* images);
    HMENU Handle() const { return menu_.get(); }
    TMenuItem& Items() { return root_; }
    bool AutoPopup = true;
    // Runs the menu at a screen point; the choice is posted to owner as WM_COMMAND.
    void Popup(int x, int y, HWND owner);

private:
    TMenuItem& root_;
    UniqueHMenu menu_;
};

}  // namespace fw
