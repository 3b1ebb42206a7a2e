// The image list's pictures, drawn and as icons, keep the packed strips' colours and
// see-through pixels at every size.
#include "framework/imagelist.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/packedbitmap.h"

namespace {

constexpr std::uint32_t kBackground = 0x00FF00FF;  // magenta

// Pixels (0x00RRGGBB, rows from the top) after draw paints on a magenta square.
std::vector<std::uint32_t> Painted(int size, const std::function<void(HDC)>& draw) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP target = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, target);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    std::fill(pixels, pixels + size * size, kBackground);
    draw(dc);
    GdiFlush();
    std::vector<std::uint32_t> result(size * size);
    for (int i = 0; i < size * size; ++i) result[i] = pixels[i] & 0xFFFFFF;
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(target);
    return result;
}

TEST(ImageList, PicturesKeepTheStripsColoursAndTransparency) {
    fw::TImageList images;
    EXPECT_FALSE(images.LoadStrip("FORMMAIN")) << "packed data that is no picture";
    // Sizes whose mask rows are not a whole number of 16-bit words too.
    const std::pair<const char*, int> strips[] = {
        {"IMAGELIST1", 16}, {"IMAGELIST1_20", 20}, {"IMAGELIST1_24", 24}, {"IMAGELIST1_32", 32}};
    for (const auto& [name, size] : strips) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(images.LoadStrip(name));
        ASSERT_EQ(images.Count(), 15);
        ASSERT_EQ(images.Size(), size);

        // The strip as packed: a DIB section of bottom-up rows of 32-bit pixels with alpha.
        const fw::UniqueGdiObject strip = fw::LoadPackedBitmap(name);
        BITMAP shape{};
        GetObjectA(strip.get(), sizeof shape, &shape);
        ASSERT_NE(shape.bmBits, nullptr);
        ASSERT_EQ(shape.bmWidth * shape.bmHeight * shape.bmBitsPixel, 15 * size * size * 32);
        const auto* source = static_cast<const std::uint32_t*>(shape.bmBits);
        int clear = 0;
        for (int index = 0; index < images.Count(); ++index) {
            SCOPED_TRACE("image " + std::to_string(index));
            HICON icon = images.GetIcon(index);
            ASSERT_NE(icon, nullptr);
            const auto asIcon = Painted(size, [&](HDC dc) {
                DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
            });
            DestroyIcon(icon);
            const auto drawn = Painted(size, [&](HDC dc) { images.Draw(dc, index, 0, 0, true); });
            int mismatches = 0;
            for (int at = 0; at < size * size; ++at) {
                const int x = at % size, y = at / size;
                const std::uint32_t pixel =
                    source[(size - 1 - y) * shape.bmWidth + index * size + x];
                const bool opaque = pixel >> 24 != 0;
                clear += !opaque;
                const std::uint32_t expected = opaque ? pixel & 0xFFFFFF : kBackground;
                mismatches += asIcon[at] != expected || drawn[at] != expected;
            }
            EXPECT_EQ(mismatches, 0);
        }
        EXPECT_GT(clear, 0) << "the background stays see-through";
        EXPECT_LT(clear, 15 * size * size) << "the pictures themselves arrived";
    }
}

}  // namespace
