#pragma once
// The HTML Help library, loaded on first use and kept for the life of the process.

#include <windows.h>

#include <string>

namespace htmlhelp {

// Loads the library once; true while a module is loaded. A failed load is retried next time.
bool LoadHtmlHelp() noexcept;
bool HtmlHelpLoaded() noexcept;
// Loads on demand; true when the library's "HtmlHelpA" entry is known.
bool HtmlHelpUsable() noexcept;
// Null when the library is not usable.
HWND CallHtmlHelp(HWND caller, const char* file, UINT command, DWORD_PTR data) noexcept;

// The library is taken from the system folder only, never found by its bare name: a planted
// copy in the program's or the current folder must not run. Tests name a file of their own
// here; an empty path goes back to the system folder.
void SetHtmlHelpLibraryPath(const std::string& path);
// The full path the next load uses.
std::string HtmlHelpLibraryPath();
// Releases the module; runs by itself at process end, tests call it to start over.
void UnloadHtmlHelp() noexcept;

}  // namespace htmlhelp
