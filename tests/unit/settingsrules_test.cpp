#include "app/settingsrules.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace {

using bj::Geometry;
using bj::GeometryKey;
using bj::KeyValue;
using bj::OptionFlags;
using Values = std::map<std::string, std::string>;

constexpr bj::ScreenSize kScreen{1024, 768};
constexpr Geometry kDefault{615, 521, 409, 219};
const std::vector<bj::Rect> kWorkArea{{0, 0, 1024, 740}};

// Tuples so that a failure prints the values.
auto Tie(const Geometry& g) {
    return std::make_tuple(g.left, g.top, g.width, g.height);
}
auto Tie(const OptionFlags& o) {
    return std::make_tuple(o.autoSaveMemo, o.showOnStartUp, o.startWithWindows,
                           o.warningOnClearClipboard, o.warningOnClearMemo);
}

// Writes are logged in order as "key=value;" so a row can spell them out.
struct FakeProfile : bj::IProfile {
    FakeProfile(Values values, bool writesFail = false) : values(values), writesFail(writesFail) {}
    bool Read(const std::string& key, std::string& text) override {
        const auto found = values.find(key);
        if (found != values.end()) text = found->second;
        return found != values.end();
    }
    bool Write(const std::string& key, const std::string& value) override {
        writes += key + "=" + value + ";";
        if (!writesFail) values[key] = value;
        return !writesFail;
    }
    Values values;
    bool writesFail;
    std::string writes;
};

struct FakeWindow : bj::IWindowPlacement {
    explicit FakeWindow(Geometry start) : g(start) {}
    Geometry Current() const override { return g; }
    void SetLeft(std::int32_t left) override { g.left = left; }
    void SetTop(std::int32_t top) override { g.top = top; }
    void SetWidth(std::int32_t width) override { g.width = width; }
    void SetHeight(std::int32_t height) override { g.height = height; }
    void DefaultSizePosition() override { g = bj::DefaultGeometry(kScreen.width, kScreen.height); }
    Geometry g;
};

TEST(SettingsRules, DefaultGeometryAndGeometryKeys) {
    // ParseProfileInt itself is left to the fuzz replay, which checks it against a reference.
    EXPECT_EQ(Tie(kDefault), Tie(bj::DefaultGeometry(1024, 768)));
    EXPECT_EQ(Tie(Geometry{1152, 744, 768, 308}), Tie(bj::DefaultGeometry(1920, 1080)));

    const KeyValue none{false, ""};
    auto key = [](const char* text) { return KeyValue{true, text}; };
    const struct {
        GeometryKey key;
        KeyValue own, partner;
        Geometry current;
        bool valid;
        std::int32_t value;
    } rows[] = {
        // clang-format off
        {GeometryKey::Height, key(""), key("$209"), kDefault, true, 219},
        {GeometryKey::Height, key("2147483647"), key("1"), kDefault, true, INT_MAX},
        {GeometryKey::Height, key("-2147483648"), key("-1"), kDefault, false, INT_MIN},
        {GeometryKey::Width, key("abc"), key("616"), kDefault, false, 381},
        {GeometryKey::Width, key("$7FFFFFFF"), key("1"), kDefault, true, INT_MAX},
        {GeometryKey::Width, key("409"), none, {1000000, 0, 300, 200}, false, 409},
        // clang-format on
    };
    for (const auto& row : rows) {
        const auto check =
            bj::CheckGeometryKey(row.key, row.own, row.partner, row.current, kScreen);
        EXPECT_EQ(std::make_pair(row.valid, row.value), std::make_pair(check.valid, check.value))
            << row.own.text;
    }
}

TEST(SettingsRules, AWindowIsLostOnlyWhenItMeetsNoWorkArea) {
    // A primary monitor and one to its left, a little higher.
    const std::vector<bj::Rect> areas{{0, 0, 1024, 740}, {-1280, -200, 0, 824}};
    const struct {
        Geometry window;
        bool meets;
    } rows[] = {
        {{-50, 521, 300, 219}, true},          // partly visible
        {{-1500, 900, 300, 200}, false},       // below the left monitor
        {{1024, 0, 300, 200}, false},          // touching the right edge only
        {{1023, 739, 300, 200}, true},         // one pixel in the corner
        {{-1000, -190, 100, 50}, true},        // on the left monitor
        {{INT_MAX - 10, 0, 100, 100}, false},  // would wrap onto the screen in 32 bits
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.meets, bj::MeetsAnyArea(row.window, areas)) << row.window.left;
}

TEST(SettingsRules, LoadRepairsAndPlacesInFileOrder) {
    const std::string firstRun =
        "AutoSave Memo=0;Height=219;Left=615;Top=521;Width=409;Show On StartUp=1;"
        "Start With Windows=1;Warning On Clear Clipboard=1;Warning On ClearMemo=1;"
        "Hot Key=Ctrl+Alt+J;";
    const OptionFlags repaired{false, true, true, true, true};
    const OptionFlags stored{true, false, false, true, false};
    // clang-format off
    auto file = [](const char* height, const char* left, const char* top, const char* width) {
        return Values{{"AutoSave Memo", "1"}, {"Show On StartUp", "0"}, {"Start With Windows", "0"},
                      {"Warning On Clear Clipboard", "1"}, {"Warning On ClearMemo", "0"},
                      {"Height", height}, {"Left", left}, {"Top", top}, {"Width", width},
                      {"Hot Key", ""}};
    };
    // clang-format on
    const struct {
        Values file;
        bool writesFail;
        std::string writes;
        Geometry placed;
        OptionFlags options;
    } rows[] = {
        // clang-format off
        {{}, false, firstRun, kDefault, repaired},
        // Later keys must see the repairs even when the file refuses them.
        {{}, true, firstRun, kDefault, repaired},
        {file("300", "10", "500", "100"), false, "Height=219;Left=615;Top=521;Width=409;",
         kDefault, stored},
        {file("219", "-50", "521", "300"), false, "", {-50, 521, 300, 219}, stored},
        // Valid by the key rules, yet on a monitor that is gone.
        {file("219", "-2000", "521", "300"), false, "Height=219;Left=615;Top=521;Width=409;",
         kDefault, stored},
        // clang-format on
    };
    for (const auto& row : rows) {
        FakeProfile profile(row.file, row.writesFail);
        FakeWindow window({1000000, 0, 300, 200});
        const bj::LoadedSettings loaded = bj::LoadSettings(profile, window, kScreen, kWorkArea);
        EXPECT_EQ(row.writes, profile.writes);
        EXPECT_EQ(Tie(row.placed), Tie(window.Current())) << row.writes;
        EXPECT_EQ(row.writesFail, loaded.writeFailed) << row.writes;
        EXPECT_EQ(Tie(row.options), Tie(loaded.options)) << row.writes;
        EXPECT_EQ(row.file.empty() ? "Ctrl+Alt+J" : "", loaded.options.hotKey) << row.writes;
    }
}

TEST(SettingsRules, SaveWritesAllKeysAndLoadsBack) {
    const OptionFlags options{true, false, true, false, true, "Alt+F2"};
    const Geometry geometry{-5, 300, 500, 200};
    FakeProfile refusing({}, true);
    EXPECT_FALSE(bj::SaveSettings(refusing, options, geometry));
    FakeProfile profile({});
    ASSERT_TRUE(bj::SaveSettings(profile, options, geometry));
    EXPECT_EQ(refusing.writes, profile.writes) << "a refused key must not stop the others";

    FakeProfile reread(profile.values);
    FakeWindow window({0, 0, 10, 10});
    const OptionFlags loaded = bj::LoadSettings(reread, window, kScreen, kWorkArea).options;
    EXPECT_EQ(Tie(options), Tie(loaded));
    EXPECT_EQ(options.hotKey, loaded.hotKey);
    EXPECT_EQ(Tie(geometry), Tie(window.Current()));
    EXPECT_EQ(reread.writes, "");
}

}  // namespace
