#include "framework/hotkey.h"

namespace fw {

bool THotKey::Register(HWND window, UINT modifiers, UINT virtualKey) {
    Release();
    // A held key would otherwise toggle the window on every repeat; systems before Windows 7
    // refuse the flag, so they are asked again without it.
    if (!RegisterHotKey(window, kId, modifiers | MOD_NOREPEAT, virtualKey) &&
        !RegisterHotKey(window, kId, modifiers, virtualKey))
        return false;
    window_ = window;
    return true;
}

void THotKey::Release() {
    if (!window_) return;
    // The window may be gone already, and its keys with it.
    if (IsWindow(window_)) UnregisterHotKey(window_, kId);
    window_ = nullptr;
}

}  // namespace fw
