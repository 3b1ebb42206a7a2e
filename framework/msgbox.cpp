#include "framework/msgbox.h"

#include "framework/visualstyles.h"

namespace fw {
namespace {
MessageBoxHook& Hook() {
    static MessageBoxHook hook;
    return hook;
}

// Not std::wstring: that would link the library's whole copy of it into the exe.
std::u16string Wide(const std::string& utf8) {
    const int size = static_cast<int>(utf8.size());
    std::u16string text(
        static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0)),
        u'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, reinterpret_cast<LPWSTR>(text.data()),
                        static_cast<int>(text.size()));
    return text;
}
}  // namespace

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
    if (Hook()) return Hook()(owner, text, caption, flags);
    const TVisualStyles styles;
    return MessageBoxW(owner, reinterpret_cast<LPCWSTR>(Wide(text).c_str()),
                       reinterpret_cast<LPCWSTR>(Wide(caption).c_str()), flags);
}

void SetMessageBoxHook(MessageBoxHook hook) {
    Hook() = std::move(hook);
}

}  // namespace fw
