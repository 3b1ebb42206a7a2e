#pragma once
// Monitors and DPI. The calls that later systems added are looked up at run time, so the program
// still starts where they are missing, with one monitor at 96 DPI.

#include <windows.h>

#include <vector>

namespace fw {

// The work area of every monitor; the primary one's alone where monitors cannot be listed.
std::vector<RECT> WorkAreas();

}  // namespace fw
