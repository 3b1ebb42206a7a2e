#pragma once
// Starting other programs through the shell: the one place tests replace.

#include <windows.h>
// Its ShellExecute macro renames the function below: every file must see it, or none.
#include <shellapi.h>

#include <functional>
#include <string>

namespace fw {

using ShellExecuteHook =
    std::function<INT_PTR(HWND owner, const std::string& verb, const std::string& file, int show)>;

// ShellExecuteA with no parameters and no directory; an empty verb is the default action.
// Returns its result (above 32 on success).
INT_PTR ShellExecute(HWND owner, const std::string& verb, const std::string& file, int show);
// An empty hook restores the real call.
void SetShellExecuteHook(ShellExecuteHook hook);

}  // namespace fw
