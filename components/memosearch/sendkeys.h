#pragma once
// Types a short key string into the system input queue, as if from the keyboard.

#include <windows.h>

#include <string_view>

// Marks the events SendKeys injects (their dwExtraInfo), so hooks can tell them apart.
constexpr ULONG_PTR kSendKeysExtraInfo = 0x424A534B;  // "BJSK"

// "^" holds Ctrl for the next key; any other character is typed with the key and shift
// state VkKeyScanA gives for it, each key and its modifiers sent in one piece. With wait,
// after each key the keyboard messages already in this thread's queue are dispatched. True
// when the whole string was sent.
bool SendKeys(std::string_view keys, bool wait);
