#include "framework/imagelist.h"

#include "framework/packedbitmap.h"
#include "framework/unique.h"

namespace fw {

namespace {

constexpr int kSize = TImageList::kImageSize;

BITMAPINFO TopDown32(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

std::uint32_t Alpha(std::uint32_t pixel) {
    return pixel >> 24;
}

// Grey at half the strength: how a disabled item's picture looks.
std::uint32_t Disabled(std::uint32_t pixel) {
    const std::uint32_t grey =
        ((pixel >> 16 & 0xFF) * 30 + (pixel >> 8 & 0xFF) * 59 + (pixel & 0xFF) * 11) / 100;
    return (Alpha(pixel) / 2) << 24 | grey << 16 | grey << 8 | grey;
}

}  // namespace

bool TImageList::LoadStrip(const char* resourceName) {
    UniqueGdiObject strip = LoadPackedBitmap(resourceName);
    BITMAP shape{};
    if (!strip || !GetObjectA(strip.get(), sizeof shape, &shape) || shape.bmHeight != kSize ||
        shape.bmWidth < kSize)
        return false;
    const int count = shape.bmWidth / kSize;
    std::vector<std::uint32_t> pixels(static_cast<size_t>(count) * kSize * kSize);
    BITMAPINFO info = TopDown32(count * kSize, kSize);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, static_cast<HBITMAP>(strip.get()), 0, kSize, pixels.data(),
                               &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != kSize) return false;
    // A strip without an alpha channel is opaque all over.
    bool hasAlpha = false;
    for (std::uint32_t pixel : pixels) hasAlpha = hasAlpha || Alpha(pixel) != 0;
    for (int image = 0; image < count; ++image) {
        Image& added = images_.emplace_back();
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const std::uint32_t pixel = pixels[(y * count + image) * kSize + x];
                added[y * kSize + x] = hasAlpha ? pixel : pixel | 0xFF000000u;
            }
    }
    Changed();
    return true;
}

HICON TImageList::GetIcon(int index) const {
    return MakeIcon(index, true);
}

void TImageList::Draw(HDC dc, int index, int x, int y, bool enabled) const {
    UniqueResource<HIconTraits> icon(MakeIcon(index, enabled));
    if (icon) DrawIconEx(dc, x, y, icon.get(), kSize, kSize, 0, nullptr, DI_NORMAL);
}

HICON TImageList::MakeIcon(int index, bool enabled) const {
    if (index < 0 || index >= Count()) return nullptr;
    const BITMAPINFO info = TopDown32(kSize, kSize);
    void* bits = nullptr;
    UniqueGdiObject color(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!color || !bits) return nullptr;
    // The mask marks the see-through pixels, for drawing that ignores the alpha channel. A
    // monochrome row is padded to 16 bits, which one 16-pixel row fills exactly.
    std::array<BYTE, kSize * kSize / 8> mask{};
    auto* out = static_cast<std::uint32_t*>(bits);
    for (int i = 0; i < kSize * kSize; ++i) {
        const std::uint32_t pixel = images_[index][i];
        if (Alpha(pixel) == 0) {
            out[i] = 0;  // black, so the mask's XOR step leaves the background alone
            mask[i / 8] |= static_cast<BYTE>(0x80 >> (i % 8));
        } else {
            out[i] = enabled ? pixel : Disabled(pixel);
        }
    }
    UniqueGdiObject maskBitmap(CreateBitmap(kSize, kSize, 1, 1, mask.data()));
    if (!maskBitmap) return nullptr;
    ICONINFO icon{TRUE, 0, 0, static_cast<HBITMAP>(maskBitmap.get()),
                  static_cast<HBITMAP>(color.get())};
    return CreateIconIndirect(&icon);
}

int TImageList::RegisterChanges(ChangeLink link) {
    links_.emplace_back(nextLinkId_, std::move(link));
    return nextLinkId_++;
}

void TImageList::UnregisterChanges(int id) {
    for (auto it = links_.begin(); it != links_.end(); ++it) {
        if (it->first == id) {
            links_.erase(it);
            return;
        }
    }
}

void TImageList::Changed() {
    const auto links = links_;  // a listener may unregister itself
    for (const auto& link : links) link.second();
}

}  // namespace fw
