#include "framework/imagelist.h"

#include "framework/packedbitmap.h"
#include "framework/unique.h"

namespace fw {

namespace {

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
    if (!strip || !GetObjectA(strip.get(), sizeof shape, &shape) || shape.bmHeight <= 0 ||
        shape.bmWidth < shape.bmHeight)
        return false;
    const int size = shape.bmHeight;
    const int count = shape.bmWidth / size;
    std::vector<std::uint32_t> strips(static_cast<size_t>(count) * size * size);
    BITMAPINFO info = TopDown32(count * size, size);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, static_cast<HBITMAP>(strip.get()), 0, size, strips.data(),
                               &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != size) return false;
    // A strip without an alpha channel is opaque all over.
    bool hasAlpha = false;
    for (std::uint32_t pixel : strips) hasAlpha = hasAlpha || Alpha(pixel) != 0;
    pixels_.clear();
    for (int image = 0; image < count; ++image)
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const std::uint32_t pixel = strips[(y * count + image) * size + x];
                pixels_.push_back(hasAlpha ? pixel : pixel | 0xFF000000u);
            }
    size_ = size;
    Changed();
    return true;
}

HICON TImageList::GetIcon(int index) const {
    return MakeIcon(index, true);
}

void TImageList::Draw(HDC dc, int index, int x, int y, bool enabled) const {
    UniqueResource<HIconTraits> icon(MakeIcon(index, enabled));
    if (icon) DrawIconEx(dc, x, y, icon.get(), size_, size_, 0, nullptr, DI_NORMAL);
}

HICON TImageList::MakeIcon(int index, bool enabled) const {
    if (index < 0 || index >= Count()) return nullptr;
    const BITMAPINFO info = TopDown32(size_, size_);
    void* bits = nullptr;
    UniqueGdiObject color(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!color || !bits) return nullptr;
    // The mask marks the see-through pixels, for drawing that ignores the alpha channel. Its
    // rows are padded to 16 bits.
    const int stride = (size_ + 15) / 16 * 2;
    std::vector<BYTE> mask(static_cast<size_t>(stride) * size_);
    auto* out = static_cast<std::uint32_t*>(bits);
    const std::uint32_t* image = &pixels_[static_cast<size_t>(index) * size_ * size_];
    for (int y = 0; y < size_; ++y)
        for (int x = 0; x < size_; ++x) {
            const int i = y * size_ + x;
            if (Alpha(image[i]) == 0) {
                out[i] = 0;  // black, so the mask's XOR step leaves the background alone
                mask[y * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
            } else {
                out[i] = enabled ? image[i] : Disabled(image[i]);
            }
        }
    UniqueGdiObject maskBitmap(CreateBitmap(size_, size_, 1, 1, mask.data()));
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
