#pragma once
// A list of 16 x 16 images with change notification, for the tray icon and menus.

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>

namespace fw {

class TImageList {
public:
    TImageList();
    ~TImageList();
    TImageList(const TImageList&) = delete;
    TImageList& operator=(const TImageList&) = delete;

    // Adds the images of a 32-bit bitmap strip resource; listeners hear of it.
    bool LoadStrip(const char* resourceName);
    int Count() const;
    HIMAGELIST Handle() const { return list_; }
    // A caller-owned icon, or null for an index outside the list.
    HICON GetIcon(int index) const;
    // Draws an image with its transparency; greyed for a disabled item.
    void Draw(HDC dc, int index, int x, int y, bool enabled) const;
    static constexpr int kImageSize = 16;

    using ChangeLink = std::function<void()>;
    int RegisterChanges(ChangeLink link);
    void UnregisterChanges(int id);

private:
    void Changed();
    HIMAGELIST list_ = nullptr;
    std::vector<std::pair<int, ChangeLink>> links_;
    int nextLinkId_ = 1;
};

}  // namespace fw
