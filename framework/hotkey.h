#pragma once
// A system-wide key that posts WM_HOTKEY to one window; given back when the object goes.

#include <windows.h>

namespace fw {

class THotKey {
public:
    THotKey() = default;
    ~THotKey() { Release(); }
    THotKey(const THotKey&) = delete;
    THotKey& operator=(const THotKey&) = delete;

    // Gives back the key held before; false when the system refuses the new one (another
    // program holds it). modifiers are MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN.
    bool Register(HWND window, UINT modifiers, UINT virtualKey);
    void Release();

    static constexpr int kId = 1;

private:
    HWND window_ = nullptr;
};

}  // namespace fw
