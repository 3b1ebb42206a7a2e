// The memo's own keys, the time stamp, printing and the search hot key on the real main window.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/formmain.h"
#include "app/globals.h"
#include "framework/shell.h"
#include "tests/win/harness.h"

namespace {

constexpr char kAutoSaveOff[] = "AutoSave Memo=0\r\n";

using harness::HoldKeys;
using harness::KeyData;
using harness::Press;
using harness::Type;

// Built here from the locale's own parts, as the user would read them off the clock.
std::string StampNow() {
    SYSTEMTIME time;
    GetLocalTime(&time);
    char date[80] = {}, separator[8] = {}, clock[32];
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, sizeof date);
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIME, separator, sizeof separator);
    std::snprintf(clock, sizeof clock, "%02u%s%02u", time.wHour, separator, time.wMinute);
    return std::string(date) + ", " + clock + "\r\n";
}

class KeysTest : public ::testing::Test {
protected:
    void SetUp() override { harness::RemoveFile(harness::NotePath()); }
    void TearDown() override {
        fw::SetShellExecuteHook(nullptr);
        HoldKeys({});
        harness::RemoveFile(harness::NotePath());
    }
};

TEST_F(KeysTest, SaveSelectAllAndPrintFollowTheKeysAndTheSavedStateWithAutoSaveOff) {
    const struct {
        const char* name;
        std::vector<BYTE> held;
        UINT eventKey;
        bool saves, selectsAll;
    } rows[] = {
        {"Ctrl+S", {VK_CONTROL, 'S'}, 'S', true, false},
        {"S alone", {'S'}, 'S', false, false},
        {"Ctrl, A and S held", {VK_CONTROL, 'A', 'S'}, VK_CONTROL, true, true},
    };
    harness::Program program(true, kAutoSaveOff);
    TFormMain& form = program.Main();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        form.Memo1->SelectAll();
        Type(form, "alpha beta gamma");
        form.Memo1->SetSel(2, 4);
        harness::WriteFile(harness::NotePath(), "old");
        ASSERT_FALSE(TextSaved);

        HoldKeys(row.held);
        SendMessageA(form.Memo1->Handle(), WM_KEYDOWN, row.eventKey, KeyData(row.eventKey, false));
        harness::Pump();
        HoldKeys({});
        EXPECT_EQ(harness::ReadFile(harness::NotePath()), row.saves ? "alpha beta gamma" : "old");
        EXPECT_EQ(TextSaved, row.saves);
        EXPECT_EQ(form.Memo1->SelStart(), row.selectsAll ? 0 : 2);
        EXPECT_EQ(form.Memo1->SelLength(), row.selectsAll ? 16 : 2);
    }

    // Printing: only a saved, unlocked note is offered, and only Yes prints the file.
    std::vector<std::string> shellCalls;
    fw::SetShellExecuteHook([&](HWND, const std::string& verb, const std::string& file, int) {
        shellCalls.push_back(verb + "|" + file);
        return INT_PTR(42);
    });
    // The captions of the boxes the print command shows.
    const auto print = [&](int answer) {
        harness::MessageBoxScript boxes;
        boxes.Answer(answer);
        harness::Command(form, cmd::PopUpPrint);
        std::string shown;
        for (const harness::ShownBox& box : boxes.Shown()) shown += box.caption + ";";
        return shown;
    };
    const std::string confirm = "BriskJot - Confirm Print;";
    form.Memo1->SelectAll();
    Type(form, "to paper");
    EXPECT_EQ(print(IDOK), "BriskJot - File Not Saved;");

    form.MenuSave.Click();
    ASSERT_EQ(harness::ReadFile(harness::NotePath()), "to paper");
    HANDLE lock = CreateFileA(harness::NotePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_EQ(print(IDOK), "BriskJot - Print Error;");
    CloseHandle(lock);
    EXPECT_EQ(print(IDNO), confirm);

    EXPECT_EQ(print(IDYES), confirm);
    EXPECT_EQ(shellCalls, std::vector<std::string>{"print|" + harness::NotePath()});
}

TEST_F(KeysTest, F5StampsBeyondUndoAndCtrlFOpensFindOnlyWhenThereIsText) {
    harness::Program program;  // AutoSave on
    TFormMain& form = program.Main();
    HWND memo = form.Memo1->Handle();
    ASSERT_TRUE(form.Memo1->Empty());
    Press(memo, 'F', {VK_CONTROL});
    harness::Pump(50);
    EXPECT_EQ(form.MemoSearch1->DialogHandle(), nullptr) << "nothing to search";
    EXPECT_TRUE(form.Memo1->Empty());

    Type(form, "before [old] after");
    ASSERT_TRUE(SendMessageA(memo, EM_CANUNDO, 0, 0)) << "typing can be undone";
    form.Memo1->SetSel(7, 12);
    const std::string earlier = StampNow();
    Press(memo, VK_F5);
    const std::string later = StampNow();
    const std::string text = form.Memo1->Text();
    EXPECT_TRUE(text == "before " + earlier + " after" || text == "before " + later + " after")
        << text << " / " << earlier;
    EXPECT_EQ(form.Memo1->SelStart(), static_cast<int>(text.size() - 6)) << "caret after it";
    EXPECT_FALSE(SendMessageA(memo, EM_CANUNDO, 0, 0));
    EXPECT_EQ(harness::ReadFile(harness::NotePath()), text) << "AutoSave wrote it";

    Press(memo, 'F', {VK_CONTROL});
    ASSERT_TRUE(harness::WaitFor([&] { return form.MemoSearch1->DialogHandle() != nullptr; }));
    HWND dialog = form.MemoSearch1->DialogHandle();
    EXPECT_EQ(harness::ReadFile(harness::NotePath()), text) << "no control character";

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
