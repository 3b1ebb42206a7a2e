// The image list's pictures, drawn and as icons, keep the strip's colours and see-through
// pixels; a disabled item's picture is greyed and faded.
#include "framework/imagelist.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>

#include "framework/packedbitmap.h"

namespace {

constexpr int kSize = fw::TImageList::kImageSize;
constexpr std::uint32_t kBackground = 0x00FF00FF;  // magenta

// Pixels (0x00RRGGBB, rows from the top) after draw paints on a magenta square.
std::array<std::uint32_t, kSize * kSize> Painted(const std::function<void(HDC)>& draw) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, kSize, -kSize, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP target = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, target);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int i = 0; i < kSize * kSize; ++i) pixels[i] = kBackground;
    draw(dc);
    GdiFlush();
    std::array<std::uint32_t, kSize * kSize> result{};
    for (int i = 0; i < kSize * kSize; ++i) result[i] = pixels[i] & 0xFFFFFF;
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(target);
    return result;
}

int Channel(std::uint32_t pixel, int shift) {
    return static_cast<int>(pixel >> shift & 0xFF);
}

TEST(ImageList, PicturesKeepTheStripsColoursAndTransparency) {
    fw::TImageList images;
    int changes = 0;
    images.RegisterChanges([&] { ++changes; });
    EXPECT_FALSE(images.LoadStrip("NOSUCHPICTURE"));
    ASSERT_TRUE(images.LoadStrip("IMAGELIST1"));
    EXPECT_EQ(images.Count(), 15);
    EXPECT_EQ(changes, 1) << "only a load that added images is announced";
    EXPECT_EQ(images.GetIcon(-1), nullptr);
    EXPECT_EQ(images.GetIcon(15), nullptr);

    // The strip as packed: bottom-up rows of 32-bit pixels with alpha.
    const fw::UniqueGdiObject strip = fw::LoadPackedBitmap("IMAGELIST1");
    BITMAP shape{};
    GetObjectA(strip.get(), sizeof shape, &shape);
    ASSERT_NE(shape.bmBits, nullptr);
    const auto* source = static_cast<const std::uint32_t*>(shape.bmBits);

    for (int index = 0; index < images.Count(); ++index) {
        SCOPED_TRACE("image " + std::to_string(index));
        HICON icon = images.GetIcon(index);
        ASSERT_NE(icon, nullptr);
        const auto asIcon = Painted(
            [&](HDC dc) { DrawIconEx(dc, 0, 0, icon, kSize, kSize, 0, nullptr, DI_NORMAL); });
        DestroyIcon(icon);
        const auto drawn = Painted([&](HDC dc) { images.Draw(dc, index, 0, 0, true); });
        const auto greyed = Painted([&](HDC dc) { images.Draw(dc, index, 0, 0, false); });
        int mismatches = 0;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const std::uint32_t pixel =
                    source[(kSize - 1 - y) * shape.bmWidth + index * kSize + x];
                const int at = y * kSize + x;
                const std::uint32_t expected = pixel >> 24 ? pixel & 0xFFFFFF : kBackground;
                mismatches += asIcon[at] != expected || drawn[at] != expected;
                if (pixel >> 24 == 0) {
                    mismatches += greyed[at] != kBackground;
                } else {
                    // Half a grey over magenta: green is half the grey, red and blue alike.
                    const int grey = (Channel(pixel, 16) * 30 + Channel(pixel, 8) * 59 +
                                      Channel(pixel, 0) * 11) /
                                     100;
                    mismatches += std::abs(Channel(greyed[at], 8) - grey / 2) > 3 ||
                                  Channel(greyed[at], 16) != Channel(greyed[at], 0);
                }
            }
        EXPECT_EQ(mismatches, 0);
    }
}

}  // namespace
