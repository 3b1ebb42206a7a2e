#pragma once
// Every message box goes through ShowMessageBox, so tests can answer it.

#include <windows.h>

#include <functional>
#include <string>

namespace fw {

using MessageBoxHook =
    std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT flags)>;

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags);
// An empty hook restores the real MessageBoxA.
void SetMessageBoxHook(MessageBoxHook hook);

}  // namespace fw
