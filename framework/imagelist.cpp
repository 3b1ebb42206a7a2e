#include "framework/imagelist.h"

#include "framework/packedbitmap.h"
#include "framework/unique.h"

namespace fw {

TImageList::TImageList() {
    list_ = ImageList_Create(kImageSize, kImageSize, ILC_COLOR32 | ILC_MASK, 15, 1);
}

TImageList::~TImageList() {
    if (list_) ImageList_Destroy(list_);
}

bool TImageList::LoadStrip(const char* resourceName) {
    UniqueGdiObject strip = LoadPackedBitmap(resourceName);
    if (!strip) return false;
    const bool added = ImageList_Add(list_, static_cast<HBITMAP>(strip.get()), nullptr) >= 0;
    Changed();
    return added;
}

int TImageList::Count() const {
    return ImageList_GetImageCount(list_);
}

HICON TImageList::GetIcon(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return ImageList_GetIcon(list_, index, ILD_NORMAL);
}

void TImageList::Draw(HDC dc, int index, int x, int y, bool enabled) const {
    if (index < 0 || index >= Count()) return;
    ImageList_Draw(list_, index, dc, x, y,
                   enabled ? ILD_TRANSPARENT : ILD_TRANSPARENT | ILD_BLEND50);
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
