#pragma once
// The global hot key as people write it ("Ctrl+Alt+J") and as RegisterHotKey takes it.

#include <cstdint>
#include <string>

namespace bj {

// The values of RegisterHotKey's modifier flags.
enum HotKeyModifier : std::uint32_t { kModAlt = 1, kModCtrl = 2, kModShift = 4, kModWin = 8 };

struct HotKey {
    std::uint32_t modifiers = 0;
    std::uint32_t virtualKey = 0;  // 0: no hot key
};

inline bool operator==(const HotKey& a, const HotKey& b) {
    return a.modifiers == b.modifiers && a.virtualKey == b.virtualKey;
}

// Modifiers in any order and letter case, each once, then one letter, digit or F1-F24, joined
// by "+" with blanks allowed around the parts. Empty text gives no hot key. A letter or digit
// needs Ctrl, Alt or Win: alone or with Shift it would take a key away from typing. False for
// anything else.
bool ParseHotKey(const std::string& text, HotKey& key);

// The form ParseHotKey reads, modifiers as Ctrl+Alt+Shift+Win; empty for no hot key.
std::string HotKeyText(const HotKey& key);

}  // namespace bj
