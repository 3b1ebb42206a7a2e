#include "app/hotkeytext.h"

#include <cstring>

namespace bj {
namespace {

constexpr std::uint32_t kVirtualKeyF1 = 0x70;
constexpr int kLastFunctionKey = 24;

struct ModifierName {
    const char* name;
    std::uint32_t flag;
};

// Printing order; "Control" is read as well.
constexpr ModifierName kModifiers[] = {
    {"Ctrl", kModCtrl},   {"Control", kModCtrl}, {"Alt", kModAlt},
    {"Shift", kModShift}, {"Win", kModWin},
};

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameText(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A letter, digit or F1-F24 as its virtual-key code; 0 for anything else.
std::uint32_t KeyCode(const std::string& part) {
    if (part.size() == 1) {
        const char c = Upper(part[0]);
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return static_cast<std::uint32_t>(c);
        return 0;
    }
    if (part.size() > 3 || Upper(part[0]) != 'F' || part[1] < '1' || part[1] > '9') return 0;
    int number = part[1] - '0';
    if (part.size() == 3) {
        if (part[2] < '0' || part[2] > '9') return 0;
        number = number * 10 + (part[2] - '0');
    }
    return number <= kLastFunctionKey ? kVirtualKeyF1 + static_cast<std::uint32_t>(number) - 1 : 0;
}

}  // namespace

bool ParseHotKey(const std::string& text, HotKey& key) {
    HotKey parsed;
    std::size_t start = 0;
    if (Trimmed(text).empty()) {
        key = parsed;
        return true;
    }
    for (;;) {
        const std::size_t plus = text.find('+', start);
        const std::string part = Trimmed(text.substr(start, plus - start));
        if (part.empty() || parsed.virtualKey != 0) return false;  // "Ctrl++J", or a key not last
        std::uint32_t flag = 0;
        for (const ModifierName& modifier : kModifiers)
            if (SameText(part, modifier.name)) flag = modifier.flag;
        if (flag != 0) {
            if (parsed.modifiers & flag) return false;
            parsed.modifiers |= flag;
        } else if ((parsed.virtualKey = KeyCode(part)) == 0) {
            return false;
        }
        if (plus == std::string::npos) break;
        start = plus + 1;
    }
    const bool functionKey = parsed.virtualKey >= kVirtualKeyF1;
    if (parsed.virtualKey == 0 || (!functionKey && (parsed.modifiers & ~kModShift) == 0))
        return false;
    key = parsed;
    return true;
}

std::string HotKeyText(const HotKey& key) {
    if (key.virtualKey == 0) return {};
    std::string text;
    std::uint32_t printed = 0;
    for (const ModifierName& modifier : kModifiers) {
        if (!(key.modifiers & modifier.flag) || (printed & modifier.flag)) continue;
        text += modifier.name;
        text += '+';
        printed |= modifier.flag;
    }
    if (key.virtualKey >= kVirtualKeyF1)
        return text + 'F' + std::to_string(key.virtualKey - kVirtualKeyF1 + 1);
    return text + static_cast<char>(key.virtualKey);
}

}  // namespace bj
