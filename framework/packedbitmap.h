#pragma once
// Pictures the exe carries packed (RCDATA holding a .bmp file the way the authoring tool packs
// it), unpacked into the DIB section LoadImage would have made from a BITMAP resource.

#include <windows.h>

#include "framework/unique.h"

namespace fw {

// Empty when the resource is missing or damaged.
UniqueGdiObject LoadPackedBitmap(const char* resourceName);

}  // namespace fw
