#pragma once
// Monitors and DPI. The calls that later systems added are looked up at run time, so the program
// still starts where they are missing, with one monitor at 96 DPI.

#include <windows.h>

#include <vector>

#include "framework/unique.h"

namespace fw {

// The DPI every size in the program's code is written for.
constexpr int kStandardDpi = 96;

// A length written for 96 DPI, in pixels at dpi.
inline int ScaleToDpi(int value, int dpi) {
    return MulDiv(value, dpi, kStandardDpi);
}

// The DPI of the monitor the window is on; the system's where monitors have no DPI of their own.
int WindowDpi(HWND window);

// Lays out for dpi a window laid out for 96 DPI: its client area, each child's place and size,
// and each child's font. The scaled fonts are the caller's to keep while the children live.
std::vector<UniqueGdiObject> ScaleLayout(HWND window, int dpi);

// The work area of every monitor; the primary one's alone where monitors cannot be listed.
std::vector<RECT> WorkAreas();

}  // namespace fw
