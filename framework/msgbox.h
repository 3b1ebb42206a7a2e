#pragma once
// Every message box goes through ShowMessageBox, so tests can answer it.

#include <windows.h>

#include <functional>
#include <string>

namespace fw {

using MessageBoxHook =
    std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT flags)>;

// Text and caption in UTF-8, so a searched word shows as typed.
int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags);
// An empty hook restores the real MessageBoxW.
void SetMessageBoxHook(MessageBoxHook hook);

}  // namespace fw
