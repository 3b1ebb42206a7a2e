// Unicode notes from outside: characters typed as Unicode input reach the file and come back
// after a restart; notes in every encoding load as their text and keep their bytes on a save.
#include <gtest/gtest.h>

#include <string>

#include "app/commands.h"
#include "tests/e2e/driver.h"

namespace {

using driver::Process;
using driver::Sandbox;

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

std::string Hex(const std::u16string& text) {
    std::string out;
    for (const char16_t c : text) out += std::to_string(c) + " ";
    return out;
}

// Each unit as its own Unicode key press, surrogate halves included, as an IME sends them.
void TypeUnicode(HWND window, const std::u16string& text) {
    SetForegroundWindow(window);
    for (const char16_t unit : text) {
        INPUT inputs[2] = {};
        for (int i = 0; i < 2; ++i) {
            inputs[i].type = INPUT_KEYBOARD;
            inputs[i].ki.wScan = unit;
            inputs[i].ki.dwFlags = KEYEVENTF_UNICODE | (i ? KEYEVENTF_KEYUP : 0);
        }
        SendInput(2, inputs, sizeof(INPUT));
    }
}

std::string Ansi(const std::u16string& text, BOOL* usedDefault) {
    std::string bytes(text.size() * 2 + 1, '\0');
    bytes.resize(WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS,
                                     reinterpret_cast<LPCWSTR>(text.data()),
                                     static_cast<int>(text.size()), bytes.data(),
                                     static_cast<int>(bytes.size()), nullptr, usedDefault));
    return bytes;
}

// Accented letters of the prefix's ANSI code page, each followed by a dash: single high bytes
// before ASCII are never UTF-8, so the note can only be read as ANSI.
std::u16string AccentedLettersOfTheCodePage() {
    std::u16string text;
    for (int byte = 0xC0; byte <= 0xFF && text.size() < 8; ++byte) {
        const char b = static_cast<char>(byte);
        WCHAR c = 0;
        if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &b, 1, &c, 1) != 1) continue;
        BOOL usedDefault = FALSE;
        const std::u16string letter(1, static_cast<char16_t>(c));
        if (IsCharAlphaW(c) && Ansi(letter, &usedDefault) == std::string(1, b) && !usedDefault)
            text += letter + u"-";
    }
    return text;
}

TEST(Unicode, TypedCharactersAreSavedAsUtf8AndComeBackAfterARestart) {
    Sandbox sandbox;
    sandbox.WriteSettings(testfiles::kAutoSaveOn);
    // An arrow, two ideographs and an emoji: the emoji fits no ANSI code page.
    const std::u16string typed = u"a\u2192\u4E2D\u6587\U0001F600";
    BOOL usedDefault = FALSE;
    Ansi(typed, &usedDefault);
    ASSERT_TRUE(usedDefault) << "the prefix's code page holds every typed character";
    const std::string expected =
        std::string(kUtf8Mark) + "a\xE2\x86\x92\xE4\xB8\xAD\xE6\x96\x87\xF0\x9F\x98\x80";
    {
        Process program(sandbox.Exe());
        HWND window = program.MainWindow();
        ASSERT_TRUE(window);
        ASSERT_TRUE(driver::MemoInFront(window, program.Memo()));
        TypeUnicode(window, typed);
        EXPECT_TRUE(driver::WaitFor([&] { return driver::ReadFile(sandbox.Note()) == expected; }))
            << driver::ReadFile(sandbox.Note());
        driver::Command(window, cmd::PopUpExit);
        ASSERT_EQ(program.WaitExit(), 0);
    }
    Process again(sandbox.Exe());
    ASSERT_TRUE(again.MainWindow());
    EXPECT_EQ(Hex(driver::WindowTextW(again.Memo())), Hex(typed));
}

TEST(Unicode, NotesInEveryEncodingLoadAsTheirTextAndAKeystrokeKeepsTheirBytes) {
    const std::u16string accented = AccentedLettersOfTheCodePage();
    ASSERT_GE(accented.size(), 4u) << "no accented letters in code page " << GetACP();
    BOOL usedDefault = FALSE;
    const std::string ansi = Ansi(accented + u"\r\n", &usedDefault);
    const struct {
        const char* name;
        std::string bytes;
        std::u16string text;
        std::string typedZ;  // what one more "z" adds to the file
    } rows[] = {
        {"ANSI", ansi, accented + u"\r\n", "z"},
        {"UTF-8 with its mark", std::string(kUtf8Mark) + "caf\xC3\xA9 \xE2\x86\x92\r\n",
         u"caf\u00E9 \u2192\r\n", "z"},
        {"UTF-8", "caf\xC3\xA9\n\xE4\xB8\xAD", u"caf\u00E9\r\n\u4E2D", "z"},
        {"UTF-16 LE", std::string("\xFF\xFE\xE9\0\x92\x21\r\0\n\0", 10), u"\u00E9\u2192\r\n",
         std::string("z\0", 2)},
        {"UTF-16 BE", std::string("\xFE\xFF\0\xE9\x21\x92", 6), u"\u00E9\u2192",
         std::string("\0z", 2)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Sandbox sandbox;
        sandbox.WriteSettings(testfiles::kAutoSaveOn);
        driver::WriteFile(sandbox.Note(), row.bytes);
        Process program(sandbox.Exe());
        HWND window = program.MainWindow();
        ASSERT_TRUE(window);
        HWND memo = program.Memo();
        EXPECT_EQ(Hex(driver::WindowTextW(memo)), Hex(row.text));
        ASSERT_TRUE(driver::MemoInFront(window, memo));
        SendMessageW(memo, EM_SETSEL, row.text.size(), row.text.size());
        driver::TypeKeys(window, "z");
        // Line breaks were CR LF already, so the file gains the key and nothing else.
        const std::string lf = std::string(row.name) == "UTF-8" ? "\r" : "";
        std::string expected = row.bytes + row.typedZ;
        if (!lf.empty()) expected.insert(expected.find('\n'), lf);
        EXPECT_TRUE(driver::WaitFor([&] { return driver::ReadFile(sandbox.Note()) == expected; }))
            << driver::ReadFile(sandbox.Note());
    }
}

}  // namespace
