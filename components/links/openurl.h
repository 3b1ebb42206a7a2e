#pragma once
// Hands an address to the shell, which starts the user's browser or mail
// program. Tests replace the shell call with a hook.

#include <windows.h>

#include <functional>
#include <string>

namespace links {

// ShellExecuteA's result as a number: 32 or below means the shell failed.
int OpenUrl(const std::string& url, HWND owner = nullptr);

// An empty hook restores the real shell call.
void SetOpenUrlHook(std::function<int(const std::string& url)> hook);

}  // namespace links
