#pragma once
// A list of square images of one size with change notification, for the tray icon and menus.
// Kept as plain pixels and turned into icons on demand, so the program needs no common-controls
// library to start.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace fw {

class TImageList {
public:
    TImageList() = default;
    TImageList(const TImageList&) = delete;
    TImageList& operator=(const TImageList&) = delete;

    // Replaces the list with the images of a bitmap strip resource (32-bit with alpha, or
    // opaque), as high as each image is wide; listeners hear of it. False, the list unchanged,
    // for a resource that is missing or no strip.
    bool LoadStrip(const char* resourceName);
    int Count() const { return size_ ? static_cast<int>(pixels_.size()) / (size_ * size_) : 0; }
    // Width and height of every image.
    int Size() const { return size_; }
    // A caller-owned icon, or null for an index outside the list.
    HICON GetIcon(int index) const;
    // Draws an image with its transparency; greyed and faded for a disabled item.
    void Draw(HDC dc, int index, int x, int y, bool enabled) const;

    using ChangeLink = std::function<void()>;
    int RegisterChanges(ChangeLink link);
    void UnregisterChanges(int id);

private:
    HICON MakeIcon(int index, bool enabled) const;
    void Changed();
    // Image after image, each with straight (not premultiplied) alpha and rows from the top.
    std::vector<std::uint32_t> pixels_;
    int size_ = 0;
    std::vector<std::pair<int, ChangeLink>> links_;
    int nextLinkId_ = 1;
};

}  // namespace fw
