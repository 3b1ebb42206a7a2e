#include "framework/shell.h"

#include <shellapi.h>

namespace fw {
namespace {
ShellExecuteHook& Hook() {
    static ShellExecuteHook hook;
    return hook;
}
}  // namespace

INT_PTR ShellExecute(HWND owner, const std::string& verb, const std::string& file, int show) {
    if (Hook()) return Hook()(owner, verb, file, show);
    return reinterpret_cast<INT_PTR>(ShellExecuteA(owner, verb.empty() ? nullptr : verb.c_str(),
                                                   file.c_str(), nullptr, nullptr, show));
}

void SetShellExecuteHook(ShellExecuteHook hook) {
    Hook() = std::move(hook);
}

}  // namespace fw
