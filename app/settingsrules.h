#pragma once
// Rules of the settings file and the Run value that need no window: parsing, validation and
// repair of the ten keys, their load and save order, and the letter case of the Run path.
// The Win32 side supplies the profile file and the main window through the interfaces below.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace bj {

constexpr const char kSettingsFileName[] = "BriskJot.ini";
constexpr const char kSettingsSection[] = "Settings";

constexpr const char kKeyAutoSaveMemo[] = "AutoSave Memo";
constexpr const char kKeyHeight[] = "Height";
constexpr const char kKeyHotKey[] = "Hot Key";
constexpr const char kKeyLeft[] = "Left";
constexpr const char kKeyShowOnStartUp[] = "Show On StartUp";
constexpr const char kKeyStartWithWindows[] = "Start With Windows";
constexpr const char kKeyTop[] = "Top";
constexpr const char kKeyWarningOnClearClipboard[] = "Warning On Clear Clipboard";
constexpr const char kKeyWarningOnClearMemo[] = "Warning On ClearMemo";
constexpr const char kKeyWidth[] = "Width";

constexpr const char kDefaultHotKey[] = "Ctrl+Alt+J";

// Pixels kept free above the bottom of the screen for the taskbar.
constexpr std::int32_t kTaskbarMargin = 28;

// Decimal with an optional sign, or hexadecimal after "0x", "0X" or "$" (no sign, read as a 32-bit
// pattern, so "$FFFFFFFF" is -1); blanks around the number are allowed; anything else, including
// values beyond 32 bits, gives defaultValue.
std::int32_t ParseProfileInt(const std::string& text, std::int32_t defaultValue);

// a + b in 32-bit two's complement, wrapping instead of overflowing.
std::int32_t WrapAdd(std::int32_t a, std::int32_t b);

struct BooleanKeyCheck {
    bool needsRepair;  // write the repair value back
    bool value;        // the check mark to show
};

// A Boolean key outside 0 and 1 (or missing) is repaired; text that is not a number reads as the
// repair value and is left alone in the file.
BooleanKeyCheck CheckBooleanKey(bool present, const std::string& text, std::int32_t repairValue);

struct Geometry {
    std::int32_t left;
    std::int32_t top;
    std::int32_t width;
    std::int32_t height;
};

struct ScreenSize {
    std::int32_t width;
    std::int32_t height;
};

inline bool operator==(const Geometry& a, const Geometry& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

// Bottom-right corner just above the taskbar. Left and top here assume the window takes exactly
// this size; the window itself recomputes them with DefaultPlace from the size it actually took.
Geometry DefaultGeometry(std::int32_t screenWidth, std::int32_t screenHeight);
Geometry DefaultPlace(ScreenSize screen, std::int32_t width, std::int32_t height);

// Right and bottom are outside, as in a Windows RECT.
struct Rect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

// Whether the window shares at least one pixel with one of the areas (the monitors' work areas):
// a window that does not is lost to the user.
bool MeetsAnyArea(const Geometry& window, const std::vector<Rect>& areas);

enum class GeometryKey { Height, Left, Top, Width };

struct KeyValue {
    bool present;
    std::string text;
};

struct GeometryCheck {
    bool valid;
    std::int32_t value;  // to apply when valid
};

// Tests one geometry key. `partner` is the other key the test adds in: "Top" for "Height", "Left"
// for "Width"; it is ignored for the other two. `current` is the window as it is now.
GeometryCheck CheckGeometryKey(GeometryKey key, const KeyValue& own, const KeyValue& partner,
                               const Geometry& current, ScreenSize screen);

// The settings file, one section. Keys are matched without regard to letter case.
class IProfile {
public:
    virtual ~IProfile() = default;
    // False when the key is missing; a key with an empty value is present.
    virtual bool Read(const std::string& key, std::string& text) = 0;
    // False when the file could not be written.
    virtual bool Write(const std::string& key, const std::string& value) = 0;
};

// The main window as the settings see it.
class IWindowPlacement {
public:
    virtual ~IWindowPlacement() = default;
    virtual Geometry Current() const = 0;
    virtual void SetLeft(std::int32_t left) = 0;
    virtual void SetTop(std::int32_t top) = 0;
    virtual void SetWidth(std::int32_t width) = 0;
    virtual void SetHeight(std::int32_t height) = 0;
    // Hides the window, gives it the default size and place, shows it.
    virtual void DefaultSizePosition() = 0;
};

struct OptionFlags {
    bool autoSaveMemo = false;
    bool showOnStartUp = true;
    bool startWithWindows = true;
    bool warningOnClearClipboard = true;
    bool warningOnClearMemo = true;
    // As written in the file: text that names no key is kept, and gives no hot key.
    std::string hotKey = kDefaultHotKey;
};

struct LoadedSettings {
    OptionFlags options;
    bool writeFailed = false;  // some repair could not be written; the repaired values still hold
};

// Reads, repairs and applies the keys in file order; a window that then meets none of the work
// areas (its monitor gone) is repaired as a damaged place is. The hot key, added last, is only
// written when missing. A repair that cannot be written does not
// stop the load: later keys see the repaired values all the same.
LoadedSettings LoadSettings(IProfile& profile, IWindowPlacement& window, ScreenSize screen,
                            const std::vector<Rect>& workAreas);

// Writes all ten keys in file order; false when any write failed (the others are still tried).
bool SaveSettings(IProfile& profile, const OptionFlags& options, const Geometry& window);

// Converts `count` characters in place, like CharLowerBuffA / CharUpperBuffA.
using CaseConverter = std::function<void(char* first, std::size_t count)>;

// The executable's path in the letter case kept in the Run value: lower case, with capitals at the
// start, after each backslash or blank, and in the product name ("BriskJot") when text follows it.
std::string ProperCasePath(const std::string& path, const CaseConverter& toLower,
                           const CaseConverter& toUpper);

// Data of the Run value: a path with a blank is quoted, or the shell would split it at the blank.
std::string RunValueText(const std::string& properCasedPath);

}  // namespace bj
