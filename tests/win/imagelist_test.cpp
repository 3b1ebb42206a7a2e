// The image list's pictures, drawn and as icons, keep the packed strip's colours and
// see-through pixels.
#include "framework/imagelist.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstdint>
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
    std::fill(pixels, pixels + kSize * kSize, kBackground);
    draw(dc);
    GdiFlush();
    std::array<std::uint32_t, kSize * kSize> result{};
    for (int i = 0; i < kSize * kSize; ++i) result[i] = pixels[i] & 0xFFFFFF;
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(target);
    return result;
}

TEST(ImageList, PicturesKeepTheStripsColoursAndTransparency) {
    fw::TImageList images;
    EXPECT_FALSE(images.LoadStrip("FORMMAIN")) << "packed data that is no picture";
    ASSERT_TRUE(images.LoadStrip("IMAGELIST1"));
    ASSERT_EQ(images.Count(), 15);

    // The strip as packed: a DIB section of bottom-up rows of 32-bit pixels with alpha.
    const fw::UniqueGdiObject strip = fw::LoadPackedBitmap("IMAGELIST1");
    BITMAP shape{};
    GetObjectA(strip.get(), sizeof shape, &shape);
    ASSERT_NE(shape.bmBits, nullptr);
    ASSERT_EQ(shape.bmWidth * shape.bmHeight * shape.bmBitsPixel, 15 * kSize * kSize * 32);
    const auto* source = static_cast<const std::uint32_t*>(shape.bmBits);
    int clear = 0;
    for (int index = 0; index < images.Count(); ++index) {
        SCOPED_TRACE("image " + std::to_string(index));
        HICON icon = images.GetIcon(index);
        ASSERT_NE(icon, nullptr);
        const auto asIcon = Painted(
            [&](HDC dc) { DrawIconEx(dc, 0, 0, icon, kSize, kSize, 0, nullptr, DI_NORMAL); });
        DestroyIcon(icon);
        const auto drawn = Painted([&](HDC dc) { images.Draw(dc, index, 0, 0, true); });
        int mismatches = 0;
        for (int at = 0; at < kSize * kSize; ++at) {
            const int x = at % kSize, y = at / kSize;
            const std::uint32_t pixel = source[(kSize - 1 - y) * shape.bmWidth + index * kSize + x];
            const bool opaque = pixel >> 24 != 0;
            clear += !opaque;
            const std::uint32_t expected = opaque ? pixel & 0xFFFFFF : kBackground;
            mismatches += asIcon[at] != expected || drawn[at] != expected;
        }
        EXPECT_EQ(mismatches, 0);
    }
    EXPECT_GT(clear, 0) << "the background stays see-through";
    EXPECT_LT(clear, 15 * kSize * kSize) << "the pictures themselves arrived";
}

}  // namespace
