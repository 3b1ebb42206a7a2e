// The INI integer parser against a reference reading, and the whole settings load over a
// profile made from the input.
// Input: screen width and height (2 bytes each), a flag byte (bit 0: writes fail), the window's
// left, top, width and height (2 bytes each, signed), then "key=value" lines.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

#include "app/settingsrules.h"
#include "fuzz/fuzzcheck.h"

namespace {

bool IsDecimal(char c) {
    return c >= '0' && c <= '9';
}

bool IsHex(char c) {
    return IsDecimal(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The same rules read another way: trim, pick the base, check the digits, let strtoull judge
// the size once leading zeros are gone.
bool ReferenceParse(const std::string& text, std::int32_t& value) {
    const std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return false;
    std::string s = text.substr(begin, text.find_last_not_of(" \t") + 1 - begin);
    const bool hex = s[0] == '$' || (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X'));
    bool negative = false;
    if (hex) {
        s.erase(0, s[0] == '$' ? 1 : 2);
    } else if (s[0] == '-' || s[0] == '+') {
        negative = s[0] == '-';
        s.erase(0, 1);
    }
    if (s.empty()) return false;
    if (!std::all_of(s.begin(), s.end(), hex ? IsHex : IsDecimal)) return false;
    const std::size_t nonZero = s.find_first_not_of('0');
    s = nonZero == std::string::npos ? "0" : s.substr(nonZero);
    if (s.size() > (hex ? 8u : 10u)) return false;
    const unsigned long long magnitude = std::strtoull(s.c_str(), nullptr, hex ? 16 : 10);
    if (hex) {
        const auto bits = static_cast<std::uint32_t>(magnitude);
        value = bits > 0x7FFFFFFFu ? -static_cast<std::int32_t>(0xFFFFFFFFu - bits) - 1
                                   : static_cast<std::int32_t>(bits);
        return true;
    }
    if (magnitude > (negative ? 2147483648ull : 2147483647ull)) return false;
    const long long signedValue =
        negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
    value = static_cast<std::int32_t>(signedValue);
    return true;
}

void CheckParse(const std::string& text) {
    constexpr std::int32_t kDefaultA = 7;
    constexpr std::int32_t kDefaultB = -3;
    const std::int32_t a = bj::ParseProfileInt(text, kDefaultA);
    const std::int32_t b = bj::ParseProfileInt(text, kDefaultB);
    std::int32_t expected = 0;
    if (ReferenceParse(text, expected)) {
        FUZZ_CHECK(a == expected && b == expected);
    } else {
        FUZZ_CHECK(a == kDefaultA && b == kDefaultB);
    }
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return text;
}

class FakeProfile : public bj::IProfile {
public:
    explicit FakeProfile(bool writesFail) : writesFail_(writesFail) {}

    // Like the system's reader: blanks around the key go, the first of two equal keys wins.
    void AddLine(const std::string& line) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) return;
        std::string key = line.substr(0, equals);
        const std::size_t begin = key.find_first_not_of(" \t");
        if (begin == std::string::npos) return;
        key = key.substr(begin, key.find_last_not_of(" \t") + 1 - begin);
        values_.emplace(Lower(key), line.substr(equals + 1));
    }

    bool Read(const std::string& key, std::string& text) override {
        const auto found = values_.find(Lower(key));
        if (found == values_.end()) return false;
        text = found->second;
        return true;
    }
    bool Write(const std::string& key, const std::string& value) override {
        writes_.push_back(key);
        if (writesFail_) return false;
        values_[Lower(key)] = value;
        return true;
    }

    std::vector<std::string> writes_;

private:
    bool writesFail_;
    std::map<std::string, std::string> values_;
};

class FakeWindow : public bj::IWindowPlacement {
public:
    FakeWindow(bj::Geometry geometry, bj::ScreenSize screen)
        : geometry_(geometry), screen_(screen) {}
    bj::Geometry Current() const override { return geometry_; }
    void SetLeft(std::int32_t left) override { geometry_.left = left; }
    void SetTop(std::int32_t top) override { geometry_.top = top; }
    void SetWidth(std::int32_t width) override { geometry_.width = width; }
    void SetHeight(std::int32_t height) override { geometry_.height = height; }
    void DefaultSizePosition() override {
        geometry_ = bj::DefaultGeometry(screen_.width, screen_.height);
    }

private:
    bj::Geometry geometry_;
    bj::ScreenSize screen_;
};

std::int32_t Signed16(const std::uint8_t* at) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(at[0] | at[1] << 8));
}

struct BooleanKey {
    const char* name;
    bool bj::OptionFlags::*flag;
    std::int32_t repairValue;
};

constexpr BooleanKey kBooleanKeys[] = {
    {bj::kKeyAutoSaveMemo, &bj::OptionFlags::autoSaveMemo, 0},
    {bj::kKeyShowOnStartUp, &bj::OptionFlags::showOnStartUp, 1},
    {bj::kKeyStartWithWindows, &bj::OptionFlags::startWithWindows, 1},
    {bj::kKeyWarningOnClearClipboard, &bj::OptionFlags::warningOnClearClipboard, 1},
    {bj::kKeyWarningOnClearMemo, &bj::OptionFlags::warningOnClearMemo, 1},
};

constexpr const char* kAllKeys[] = {
    bj::kKeyAutoSaveMemo,
    bj::kKeyHeight,
    bj::kKeyLeft,
    bj::kKeyShowOnStartUp,
    bj::kKeyStartWithWindows,
    bj::kKeyTop,
    bj::kKeyWarningOnClearClipboard,
    bj::kKeyWarningOnClearMemo,
    bj::kKeyWidth,
    bj::kKeyHotKey,
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kHeader = 13;
    if (size < kHeader) {
        CheckParse(std::string(reinterpret_cast<const char*>(data), size));
        return 0;
    }
    const bj::ScreenSize screen{data[0] | data[1] << 8, data[2] | data[3] << 8};
    const bool writesFail = (data[4] & 1) != 0;
    const bj::Geometry start{Signed16(data + 5), Signed16(data + 7), Signed16(data + 9),
                             Signed16(data + 11)};
    const std::string text(reinterpret_cast<const char*>(data + kHeader), size - kHeader);

    FakeProfile profile(writesFail);
    std::size_t lineStart = 0;
    while (lineStart <= text.size()) {
        std::size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string::npos) lineEnd = text.size();
        const std::string line = text.substr(lineStart, lineEnd - lineStart);
        CheckParse(line.substr(line.find('=') == std::string::npos ? 0 : line.find('=') + 1));
        profile.AddLine(line);
        lineStart = lineEnd + 1;
    }

    FakeWindow window(start, screen);
    const std::vector<bj::Rect> workAreas{{0, 0, screen.width, screen.height - bj::kTaskbarMargin}};
    const bj::LoadedSettings loaded = bj::LoadSettings(profile, window, screen, workAreas);
    // Never lost: on any screen big enough to hold the default window, it is reachable.
    FUZZ_CHECK(bj::MeetsAnyArea(window.Current(), workAreas) || screen.width < 3 ||
               screen.height < 64);
    FUZZ_CHECK(loaded.writeFailed == (writesFail && !profile.writes_.empty()));
    if (writesFail) return 0;

    for (const char* key : kAllKeys) {
        std::string value;
        FUZZ_CHECK(profile.Read(key, value));  // a missing key is always written back
    }
    for (const BooleanKey& key : kBooleanKeys) {
        std::string value;
        profile.Read(key.name, value);
        // What is left in the file must read back as the check mark that was shown.
        const std::int32_t read = bj::ParseProfileInt(value, key.repairValue);
        FUZZ_CHECK(read == 0 || read == 1);
        FUZZ_CHECK(loaded.options.*key.flag == (read != 0));
    }

    // Once repaired, the Boolean keys need no second repair.
    profile.writes_.clear();
    FakeWindow again(window.Current(), screen);
    const bj::LoadedSettings reloaded = bj::LoadSettings(profile, again, screen, workAreas);
    for (const std::string& written : profile.writes_) {
        for (const BooleanKey& key : kBooleanKeys) FUZZ_CHECK(written != key.name);
    }
    FUZZ_CHECK(reloaded.options.autoSaveMemo == loaded.options.autoSaveMemo);
    FUZZ_CHECK(reloaded.options.showOnStartUp == loaded.options.showOnStartUp);
    FUZZ_CHECK(reloaded.options.startWithWindows == loaded.options.startWithWindows);
    FUZZ_CHECK(reloaded.options.warningOnClearClipboard == loaded.options.warningOnClearClipboard);
    FUZZ_CHECK(reloaded.options.warningOnClearMemo == loaded.options.warningOnClearMemo);
    FUZZ_CHECK(reloaded.options.hotKey == loaded.options.hotKey);
    return 0;
}
