#include "framework/menu.h"

#include <map>

#include "framework/imagelist.h"

namespace fw {
namespace {
std::map<UINT, TMenuItem*>& Registry() {
    static std::map<UINT, TMenuItem*> items;
    return items;
}
}  // namespace

TMenuItem::TMenuItem(std::string caption, UINT command, int helpContext)
    : caption_(std::move(caption)), command_(command), helpContext_(helpContext) {
    if (command_) Registry()[command_] = this;
}

TMenuItem::~TMenuItem() {
    auto& registry = Registry();
    auto it = registry.find(command_);
    if (it != registry.end() && it->second == this) registry.erase(it);
}

TMenuItem* TMenuItem::FindByCommand(UINT command) {
    auto it = Registry().find(command);
    return it == Registry().end() ? nullptr : it->second;
}

void TMenuItem::Click() {
    if (enabled_ && OnClick) OnClick();
}

void TMenuItem::Add(TMenuItem& child) {
    items_.push_back(&child);
    child.parentItem_ = this;
}

int TMenuItem::EffectiveHelpContext() const {
    for (const TMenuItem* item = this; item; item = item->parentItem_)
        if (item->helpContext_) return item->helpContext_;
    return 0;
}

bool TMenuItem::InPopupMenu() const {
    const TMenuItem* root = this;
    while (root->parentItem_) root = root->parentItem_;
    return root->popupRoot_;
}

void TMenuItem::RedrawBar() const {
    // A menu bar shows an item's new state only once the bar is drawn again.
    if (parentItem_ && parentItem_->barWindow_) DrawMenuBar(parentItem_->barWindow_);
}

void TMenuItem::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    if (!parent_ || !command_) return;
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<char*>(caption_.c_str());
    SetMenuItemInfoA(parent_, command_, FALSE, &info);
    RedrawBar();
}

void TMenuItem::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;  // called on every timer tick: touch the menu only on change
    enabled_ = enabled;
    if (!parent_ || !command_) return;
    EnableMenuItem(parent_, command_, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    RedrawBar();
}

void TMenuItem::SetChecked(bool checked) {
    const bool changed = checked != checked_;
    checked_ = checked;
    if (!parent_ || !command_) return;
    CheckMenuItem(parent_, command_, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    if (changed) RedrawBar();
}

void TMenuItem::SetDefault(bool isDefault) {
    default_ = isDefault;
    if (parent_ && command_) {
        if (isDefault)
            SetMenuDefaultItem(parent_, command_, FALSE);
        else if (GetMenuDefaultItem(parent_, FALSE, 0) == command_)
            SetMenuDefaultItem(parent_, static_cast<UINT>(-1), FALSE);
    }
}

void TMenuItem::SetImageIndex(int index) {
    imageIndex_ = index;
    ApplyImage();
}

void TMenuItem::ApplyImage() {
    if (!parent_ || !command_ || !images_) return;
    // Drawn by the owner window through the image list, which keeps the transparency
    // that a plain menu bitmap loses on some systems.
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_BITMAP;
    info.hbmpItem = imageIndex_ >= 0 ? HBMMENU_CALLBACK : nullptr;
    SetMenuItemInfoA(parent_, command_, FALSE, &info);
}

bool TMenuItem::MeasureImage(MEASUREITEMSTRUCT& measure) {
    if (measure.CtlType != ODT_MENU) return false;
    TMenuItem* item = FindByCommand(measure.itemID);
    if (!item || !item->images_) return false;
    measure.itemWidth = item->images_->Size();
    measure.itemHeight = item->images_->Size();
    return true;
}

bool TMenuItem::DrawImage(const DRAWITEMSTRUCT& draw) {
    if (draw.CtlType != ODT_MENU) return false;
    TMenuItem* item = FindByCommand(draw.itemID);
    if (!item || !item->images_) return false;
    const int x = draw.rcItem.left;
    const int size = item->images_->Size();
    const int y = draw.rcItem.top + (draw.rcItem.bottom - draw.rcItem.top - size) / 2;
    item->images_->Draw(draw.hDC, item->imageIndex_, x, y, item->enabled_);
    return true;
}

void TMenuItem::BuildInto(HMENU menu, TImageList* images) {
    for (TMenuItem* item : items_) {
        if (!item->visible_) continue;
        item->Attach(menu);
        item->images_ = images;
        if (item->IsSeparator()) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = MF_STRING;
        if (!item->enabled_) flags |= MF_GRAYED;
        if (item->checked_) flags |= MF_CHECKED;
        if (!item->items_.empty()) {
            item->subMenu_ = CreatePopupMenu();
            item->BuildInto(item->subMenu_, images);
            AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(item->subMenu_),
                        item->caption_.c_str());
            continue;
        }
        AppendMenuA(menu, flags, item->command_, item->caption_.c_str());
        if (item->default_) SetMenuDefaultItem(menu, item->command_, FALSE);
        item->ApplyImage();
    }
}

HMENU TMainMenu::CreateBar() {
    HMENU bar = CreateMenu();
    root_.BuildInto(bar, nullptr);
    return bar;
}

void TPopupMenu::Build(TImageList* images) {
    root_.popupRoot_ = true;
    menu_.reset(CreatePopupMenu());
    root_.BuildInto(menu_.get(), images);
}

void TPopupMenu::Popup(int x, int y, HWND owner) {
    TrackPopupMenu(menu_.get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr);
}

}  // namespace fw
