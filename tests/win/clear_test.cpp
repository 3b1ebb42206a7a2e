// Clear Memo and the clipboard guard on the real main window.
#include <gtest/gtest.h>

#include "app/commands.h"
#include "app/formmain.h"
#include "app/globals.h"
#include "tests/win/harness.h"

namespace {

using harness::NotePath;
using harness::Program;
using harness::ReadFile;

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
    void SetUp() override { harness::WriteFile(NotePath(), "secret\r\nnote"); }
    void TearDown() override { harness::RemoveFile(NotePath()); }
};

TEST_F(ClearTest, ClearsMemoAndFileForGoodOnlyWhenAllowed) {
    const struct {
        const char* name;
        bool warn;
        int answer;  // 0: nothing is asked
        bool cleared;
    } rows[] = {
        {"Yes", true, IDYES, true}, {"No", true, IDNO, false}, {"no warning", false, 0, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        harness::WriteFile(NotePath(), "secret\r\nnote");
        Program program;
        TFormMain& form = program.Main();
        form.PopUpAutoSaveClick();  // AutoSave off: the file is still written
        form.PopUpWarningOnClearMemo.SetChecked(row.warn);
        harness::MessageBoxScript boxes;
        bool guardedWhileAsking = false;
        boxes.OnShow = [&] {
            guardedWhileAsking = !form.PopUpHomeSite.Enabled() && !form.PopUpExit.Enabled();
        };
        if (row.answer) boxes.Answer(row.answer);
        Command(form, cmd::MenuClearMemo);

        ASSERT_EQ(boxes.Shown().size(), row.answer ? 1u : 0u);
        if (row.answer) {
            EXPECT_EQ(boxes.Shown()[0].caption, "BriskJot - Warning On ClearMemo");
            EXPECT_EQ(boxes.Shown()[0].flags, UINT(MB_YESNO | MB_ICONEXCLAMATION));
            EXPECT_TRUE(guardedWhileAsking);
        }
        EXPECT_TRUE(GuardedItemsEnabled(form));
        const std::string left = row.cleared ? "" : "secret\r\nnote";
        EXPECT_EQ(form.Memo1->Text(), left);
        EXPECT_EQ(ReadFile(NotePath()), left);
        if (!row.cleared) continue;
        EXPECT_FALSE(form.MenuSave.Enabled());
        EXPECT_FALSE(form.MenuClearMemo.Enabled());
        EXPECT_FALSE(form.PopUpFindReplace.Enabled());
        EXPECT_EQ(form.TrayIcon1->ImageIndex(), 0);
        EXPECT_FALSE(SendMessageA(form.Memo1->Handle(), EM_CANUNDO, 0, 0))
            << "undo cannot bring the text back";
        harness::MessageBoxScript none;  // nothing unsaved: Exit asks nothing
        form.PopUpExit.Click();
    }
}

TEST_F(ClearTest, AFailedCommitKeepsTheMemoClearedAndSaysSo) {
    Program program;
    TFormMain& form = program.Main();
    form.PopUpAutoSaveClick();
    form.PopUpWarningOnClearMemo.SetChecked(false);
    // A folder in the way of the temporary file makes the commit fail for real.
    const std::string blocker = NotePath() + ".tmp";
    ASSERT_TRUE(CreateDirectoryA(blocker.c_str(), nullptr));
    harness::MessageBoxScript boxes;
    boxes.Answer(IDOK);
    Command(form, cmd::MenuClearMemo);
    RemoveDirectoryA(blocker.c_str());
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].caption, "BriskJot - Note On ClearMemo");
    EXPECT_EQ(form.Memo1->Text(), "");
    EXPECT_EQ(ReadFile(NotePath()), "secret\r\nnote");
    EXPECT_TRUE(form.MenuSave.Enabled()) << "the empty text can still be saved";
    EXPECT_TRUE(GuardedItemsEnabled(form));
}

void PutTextOnClipboard(TFormMain& form, const char* text) {
    ASSERT_TRUE(OpenClipboard(form.Handle()));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
    memcpy(GlobalLock(memory), text, strlen(text) + 1);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
}

bool ClearItemsEnabled(TFormMain& form, bool enabled) {
    return harness::WaitFor([&] {
        return form.PopUpClearClipboard.Enabled() == enabled &&
               form.MenuClearClipboard.Enabled() == enabled;
    });
}

TEST(ClipboardTest, ClearingEmptiesPausesWithTheWarningClosesViewersAndTheItemsFollow) {
    Program program;
    TFormMain& form = program.Main();
    const struct {
        bool warn;
        int answer;
        unsigned command;
        const char* viewer;
    } rows[] = {
        {true, IDYES, cmd::PopUpClearClipboard, "Clipbook Viewer"},
        {false, 0, cmd::PopUpClearClipboard, "Clipboard Viewer"},
        {true, IDNO, cmd::MenuClearClipboard, "Clipboard Viewer"},  // keeps the clipboard
    };
    // A clipboard held open by another program is a fault case of the end-to-end suite.
    for (const auto& row : rows) {
        SCOPED_TRACE(row.answer);
        form.PopUpWarningOnClearClipboard.SetChecked(row.warn);
        PutTextOnClipboard(form, "secret");
        ASSERT_TRUE(ClearItemsEnabled(form, true));
        HWND viewer = CreateWindowExA(0, "STATIC", row.viewer, WS_POPUP, 0, 0, 1, 1, nullptr,
                                      nullptr, nullptr, nullptr);
        harness::MessageBoxScript boxes;
        if (row.answer) boxes.Answer(row.answer);
        const DWORD start = GetTickCount();
        Command(form, row.command);
        const DWORD took = GetTickCount() - start;
        EXPECT_EQ(boxes.Shown().size(), row.warn ? 1u : 0u);
        EXPECT_EQ(CountClipboardFormats() == 0, row.answer != IDNO);
        EXPECT_FALSE(IsWindow(viewer));
        // A lower bound only: the pause is there or not, however busy the machine.
        if (row.answer == IDYES) {
            EXPECT_GE(took, 900u);
        }
        EXPECT_TRUE(GuardedItemsEnabled(form));
        EXPECT_TRUE(ClearItemsEnabled(form, row.answer == IDNO)) << "they follow the clipboard";
    }
    // Find and Print follow the memo on the same tick, whatever disabled them.
    form.PopUpFindReplace.SetEnabled(false);
    form.PopUpPrint.SetEnabled(false);
    form.Memo1->SetText("text");
    EXPECT_TRUE(harness::WaitFor(
        [&] { return form.PopUpFindReplace.Enabled() && form.PopUpPrint.Enabled(); }));
}

}  // namespace
