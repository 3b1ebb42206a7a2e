// The pictures the exe carries packed come out as the DIB sections their files describe.
#include "framework/packedbitmap.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <vector>

namespace {

// The picture's shape as GDI sees it, checked against what its file says.
BITMAP ExpectShape(const fw::UniqueGdiObject& bitmap, LONG width, LONG height, WORD bits) {
    BITMAP info{};
    EXPECT_TRUE(bitmap);
    GetObjectA(bitmap.get(), sizeof info, &info);
    EXPECT_EQ(info.bmWidth, width);
    EXPECT_EQ(info.bmHeight, height);
    EXPECT_EQ(info.bmBitsPixel, bits);
    return info;
}

TEST(PackedBitmap, TheImageStripKeepsItsAlphaAndTheArtworkItsPalette) {
    const fw::UniqueGdiObject strip = fw::LoadPackedBitmap("IMAGELIST1");
    const BITMAP stripInfo = ExpectShape(strip, 240, 16, 32);
    ASSERT_EQ(stripInfo.bmBitsPixel, 32);
    ASSERT_NE(stripInfo.bmBits, nullptr) << "a DIB section, as the image list needs";
    const auto* pixels = static_cast<const std::uint32_t*>(stripInfo.bmBits);
    int clear = 0, opaque = 0;
    for (int i = 0; i < 240 * 16; ++i) {
        const std::uint32_t alpha = pixels[i] >> 24;
        clear += alpha == 0;
        opaque += alpha == 0xFF;
    }
    EXPECT_GT(clear, 0) << "the background stays see-through";
    EXPECT_GT(opaque, 0) << "the pictures themselves arrived";

    const fw::UniqueGdiObject art = fw::LoadPackedBitmap("ABOUTART");
    ExpectShape(art, 130, 120, 8);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, art.get());
    std::vector<RGBQUAD> colors(256);
    EXPECT_GT(GetDIBColorTable(dc, 0, 256, colors.data()), 1u)
        << "the about box recolours its transparent palette entry";
    SelectObject(dc, old);
    DeleteDC(dc);

    EXPECT_FALSE(fw::LoadPackedBitmap("NOSUCHPICTURE"));
    EXPECT_FALSE(fw::LoadPackedBitmap("FORMMAIN")) << "packed data that is no picture";
}

}  // namespace
