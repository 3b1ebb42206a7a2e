#include "app/settingsrules.h"

#include <cstring>
#include <limits>
#include <map>

namespace bj {
namespace {

constexpr std::uint32_t kMaxUint32 = std::numeric_limits<std::uint32_t>::max();
constexpr std::uint64_t kMaxInt32 = std::numeric_limits<std::int32_t>::max();

// Reinterprets 32 bits as two's complement without relying on implementation-defined conversion.
std::int32_t FromBits(std::uint32_t bits) {
    if (bits <= kMaxInt32) return static_cast<std::int32_t>(bits);
    return static_cast<std::int32_t>(bits - 0x80000000u) + std::numeric_limits<std::int32_t>::min();
}

std::int32_t WrapSub(std::int32_t a, std::int32_t b) {
    return FromBits(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

int DigitValue(char c, unsigned base) {
    int value = -1;
    if (c >= '0' && c <= '9') value = c - '0';
    if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    return value < static_cast<int>(base) ? value : -1;
}

// All of [first, last) as digits of `base`, at most `limit`.
bool ParseDigits(const char* first, const char* last, unsigned base, std::uint64_t limit,
                 std::uint64_t& result) {
    if (first == last) return false;
    std::uint64_t value = 0;
    for (; first != last; ++first) {
        const int digit = DigitValue(*first, base);
        if (digit < 0) return false;
        value = value * base + static_cast<std::uint64_t>(digit);
        if (value > limit) return false;  // stops before the 64-bit value could overflow
    }
    result = value;
    return true;
}

// base * 10 / divisor, the default-size rule, without overflowing on absurd screen sizes.
std::int32_t ScaleScreen(std::int32_t size, std::int32_t divisor) {
    return static_cast<std::int32_t>(static_cast<std::int64_t>(size) * 10 / divisor);
}

const std::string& TextOf(const KeyValue& key) {
    static const std::string empty;
    return key.present ? key.text : empty;
}

struct SettingKey {
    const char* name;
    bool OptionFlags::*flag;  // null for a geometry key
    std::int32_t repairValue;
    GeometryKey geometry;  // only for a geometry key
};

constexpr SettingKey Boolean(const char* name, bool OptionFlags::*flag, std::int32_t repair) {
    return {name, flag, repair, GeometryKey::Height};
}

constexpr SettingKey Placement(const char* name, GeometryKey key) {
    return {name, nullptr, 0, key};
}

// File order: the order keys are loaded, repaired and saved in.
constexpr SettingKey kSettingKeys[] = {
    Boolean(kKeyAutoSaveMemo, &OptionFlags::autoSaveMemo, 0),
    Placement(kKeyHeight, GeometryKey::Height),
    Placement(kKeyLeft, GeometryKey::Left),
    Boolean(kKeyShowOnStartUp, &OptionFlags::showOnStartUp, 1),
    Boolean(kKeyStartWithWindows, &OptionFlags::startWithWindows, 1),
    Placement(kKeyTop, GeometryKey::Top),
    Boolean(kKeyWarningOnClearClipboard, &OptionFlags::warningOnClearClipboard, 1),
    Boolean(kKeyWarningOnClearMemo, &OptionFlags::warningOnClearMemo, 1),
    Placement(kKeyWidth, GeometryKey::Width),
};

const char* PartnerKey(GeometryKey key) {
    switch (key) {
        case GeometryKey::Height:
            return kKeyTop;
        case GeometryKey::Width:
            return kKeyLeft;
        default:
            return nullptr;
    }
}

std::int32_t GeometryValue(const Geometry& geometry, GeometryKey key) {
    switch (key) {
        case GeometryKey::Height:
            return geometry.height;
        case GeometryKey::Left:
            return geometry.left;
        case GeometryKey::Top:
            return geometry.top;
        case GeometryKey::Width:
            return geometry.width;
    }
    return 0;
}

void ApplyGeometry(IWindowPlacement& window, GeometryKey key, std::int32_t value) {
    switch (key) {
        case GeometryKey::Height:
            window.SetHeight(value);
            break;
        case GeometryKey::Left:
            window.SetLeft(value);
            break;
        case GeometryKey::Top:
            window.SetTop(value);
            break;
        case GeometryKey::Width:
            window.SetWidth(value);
            break;
    }
}

// Later keys are tested against the values repaired before them; remembering what was written
// keeps that true when the file refused the write.
class RepairingProfile {
public:
    explicit RepairingProfile(IProfile& profile) : profile_(profile) {}

    KeyValue Read(const char* key) {
        const auto written = written_.find(key);
        if (written != written_.end()) return {true, written->second};
        KeyValue value{false, {}};
        value.present = profile_.Read(key, value.text);
        if (!value.present) value.text.clear();
        return value;
    }

    void Write(const char* key, const std::string& value) {
        if (!profile_.Write(key, value)) writeFailed_ = true;
        written_[key] = value;
    }

    bool WriteFailed() const { return writeFailed_; }

private:
    IProfile& profile_;
    std::map<std::string, std::string> written_;
    bool writeFailed_ = false;
};

}  // namespace

std::int32_t ParseProfileInt(const std::string& text, std::int32_t defaultValue) {
    const char* first = text.data();
    const char* last = first + text.size();
    while (first != last && IsBlank(*first)) ++first;
    while (last != first && IsBlank(last[-1])) --last;
    if (first == last) return defaultValue;

    std::uint64_t value = 0;
    const auto length = static_cast<std::size_t>(last - first);
    if (*first == '$' || (length >= 2 && first[0] == '0' && (first[1] == 'x' || first[1] == 'X'))) {
        first += *first == '$' ? 1 : 2;
        if (!ParseDigits(first, last, 16, kMaxUint32, value)) return defaultValue;
        return FromBits(static_cast<std::uint32_t>(value));
    }

    const bool negative = *first == '-';
    if (*first == '-' || *first == '+') ++first;
    if (!ParseDigits(first, last, 10, negative ? kMaxInt32 + 1 : kMaxInt32, value)) {
        return defaultValue;
    }
    const auto magnitude = static_cast<std::uint32_t>(value);
    return negative ? FromBits(0u - magnitude) : static_cast<std::int32_t>(magnitude);
}

std::int32_t WrapAdd(std::int32_t a, std::int32_t b) {
    return FromBits(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

BooleanKeyCheck CheckBooleanKey(bool present, const std::string& text, std::int32_t repairValue) {
    const std::int32_t value = ParseProfileInt(present ? text : std::string(), repairValue);
    const bool needsRepair = !present || value < 0 || value > 1;
    return {needsRepair, (needsRepair ? repairValue : value) != 0};
}

Geometry DefaultGeometry(std::int32_t screenWidth, std::int32_t screenHeight) {
    return DefaultPlace({screenWidth, screenHeight}, ScaleScreen(screenWidth, 25),
                        ScaleScreen(screenHeight, 35));
}

Geometry DefaultPlace(ScreenSize screen, std::int32_t width, std::int32_t height) {
    return {WrapSub(screen.width, width), WrapSub(WrapSub(screen.height, height), kTaskbarMargin),
            width, height};
}

bool MeetsAnyArea(const Geometry& window, const std::vector<Rect>& areas) {
    // In 64 bits: a stored place near the 32-bit limits must not wrap onto the screen.
    const std::int64_t left = window.left, top = window.top;
    const std::int64_t right = left + window.width, bottom = top + window.height;
    for (const Rect& area : areas)
        if (left < area.right && area.left < right && top < area.bottom && area.top < bottom)
            return true;
    return false;
}

GeometryCheck CheckGeometryKey(GeometryKey key, const KeyValue& own, const KeyValue& partner,
                               const Geometry& current, ScreenSize screen) {
    const Geometry place = DefaultPlace(screen, current.width, current.height);
    const std::int32_t defaultLeft = place.left;
    const std::int32_t defaultTop = place.top;
    const std::string& text = TextOf(own);

    switch (key) {
        case GeometryKey::Height: {
            const std::int32_t height = ParseProfileInt(text, ScaleScreen(screen.height, 35));
            const std::int32_t top = ParseProfileInt(TextOf(partner), defaultTop);
            const bool fits = WrapAdd(height, top) <= WrapSub(screen.height, kTaskbarMargin);
            return {own.present && fits, height};
        }
        case GeometryKey::Left: {
            const std::int32_t left = ParseProfileInt(text, defaultLeft);
            return {own.present && left <= screen.width, left};
        }
        case GeometryKey::Top: {
            const std::int32_t top = ParseProfileInt(text, defaultTop);
            return {own.present && top <= screen.height, top};
        }
        case GeometryKey::Width: {
            const std::int32_t defaultWidth = ScaleScreen(screen.width, 25);
            const std::int32_t width = ParseProfileInt(text, defaultWidth);
            const std::int32_t left = ParseProfileInt(TextOf(partner), defaultLeft);
            const bool fits = WrapAdd(width, left) <= screen.width;
            // A width that is not a number passes the test as the default width, yet is applied
            // 28 pixels narrower.
            return {own.present && fits,
                    ParseProfileInt(text, WrapSub(defaultWidth, kTaskbarMargin))};
        }
    }
    return {false, 0};
}

namespace {

void PlaceAtDefault(RepairingProfile& file, IWindowPlacement& window) {
    window.DefaultSizePosition();
    // Written from what the window took, which may differ from what was asked for.
    const Geometry placed = window.Current();
    file.Write(kKeyHeight, std::to_string(placed.height));
    file.Write(kKeyLeft, std::to_string(placed.left));
    file.Write(kKeyTop, std::to_string(placed.top));
    file.Write(kKeyWidth, std::to_string(placed.width));
}

}  // namespace

LoadedSettings LoadSettings(IProfile& profile, IWindowPlacement& window, ScreenSize screen,
                            const std::vector<Rect>& workAreas) {
    RepairingProfile file(profile);
    LoadedSettings loaded;

    for (const SettingKey& key : kSettingKeys) {
        const KeyValue own = file.Read(key.name);
        if (key.flag != nullptr) {
            const BooleanKeyCheck check = CheckBooleanKey(own.present, own.text, key.repairValue);
            if (check.needsRepair) file.Write(key.name, std::to_string(key.repairValue));
            loaded.options.*key.flag = check.value;
            continue;
        }

        const char* partnerName = PartnerKey(key.geometry);
        const KeyValue partner = partnerName ? file.Read(partnerName) : KeyValue{false, {}};
        const GeometryCheck check =
            CheckGeometryKey(key.geometry, own, partner, window.Current(), screen);
        if (check.valid)
            ApplyGeometry(window, key.geometry, check.value);
        else
            PlaceAtDefault(file, window);
    }
    if (!MeetsAnyArea(window.Current(), workAreas)) PlaceAtDefault(file, window);

    const KeyValue hotKey = file.Read(kKeyHotKey);
    if (!hotKey.present) file.Write(kKeyHotKey, kDefaultHotKey);
    loaded.options.hotKey = hotKey.present ? hotKey.text : kDefaultHotKey;

    loaded.writeFailed = file.WriteFailed();
    return loaded;
}

bool SaveSettings(IProfile& profile, const OptionFlags& options, const Geometry& window) {
    bool allWritten = true;
    for (const SettingKey& key : kSettingKeys) {
        const std::string value = key.flag != nullptr
                                      ? (options.*key.flag ? "1" : "0")
                                      : std::to_string(GeometryValue(window, key.geometry));
        if (!profile.Write(key.name, value)) allWritten = false;
    }
    if (!profile.Write(kKeyHotKey, options.hotKey)) allWritten = false;
    return allWritten;
}

std::string ProperCasePath(const std::string& path, const CaseConverter& toLower,
                           const CaseConverter& toUpper) {
    static constexpr char kProductWord[] = "briskjot";
    constexpr std::size_t kWordLength = sizeof kProductWord - 1;

    std::string result = path;
    const std::size_t length = result.size();
    if (length == 0) return result;
    toLower(&result[0], length);
    toUpper(&result[0], 1);

    // 0-based: the first character is never looked at, so the second is never raised by a
    // separator before it.
    for (std::size_t i = 1; i < length; ++i) {
        if ((result[i] == '\\' || result[i] == ' ') && i + 1 < length) toUpper(&result[i + 1], 1);
        // The word counts only with something after it, so "...\briskjot" stays as it is.
        if (i + kWordLength < length) {
            char word[kWordLength];
            std::memcpy(word, &result[i], kWordLength);
            toLower(word, kWordLength);
            if (std::memcmp(word, kProductWord, kWordLength) == 0) toUpper(&result[i + 5], 1);
        }
    }
    return result;
}

std::string RunValueText(const std::string& properCasedPath) {
    if (properCasedPath.find(' ') == std::string::npos) return properCasedPath;
    return '"' + properCasedPath + '"';
}

}  // namespace bj
