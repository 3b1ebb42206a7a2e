#include "components/memosearch/sendkeys.h"

#include <vector>

namespace {

void DispatchWaitingKeys() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void SendKey(BYTE virtualKey, bool up, bool wait) {
    const auto scanCode = static_cast<BYTE>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
    keybd_event(virtualKey, scanCode, up ? KEYEVENTF_KEYUP : 0, kSendKeysExtraInfo);
    if (wait) DispatchWaitingKeys();
}

}  // namespace

bool SendKeys(std::string_view keys, bool wait) {
    bool ctrlPending = false;
    for (const char c : keys) {
        if (c == '^') {
            ctrlPending = true;
            continue;
        }
        const SHORT scan = VkKeyScanA(c);
        if (scan == -1) return false;  // no key types this character here
        const auto virtualKey = static_cast<BYTE>(scan & 0xFF);
        const unsigned shiftState = static_cast<unsigned>(scan >> 8) & 0xFFu;

        std::vector<BYTE> modifiers;
        if (ctrlPending || (shiftState & 2)) modifiers.push_back(VK_CONTROL);
        if (shiftState & 1) modifiers.push_back(VK_SHIFT);
        if (shiftState & 4) modifiers.push_back(VK_MENU);
        for (const BYTE modifier : modifiers) SendKey(modifier, false, wait);
        SendKey(virtualKey, false, wait);
        SendKey(virtualKey, true, wait);
        for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) SendKey(*it, true, wait);
        ctrlPending = false;
    }
    // A caret at the end asked for a key that never came.
    return !ctrlPending;
}
