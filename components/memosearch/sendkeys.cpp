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

INPUT KeyEvent(BYTE virtualKey, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    input.ki.dwExtraInfo = kSendKeysExtraInfo;
    return input;
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
        // One call for the whole chord: nothing, neither the user's own typing nor (under Wine)
        // a keyboard state taken from X while our keys are half sent, gets between its events.
        std::vector<INPUT> chord;
        chord.reserve(2 * modifiers.size() + 2);
        for (const BYTE modifier : modifiers) chord.push_back(KeyEvent(modifier, false));
        chord.push_back(KeyEvent(virtualKey, false));
        chord.push_back(KeyEvent(virtualKey, true));
        for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it)
            chord.push_back(KeyEvent(*it, true));
        if (SendInput(static_cast<UINT>(chord.size()), chord.data(), sizeof(INPUT)) != chord.size())
            return false;
        if (wait) DispatchWaitingKeys();
        ctrlPending = false;
    }
    // A caret at the end asked for a key that never came.
    return !ctrlPending;
}
