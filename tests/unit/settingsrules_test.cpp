#include "app/settingsrules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using bj::Geometry;
using bj::GeometryKey;
using bj::KeyValue;
using bj::OptionFlags;
using Writes = std::vector<std::pair<std::string, std::string>>;
using Values = std::map<std::string, std::string>;

constexpr bj::ScreenSize kScreen{1024, 768};
constexpr Geometry kDefault{615, 521, 409, 219};

// Tuples so that a failure prints the values.
auto Tie(const Geometry& g) {
    return std::make_tuple(g.left, g.top, g.width, g.height);
}
auto Tie(const OptionFlags& o) {
    return std::make_tuple(o.autoSaveMemo, o.showOnStartUp, o.startWithWindows,
                           o.warningOnClearClipboard, o.warningOnClearMemo);
}

struct FakeProfile : bj::IProfile {
    explicit FakeProfile(Values values, bool writesFail = false)
        : values(std::move(values)), writesFail(writesFail) {}
    bool Read(const std::string& key, std::string& text) override {
        const auto found = values.find(key);
        if (found != values.end()) text = found->second;
        return found != values.end();
    }
    bool Write(const std::string& key, const std::string& value) override {
        writes.emplace_back(key, value);
        if (!writesFail) values[key] = value;
        return !writesFail;
    }
    Values values;
    bool writesFail;
    Writes writes;
};

// Like the main window, the default place follows the size actually taken, which a maximum width
// can make smaller than the one asked for.
struct FakeWindow : bj::IWindowPlacement {
    FakeWindow(Geometry start, std::int32_t maxWidth = INT_MAX) : g(start), maxWidth(maxWidth) {}
    Geometry Current() const override { return g; }
    void SetLeft(std::int32_t left) override { g.left = left; }
    void SetTop(std::int32_t top) override { g.top = top; }
    void SetWidth(std::int32_t width) override { g.width = std::min(width, maxWidth); }
    void SetHeight(std::int32_t height) override { g.height = height; }
    void DefaultSizePosition() override {
        ++defaultCalls;
        const Geometry wanted = bj::DefaultGeometry(kScreen.width, kScreen.height);
        SetHeight(wanted.height);
        SetWidth(wanted.width);
        SetLeft(kScreen.width - g.width);
        SetTop(kScreen.height - g.height - bj::kTaskbarMargin);
    }
    Geometry g;
    std::int32_t maxWidth;
    int defaultCalls = 0;
};

TEST(SettingsRules, ParseProfileInt) {
    // clang-format off
    const struct {
        const char* text;
        std::int32_t expected;
    } rows[] = {
        {"0x1F", 31}, {"0X1f", 31}, {"$1F", 31}, {"-5", -5}, {"+5", 5}, {" 7\t", 7},
        {"", 42}, {"abc", 42}, {"12abc", 42}, {"1 2", 42}, {"-", 42}, {"$", 42}, {"0x", 42},
        {"-0x5", 42}, {"2147483647", INT_MAX}, {"2147483648", 42}, {"-2147483648", INT_MIN},
        {"-2147483649", 42}, {"99999999999999999999999", 42}, {"$FFFFFFFF", -1},
        {"0x80000000", INT_MIN}, {"0x100000000", 42}, {"0x0000000000000001", 1}};
    // clang-format on
    for (const auto& row : rows) {
        EXPECT_EQ(row.expected, bj::ParseProfileInt(row.text, 42)) << '"' << row.text << '"';
    }
}

TEST(SettingsRules, DefaultGeometryAndGeometryKeys) {
    EXPECT_EQ(Tie(kDefault), Tie(bj::DefaultGeometry(1024, 768)));
    EXPECT_EQ(Tie(Geometry{1152, 744, 768, 308}), Tie(bj::DefaultGeometry(1920, 1080)));

    const KeyValue none{false, ""};
    auto key = [](const char* text) { return KeyValue{true, text}; };
    const Geometry fresh{1000000, 0, 300, 200};  // defaults: left 724, top 540
    const struct {
        GeometryKey key;
        KeyValue own, partner;
        Geometry current;
        bool valid;
        std::int32_t value;
    } rows[] = {
        {GeometryKey::Height, key("219"), key("521"), kDefault, true, 219},
        {GeometryKey::Height, key(""), key("$209"), kDefault, true, 219},
        {GeometryKey::Height, key("219"), none, fresh, false, 219},
        {GeometryKey::Height, key("200"), none, fresh, true, 200},
        {GeometryKey::Height, key("2147483647"), key("1"), kDefault, true, INT_MAX},
        {GeometryKey::Height, key("2147483647"), key("0"), kDefault, false, INT_MAX},
        {GeometryKey::Height, key("-2147483648"), key("-1"), kDefault, false, INT_MIN},
        {GeometryKey::Left, key("1025"), none, kDefault, false, 1025},
        {GeometryKey::Left, key("abc"), none, fresh, true, 724},
        {GeometryKey::Top, key("768"), none, kDefault, true, 768},
        {GeometryKey::Top, key("769"), none, kDefault, false, 769},
        {GeometryKey::Top, key("x"), none, fresh, true, 540},
        {GeometryKey::Width, key("300"), key("-50"), kDefault, true, 300},
        {GeometryKey::Width, key("1"), key("1024"), kDefault, false, 1},
        {GeometryKey::Width, key("abc"), key("615"), kDefault, true, 381},
        {GeometryKey::Width, key("abc"), key("616"), kDefault, false, 381},
        {GeometryKey::Width, key("$7FFFFFFF"), key("1"), kDefault, true, INT_MAX},
        {GeometryKey::Width, key("409"), none, fresh, false, 409},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const auto& row = rows[i];
        const auto check =
            bj::CheckGeometryKey(row.key, row.own, row.partner, row.current, kScreen);
        EXPECT_EQ(std::make_pair(row.valid, row.value), std::make_pair(check.valid, check.value))
            << "row " << i;
    }
}

TEST(SettingsRules, LoadRepairsAndPlacesInFileOrder) {
    // clang-format off
    const Writes firstRun = {
        {"AutoSave Memo", "0"}, {"Height", "219"}, {"Left", "615"}, {"Top", "521"},
        {"Width", "409"}, {"Show On StartUp", "1"}, {"Start With Windows", "1"},
        {"Warning On Clear Clipboard", "1"}, {"Warning On ClearMemo", "1"}};
    // clang-format on
    Writes narrowFirstRun = firstRun;
    narrowFirstRun[2].second = "624";
    narrowFirstRun[4].second = "400";
    const Writes defaults = {{"Height", "219"}, {"Left", "615"}, {"Top", "521"}, {"Width", "409"}};
    const OptionFlags repaired{false, true, true, true, true};
    const OptionFlags stored{true, false, false, true, false};
    auto file = [](const char* height, const char* left, const char* top, const char* width) {
        // clang-format off
        return Values{
            {"AutoSave Memo", "1"}, {"Show On StartUp", "0"}, {"Start With Windows", "0"},
            {"Warning On Clear Clipboard", "1"}, {"Warning On ClearMemo", "0"},
            {"Height", height}, {"Left", left}, {"Top", top}, {"Width", width}};
        // clang-format on
    };
    Values badBooleans = file("219", "615", "521", "409");
    badBooleans["AutoSave Memo"] = "2";
    badBooleans["Show On StartUp"] = "-1";
    badBooleans["Start With Windows"] = "x";  // not a number: read as the repair value, kept
    badBooleans["Warning On Clear Clipboard"] = "$FFFFFFFF";

    // clang-format off
    const struct {
        const char* label;
        Values file;
        bool writesFail;
        std::int32_t maxWidth;
        Writes writes;
        Geometry placed;
        int defaultCalls;
        OptionFlags options;
    } rows[] = {
        {"first run", {}, false, INT_MAX, firstRun, kDefault, 1, repaired},
        // Later keys must see the repairs even when the file refuses them.
        {"first run, unwritable", {}, true, INT_MAX, firstRun, kDefault, 1, repaired},
        {"narrower than asked", {}, false, 400, narrowFirstRun, {624, 521, 400, 219}, 1, repaired},
        {"hex", file("0xDB", "$267", "0X209", "409"), false, INT_MAX, {}, kDefault, 0, stored},
        {"too tall", file("300", "10", "500", "100"), false, INT_MAX, defaults, kDefault, 1, stored},
        {"left of the screen", file("219", "-50", "521", "300"), false, INT_MAX, {},
         {-50, 521, 300, 219}, 0, stored},
        {"left at the edge", file("219", "1024", "521", "100"), false, INT_MAX, defaults, kDefault,
         1, stored},
        {"width not a number", file("219", "615", "521", "wide"), false, INT_MAX, {},
         {615, 521, 381, 219}, 0, stored},
        {"bad booleans", badBooleans, false, INT_MAX,
         {{"AutoSave Memo", "0"}, {"Show On StartUp", "1"}, {"Warning On Clear Clipboard", "1"}},
         kDefault, 0, {false, true, true, true, false}},
    };
    // clang-format on
    for (const auto& row : rows) {
        FakeProfile profile(row.file, row.writesFail);
        FakeWindow window({1000000, 0, 300, 200}, row.maxWidth);
        const bj::LoadedSettings loaded = bj::LoadSettings(profile, window, kScreen);
        EXPECT_EQ(row.writes, profile.writes) << row.label;
        EXPECT_EQ(Tie(row.placed), Tie(window.Current())) << row.label;
        EXPECT_EQ(row.defaultCalls, window.defaultCalls) << row.label;
        EXPECT_EQ(row.writesFail, loaded.writeFailed) << row.label;
        EXPECT_EQ(Tie(row.options), Tie(loaded.options)) << row.label;
    }
}

TEST(SettingsRules, SaveWritesAllKeysAndLoadsBack) {
    const OptionFlags options{true, false, true, false, true};
    const Geometry geometry{-5, 300, 500, 200};
    // clang-format off
    const Writes expected = {
        {"AutoSave Memo", "1"}, {"Height", "200"}, {"Left", "-5"}, {"Show On StartUp", "0"},
        {"Start With Windows", "1"}, {"Top", "300"}, {"Warning On Clear Clipboard", "0"},
        {"Warning On ClearMemo", "1"}, {"Width", "500"}};
    // clang-format on
    FakeProfile refusing({}, true);
    EXPECT_FALSE(bj::SaveSettings(refusing, options, geometry));
    EXPECT_EQ(expected, refusing.writes);

    FakeProfile profile({});
    ASSERT_TRUE(bj::SaveSettings(profile, options, geometry));
    EXPECT_EQ(expected, profile.writes);

    FakeProfile reread(profile.values);
    FakeWindow window({0, 0, 10, 10});
    EXPECT_EQ(Tie(options), Tie(bj::LoadSettings(reread, window, kScreen).options));
    EXPECT_EQ(Tie(geometry), Tie(window.Current()));
    EXPECT_TRUE(reread.writes.empty());
}

// Adds `by` to every byte in [first, last], as CharLowerBuffA / CharUpperBuffA do to letters.
bj::CaseConverter Shift(char first, char last, int by) {
    return [=](char* text, std::size_t count) {
        for (char* c = text; c != text + count; ++c)
            if (*c >= first && *c <= last) *c = static_cast<char>(*c + by);
    };
}

TEST(SettingsRules, ProperCasePathAndRunValue) {
    const auto lower = Shift('A', 'Z', 32), upper = Shift('a', 'z', -32);
    // clang-format off
    const struct {
        const char *path, *expected;
    } rows[] = {
        {"", ""}, {"c:\\briskjot", "C:\\Briskjot"}, {"c:\\briskjot2", "C:\\BriskJot2"},
        {"C:\\PROGRAM FILES\\NOTES\\BRISKJOT.EXE", "C:\\Program Files\\Notes\\BriskJot.exe"},
        {"c:\\x\\", "C:\\X\\"}, {"a ", "A "}, {"\\abc", "\\abc"},
        {"\\\\server\\share", "\\\\Server\\Share"}, {"briskjot.exe", "Briskjot.exe"},
        {"xbriskjotx", "XbriskJotx"}};
    // clang-format on
    for (const auto& row : rows)
        EXPECT_EQ(row.expected, bj::ProperCasePath(row.path, lower, upper)) << row.path;

    // Letters beyond ASCII follow the converters given, as the system's ANSI rules would.
    const auto latinLower = [&](char* text, std::size_t count) {
        lower(text, count);
        Shift('\xC9', '\xC9', 0x20)(text, count);
    };
    const auto latinUpper = [&](char* text, std::size_t count) {
        upper(text, count);
        Shift('\xE9', '\xE9', -0x20)(text, count);
    };
    EXPECT_EQ("\xC9t\xE9\\\xC9t", bj::ProperCasePath("\xC9T\xC9\\\xE9t", latinLower, latinUpper));

    EXPECT_EQ("C:\\Tools\\BriskJot.exe", bj::RunValueText("C:\\Tools\\BriskJot.exe"));
    EXPECT_EQ("\"C:\\A B\\BriskJot.exe\"", bj::RunValueText("C:\\A B\\BriskJot.exe"));
}

}  // namespace
