#include "framework/imagelist.h"

#include "framework/application.h"
#include "framework/unique.h"

namespace fw {

namespace {
constexpr int kSize = 16;
}

TImageList::TImageList() {
    list_ = ImageList_Create(kSize, kSize, ILC_COLOR32 | ILC_MASK, 15, 1);
}

TImageList::~TImageList() {
    if (list_) ImageList_Destroy(list_);
}

bool TImageList::LoadStrip(const char* resourceName) {
    UniqueGdiObject strip(LoadImageA(Application.Instance(), resourceName, IMAGE_BITMAP, 0, 0,
                                     LR_CREATEDIBSECTION));
    if (!strip) return false;
    const bool added = ImageList_Add(list_, static_cast<HBITMAP>(strip.get()), nullptr) >= 0;
    Changed();
    return added;
}

int TImageList::Count() const { return ImageList_GetImageCount(list_); }

HICON TImageList::GetIcon(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return ImageList_GetIcon(list_, index, ILD_NORMAL);
}

HBITMAP TImageList::CreateMenuBitmap(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kSize;
    info.bmiHeader.biHeight = -kSize;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (!bitmap) return nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    ImageList_Draw(list_, index, dc, 0, 0, ILD_NORMAL);
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
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
