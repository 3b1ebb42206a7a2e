// Clear Memo and the clipboard guard on the real main window.
#include <gtest/gtest.h>

#include <thread>

#include "app/commands.h"
#include "app/formmain.h"
#include "app/globals.h"
#include "tests/win/harness.h"

namespace {

using harness::Program;

void Command(TFormMain& form, unsigned id) {
    // Through the window, as a menu choice arrives: a silent abort ends there.
    SendMessageA(form.Handle(), WM_COMMAND, id, 0);
    harness::Pump();
}

bool GuardedItemsEnabled(TFormMain& form) {
    return form.PopUpHomeSite.Enabled() && form.PopUpExit.Enabled();
}

class ClearTest : public ::testing::Test {
protected:
    void SetUp() override { harness::WriteFile(harness::NotePath(), "secret\r\nnote"); }
    void TearDown() override {
        harness::RemoveFile(harness::NotePath());
    }
};

TEST_F(ClearTest, YesClearsMemoAndFileForGoodWithTheItemsGuarded) {
    Program program;
    TFormMain& form = program.Main();
    form.PopUpAutoSaveClick();  // AutoSave off: the file is still written
    harness::MessageBoxScript boxes;
    bool guardedWhileAsking = false;
    boxes.OnShow = [&] { guardedWhileAsking = !form.PopUpHomeSite.Enabled() && !form.PopUpExit.Enabled(); };
    boxes.Answer(IDYES);
    Command(form, cmd::MenuClearMemo);

    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].caption, "BriskJot - Warning On ClearMemo");
    EXPECT_EQ(boxes.Shown()[0].flags, UINT(MB_YESNO | MB_ICONEXCLAMATION));
    EXPECT_TRUE(guardedWhileAsking);
    EXPECT_TRUE(GuardedItemsEnabled(form));
    EXPECT_EQ(form.Memo1->Text(), "");
    EXPECT_EQ(harness::ReadFile(harness::NotePath()), "");
    EXPECT_FALSE(form.MenuSave.Enabled());
    EXPECT_FALSE(form.MenuClearMemo.Enabled());
    EXPECT_FALSE(form.PopUpFindReplace.Enabled());
    EXPECT_EQ(form.TrayIcon1->ImageIndex(), 0);
    EXPECT_FALSE(SendMessageA(form.Memo1->Handle(), EM_CANUNDO, 0, 0))
        << "undo cannot bring the text back";

    harness::MessageBoxScript none;  // nothing unsaved: Exit asks nothing
    form.PopUpExit.Click();
}

TEST_F(ClearTest, NoLeavesEverythingAndWithoutTheWarningNothingIsAsked) {
    Program program;
    TFormMain& form = program.Main();
    {
        harness::MessageBoxScript boxes;
        boxes.Answer(IDNO);
        Command(form, cmd::MenuClearMemo);
        EXPECT_EQ(form.Memo1->Text(), "secret\r\nnote");
        EXPECT_EQ(harness::ReadFile(harness::NotePath()), "secret\r\nnote");
        EXPECT_TRUE(GuardedItemsEnabled(form));
    }
    form.PopUpWarningOnClearMemo.SetChecked(false);
    harness::MessageBoxScript none;
    Command(form, cmd::MenuClearMemo);
    EXPECT_EQ(form.Memo1->Text(), "");
    EXPECT_EQ(harness::ReadFile(harness::NotePath()), "");
}

TEST_F(ClearTest, AFailedCommitKeepsTheMemoClearedAndSaysSo) {
    Program program;
    TFormMain& form = program.Main();
    form.PopUpAutoSaveClick();
    form.PopUpWarningOnClearMemo.SetChecked(false);
    // A folder in the way of the temporary file makes the commit fail for real.
    const std::string blocker = harness::NotePath() + ".tmp";
    ASSERT_TRUE(CreateDirectoryA(blocker.c_str(), nullptr));
    harness::MessageBoxScript boxes;
    boxes.Answer(IDOK);
    Command(form, cmd::MenuClearMemo);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].caption, "BriskJot - Note On ClearMemo");
    EXPECT_EQ(form.Memo1->Text(), "");
    EXPECT_EQ(harness::ReadFile(harness::NotePath()), "secret\r\nnote");
    EXPECT_TRUE(form.MenuSave.Enabled()) << "the empty text can still be saved";
    EXPECT_TRUE(GuardedItemsEnabled(form));
    RemoveDirectoryA(blocker.c_str());
}

void PutTextOnClipboard(TFormMain& form, const char* text) {
    HWND owner = form.Handle();
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
    memcpy(GlobalLock(memory), text, strlen(text) + 1);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
    // The clear commands are offered once the timer has seen the clipboard.
    ASSERT_TRUE(harness::WaitFor([&] { return form.PopUpClearClipboard.Enabled(); }));
}

TEST(ClipboardTest, TheClearItemsFollowTheClipboard) {
    Program program;
    TFormMain& form = program.Main();
    PutTextOnClipboard(form, "copied");
    EXPECT_TRUE(harness::WaitFor([&] {
        return form.PopUpClearClipboard.Enabled() && form.MenuClearClipboard.Enabled();
    }));
    ASSERT_TRUE(OpenClipboard(form.Handle()));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_TRUE(harness::WaitFor([&] {
        return !form.PopUpClearClipboard.Enabled() && !form.MenuClearClipboard.Enabled();
    }));
    // Find and Print follow the memo on the same tick, whatever disabled them.
    form.PopUpFindReplace.SetEnabled(false);
    form.Memo1->SetText("text");
    EXPECT_TRUE(harness::WaitFor([&] { return form.PopUpFindReplace.Enabled(); }));
}

TEST(ClipboardTest, ClearingEmptiesPausesWithTheWarningAndClosesViewers) {
    Program program;
    TFormMain& form = program.Main();
    for (const bool warn : {true, false}) {
        form.PopUpWarningOnClearClipboard.SetChecked(warn);
        PutTextOnClipboard(form, "secret");
        HWND viewer = CreateWindowExA(0, "STATIC", "Clipbook Viewer", WS_POPUP, 0, 0, 1, 1,
                                      nullptr, nullptr, nullptr, nullptr);
        harness::MessageBoxScript boxes;
        if (warn) boxes.Answer(IDYES);
        const DWORD start = GetTickCount();
        Command(form, cmd::PopUpClearClipboard);
        const DWORD took = GetTickCount() - start;
        EXPECT_EQ(CountClipboardFormats(), 0);
        EXPECT_FALSE(IsWindow(viewer));
        EXPECT_EQ(boxes.Shown().size(), warn ? 1u : 0u);
        // A lower bound only: the pause is there or not, however busy the machine.
        if (warn) {
            EXPECT_GE(took, 900u);
        }
        EXPECT_TRUE(GuardedItemsEnabled(form));
    }

    // No keeps the clipboard but still closes the viewers.
    form.PopUpWarningOnClearClipboard.SetChecked(true);
    PutTextOnClipboard(form, "kept");
    HWND viewer = CreateWindowExA(0, "STATIC", "Clipboard Viewer", WS_POPUP, 0, 0, 1, 1, nullptr,
                                  nullptr, nullptr, nullptr);
    harness::MessageBoxScript boxes;
    boxes.Answer(IDNO);
    Command(form, cmd::MenuClearClipboard);
    EXPECT_NE(CountClipboardFormats(), 0);
    EXPECT_FALSE(IsWindow(viewer));
}

TEST(ClipboardTest, AClipboardHeldOpenElsewhereEndsTheCommandSilently) {
    Program program;
    TFormMain& form = program.Main();
    form.PopUpWarningOnClearClipboard.SetChecked(false);
    PutTextOnClipboard(form, "held");
    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                     nullptr, nullptr);
        OpenClipboard(owner);
        SetEvent(opened);
        WaitForSingleObject(release, 10000);
        CloseClipboard();
        DestroyWindow(owner);
    });
    WaitForSingleObject(opened, 10000);
    HWND viewer = CreateWindowExA(0, "STATIC", "Clipboard Viewer", WS_POPUP, 0, 0, 1, 1, nullptr,
                                  nullptr, nullptr, nullptr);
    harness::MessageBoxScript none;
    Command(form, cmd::PopUpClearClipboard);
    SetEvent(release);
    holder.join();
    CloseHandle(opened);
    CloseHandle(release);
    EXPECT_NE(CountClipboardFormats(), 0) << "the clipboard keeps its content";
    EXPECT_TRUE(IsWindow(viewer)) << "viewers are left alone";
    DestroyWindow(viewer);
    EXPECT_TRUE(GuardedItemsEnabled(form));
}

}  // namespace
