#include "framework/msgbox.h"

namespace fw {
namespace {
MessageBoxHook& Hook() {
    static MessageBoxHook hook;
    return hook;
}
}  // namespace

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
    if (Hook()) return Hook()(owner, text, caption, flags);
    return MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

void SetMessageBoxHook(MessageBoxHook hook) { Hook() = std::move(hook); }

}  // namespace fw
