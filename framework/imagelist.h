#pragma once
// A list of 16 x 16 images with change notification, for the tray icon and menus. Kept as plain
// pixels and turned into icons on demand, so the program needs no common-controls library to
// start.

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace fw {

class TImageList {
public:
    static constexpr int kImageSize = 16;

    TImageList() = default;
    TImageList(const TImageList&) = delete;
    TImageList& operator=(const TImageList&) = delete;

    // Adds the images of a bitmap strip resource (32-bit with alpha, or opaque); listeners
    // hear of it.
    bool LoadStrip(const char* resourceName);
    int Count() const { return static_cast<int>(images_.size()); }
    // A caller-owned icon, or null for an index outside the list.
    HICON GetIcon(int index) const;
    // Draws an image with its transparency; greyed and faded for a disabled item.
    void Draw(HDC dc, int index, int x, int y, bool enabled) const;

    using ChangeLink = std::function<void()>;
    int RegisterChanges(ChangeLink link);
    void UnregisterChanges(int id);

private:
    // Straight (not premultiplied) alpha, rows from the top.
    using Image = std::array<std::uint32_t, kImageSize * kImageSize>;
    HICON MakeIcon(int index, bool enabled) const;
    void Changed();
    std::vector<Image> images_;
    std::vector<std::pair<int, ChangeLink>> links_;
    int nextLinkId_ = 1;
};

}  // namespace fw
