#pragma once
// Tip windows, from the common-controls library.

#include <windows.h>

namespace fw {

// A tip window owned by owner, or null when the library cannot give one. The library is loaded
// on the first tip: most sessions never show one, and it costs a part of the start-up.
HWND CreateToolTip(HWND owner, HINSTANCE instance);

}  // namespace fw
