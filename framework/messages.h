#pragma once
// The program's private window messages: one list, shared with the tests.

#include <windows.h>

namespace fw::messages {
// The tray icon's mouse events, from the shell.
inline constexpr UINT kTrayCallback = WM_USER + 211;
// Posted to the memo so the dialogs open after the hot-key press is handled.
inline constexpr UINT kSearchKey = WM_USER + 300;
inline constexpr UINT kReplaceKey = WM_USER + 301;
}  // namespace fw::messages
