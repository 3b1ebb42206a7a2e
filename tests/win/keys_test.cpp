// The memo's own keys, the time stamp, printing and the search hot key on the
// real main window.
#include <windows.h>
// After windows.h, which it needs.
#include <dlgs.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/formmain.h"
#include "app/globals.h"
#include "framework/shell.h"
#include "tests/win/harness.h"

namespace {

using harness::Program;

constexpr char kAutoSaveOff[] = "AutoSave Memo=0\r\n";

void HoldKeys(std::initializer_list<BYTE> keys) {
    BYTE state[256] = {};
    for (const BYTE key : keys) state[key] = 0x80;
    if (state[VK_CONTROL]) state[VK_LCONTROL] = 0x80;
    if (state[VK_SHIFT]) state[VK_LSHIFT] = 0x80;
    SetKeyboardState(state);
}

LPARAM KeyData(UINT vk, bool repeated) {
    const auto scan = static_cast<LPARAM>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)) << 16;
    return scan | 1 | (repeated ? LPARAM(1) << 30 : 0);
}

// A key-down straight to the memo, as the keyboard's auto-repeat sends it.
void KeyDown(HWND memo, UINT vk, bool repeated = false) {
    SendMessageA(memo, WM_KEYDOWN, vk, KeyData(vk, repeated));
    harness::Pump();
}

// A whole press through the queue, so TranslateMessage makes its character.
void Press(HWND memo, UINT vk, std::initializer_list<BYTE> modifiers = {}) {
    std::vector<BYTE> held(modifiers);
    held.push_back(static_cast<BYTE>(vk));
    BYTE state[256] = {};
    for (const BYTE key : held) state[key] = 0x80;
    SetKeyboardState(state);
    PostMessageA(memo, WM_KEYDOWN, vk, KeyData(vk, false));
    harness::Pump();
    state[vk] = 0;
    SetKeyboardState(state);
    PostMessageA(memo, WM_KEYUP, vk, KeyData(vk, true) | (LPARAM(1) << 31));
    harness::Pump();
    HoldKeys({});
}

void Type(TFormMain& form, const std::string& text) {
    form.Memo1->ReplaceSel(text, true);
    harness::Pump();
}

// Written here from the locale's own parts, as the user would read them off the clock.
std::string StampAt(const SYSTEMTIME& time) {
    char date[80] = {};
    EXPECT_GT(
        GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, sizeof date), 0);
    char separator[8] = {};
    EXPECT_GT(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIME, separator, sizeof separator), 0);
    char clock[32];
    std::snprintf(clock, sizeof clock, "%02u%s%02u", time.wHour, separator, time.wMinute);
    return std::string(date) + ", " + clock + "\r\n";
}

std::string StampNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return StampAt(now);
}

struct ShellCall {
    HWND owner;
    std::string verb, file;
    int show;
};

class KeysTest : public ::testing::Test {
protected:
    void SetUp() override {
        harness::RemoveFile(harness::NotePath());
        fw::SetShellExecuteHook([this](HWND owner, const std::string& verb, const std::string& file,
                                       int show) -> INT_PTR {
            shellCalls_.push_back({owner, verb, file, show});
            return 42;
        });
    }
    void TearDown() override {
        fw::SetShellExecuteHook(nullptr);
        HoldKeys({});
        harness::RemoveFile(harness::NotePath());
    }
    std::vector<ShellCall> shellCalls_;
};

TEST_F(KeysTest, HeldCtrlSSavesOnEveryRepeatWithAutoSaveOff) {
    Program program(true, kAutoSaveOff);
    TFormMain& form = program.Main();
    ASSERT_FALSE(form.PopUpAutoSave.Checked());
    HWND memo = form.Memo1->Handle();

    HoldKeys({VK_CONTROL, 'S'});
    for (const char* more : {"one", " two", " three"}) {
        SCOPED_TRACE(more);
        Type(form, more);
        ASSERT_FALSE(TextSaved);
        ASSERT_NE(harness::ReadFile(harness::NotePath()), form.Memo1->Text());
        KeyDown(memo, 'S', /*repeated=*/true);
        EXPECT_EQ(harness::ReadFile(harness::NotePath()), form.Memo1->Text());
        EXPECT_TRUE(TextSaved);
        EXPECT_FALSE(form.MenuSave.Enabled());
        EXPECT_EQ(form.TrayIcon1->ImageIndex(), 1);
    }
    EXPECT_EQ(form.Memo1->Text(), "one two three") << "the keys typed nothing";
}

TEST_F(KeysTest, SaveAndSelectAllFollowTheHeldKeysNotTheEventKey) {
    struct Row {
        const char* name;
        std::initializer_list<BYTE> held;
        UINT eventKey;
        bool saves, selectsAll;
    };
    const Row rows[] = {
        {"Ctrl+S", {VK_CONTROL, 'S'}, 'S', true, false},
        {"Ctrl pressed while S is held", {VK_CONTROL, 'S'}, VK_CONTROL, true, false},
        {"another key while Ctrl+S is held", {VK_CONTROL, 'S', VK_SHIFT}, VK_SHIFT, true, false},
        {"S alone", {'S'}, 'S', false, false},
        {"Ctrl alone", {VK_CONTROL}, VK_CONTROL, false, false},
        {"Ctrl pressed while A is held", {VK_CONTROL, 'A'}, VK_CONTROL, false, true},
        {"A alone", {'A'}, 'A', false, false},
        {"Ctrl, A and S held", {VK_CONTROL, 'A', 'S'}, VK_CONTROL, true, true},
    };
    Program program(true, kAutoSaveOff);
    TFormMain& form = program.Main();
    HWND memo = form.Memo1->Handle();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        HoldKeys({});
        form.Memo1->SelectAll();
        Type(form, "alpha beta gamma");
        form.Memo1->SetSel(2, 4);
        harness::WriteFile(harness::NotePath(), "old");
        ASSERT_FALSE(TextSaved);

        HoldKeys(row.held);
        KeyDown(memo, row.eventKey);
        HoldKeys({});
        EXPECT_EQ(harness::ReadFile(harness::NotePath()), row.saves ? "alpha beta gamma" : "old");
        EXPECT_EQ(TextSaved, row.saves);
        EXPECT_EQ(form.Memo1->SelStart(), row.selectsAll ? 0 : 2);
        EXPECT_EQ(form.Memo1->SelLength(), row.selectsAll ? 16 : 2);
    }
}

TEST_F(KeysTest, F5PutsTheStampInPlaceOfTheSelectionBeyondUndo) {
    const struct {
        const char* name;
        std::initializer_list<BYTE> modifiers;
    } rows[] = {{"F5", {}}, {"Shift+F5", {VK_SHIFT}}, {"Ctrl+F5", {VK_CONTROL}}};
    Program program;  // AutoSave on
    TFormMain& form = program.Main();
    ASSERT_TRUE(form.PopUpAutoSave.Checked());
    ASSERT_TRUE(FormActivated);
    HWND memo = form.Memo1->Handle();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        form.Memo1->SetText("");
        Type(form, "before [old] after");
        ASSERT_TRUE(SendMessageA(memo, EM_CANUNDO, 0, 0)) << "typing can be undone";
        form.Memo1->SetSel(7, 12);

        const std::string earlier = StampNow();
        Press(memo, VK_F5, row.modifiers);
        const std::string later = StampNow();

        const std::string text = form.Memo1->Text();
        const std::string withEarlier = "before " + earlier + " after";
        const std::string withLater = "before " + later + " after";
        EXPECT_TRUE(text == withEarlier || text == withLater) << text << " / " << withEarlier;
        EXPECT_EQ(form.Memo1->SelStart(), static_cast<int>(text.size() - 6)) << "caret after it";
        EXPECT_FALSE(SendMessageA(memo, EM_CANUNDO, 0, 0));
        EXPECT_EQ(harness::ReadFile(harness::NotePath()), text) << "AutoSave wrote it";
        EXPECT_TRUE(TextSaved);
    }
}

class PrintTest : public KeysTest {
protected:
    void Print(TFormMain& form) {
        SendMessageA(form.Handle(), WM_COMMAND, cmd::PopUpPrint, 0);
        harness::Pump();
    }
};

TEST_F(PrintTest, UnsavedTextIsRefusedAndOnlyYesPrintsTheSavedFile) {
    Program program(true, kAutoSaveOff);
    TFormMain& form = program.Main();
    Type(form, "to paper");
    ASSERT_EQ(form.TrayIcon1->ImageIndex(), 2);
    {
        harness::MessageBoxScript boxes;
        boxes.Answer(IDOK);
        Print(form);
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].caption, "BriskJot - File Not Saved");
        EXPECT_EQ(boxes.Shown()[0].text,
                  "To proceed with printing the file must be saved first. \nSave the file and "
                  "try to print again.");
        EXPECT_EQ(boxes.Shown()[0].flags, UINT(MB_OK | MB_ICONEXCLAMATION));
    }
    EXPECT_TRUE(shellCalls_.empty());

    form.MenuSave.Click();
    ASSERT_EQ(harness::ReadFile(harness::NotePath()), "to paper");
    for (const int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer == IDYES ? "Yes" : "No");
        shellCalls_.clear();
        harness::MessageBoxScript boxes;
        boxes.Answer(answer);
        Print(form);
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].caption, "BriskJot - Confirm Print");
        EXPECT_EQ(boxes.Shown()[0].flags, UINT(MB_YESNO | MB_ICONASTERISK));
        if (answer == IDNO) {
            EXPECT_TRUE(shellCalls_.empty());
            continue;
        }
        ASSERT_EQ(shellCalls_.size(), 1u);
        EXPECT_EQ(shellCalls_[0].owner, form.Handle());
        EXPECT_EQ(shellCalls_[0].verb, "print");
        EXPECT_EQ(shellCalls_[0].file, NoteFilePath);
        EXPECT_EQ(shellCalls_[0].show, SW_SHOWMINIMIZED);
    }
    EXPECT_EQ(NoteFilePath, harness::NotePath());
}

TEST_F(PrintTest, AFileHeldWithoutSharingIsReportedBeforeAnyQuestion) {
    harness::WriteFile(harness::NotePath(), "held");
    Program program;
    TFormMain& form = program.Main();
    ASSERT_EQ(form.Memo1->Text(), "held");
    HANDLE lock = CreateFileA(harness::NotePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(FileIsLocked(NoteFilePath));
    {
        harness::MessageBoxScript boxes;
        boxes.Answer(IDOK);
        Print(form);
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].caption, "BriskJot - Print Error");
        EXPECT_EQ(boxes.Shown()[0].text,
                  "Cannot print.\n\nCheck that the file is not locked for access by other "
                  "application. ");
        EXPECT_EQ(boxes.Shown()[0].flags, UINT(MB_OK | MB_ICONHAND));
    }
    CloseHandle(lock);
    EXPECT_TRUE(shellCalls_.empty());
    EXPECT_FALSE(FileIsLocked(NoteFilePath));
    EXPECT_FALSE(FileIsLocked(harness::ExeFolder() + "no such note.txt"));
}

class FindKeyTest : public KeysTest {
protected:
    static std::string DialogText(HWND dialog) {
        char text[64] = {};
        GetDlgItemTextA(dialog, edt1, text, sizeof text);
        return text;
    }
};

TEST_F(FindKeyTest, CtrlFOpensFindOnlyWhenThereIsTextAndTypesNothing) {
    Program program;
    TFormMain& form = program.Main();
    HWND memo = form.Memo1->Handle();
    ASSERT_TRUE(form.Memo1->Empty());
    EXPECT_EQ(form.MemoSearch1->SearchKey, 0);
    Press(memo, 'F', {VK_CONTROL});
    harness::Pump(50);
    EXPECT_EQ(form.MemoSearch1->DialogHandle(), nullptr) << "nothing to search";
    EXPECT_TRUE(form.Memo1->Empty());

    Type(form, "a note to find");
    EXPECT_EQ(form.MemoSearch1->SearchKey, 16454);
    form.Memo1->SetSel(2, 6);
    Press(memo, 'F', {VK_CONTROL});
    ASSERT_TRUE(harness::WaitFor([&] { return form.MemoSearch1->DialogHandle() != nullptr; }));
    HWND dialog = form.MemoSearch1->DialogHandle();
    EXPECT_EQ(DialogText(dialog), "note");
    EXPECT_EQ(form.Memo1->Text(), "a note to find") << "no control character went in";
    EXPECT_EQ(harness::ReadFile(harness::NotePath()), "a note to find");

    // Emptying the memo by a real key closes the dialog and switches the Find items off.
    form.Memo1->SetText("x");
    form.Memo1->SetSel(1, 1);
    harness::Pump();
    ASSERT_TRUE(IsWindow(dialog));
    Press(memo, VK_BACK);
    EXPECT_TRUE(form.Memo1->Empty());
    EXPECT_TRUE(harness::WaitFor([&] { return !IsWindow(dialog); }));
    EXPECT_FALSE(form.PopUpFindReplace.Enabled());
    EXPECT_FALSE(form.PopUpPrint.Enabled());
    EXPECT_EQ(form.MemoSearch1->SearchKey, 0);
}

}  // namespace
