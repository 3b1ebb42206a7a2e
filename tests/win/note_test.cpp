// The note document on real windows: loading, the saved/unsaved states,
// saving safely, AutoSave and the question at exit.
#include <gtest/gtest.h>

#include <tuple>

#include "app/commands.h"
#include "app/formmain.h"
#include "app/globals.h"
#include "app/notefile.h"
#include "framework/application.h"
#include "tests/win/harness.h"

namespace {

using harness::NotePath;
using harness::Program;
using harness::ReadFile;

constexpr int kEmpty = 0, kSaved = 1, kUnsaved = 2;

// Saved flag, Save enabled (item and live menu), the picture (tray menu item and icon).
auto StateOf(TFormMain& form) {
    const UINT menu = GetMenuState(GetMenu(form.Handle()), cmd::MenuSave, MF_BYCOMMAND);
    return std::make_tuple(TextSaved, form.MenuSave.Enabled(), (menu & MF_GRAYED) == 0,
                           form.PopUpShowBriskjot.ImageIndex(), form.TrayIcon1->ImageIndex());
}
auto State(bool saved, bool saveEnabled, int image) {
    return std::make_tuple(saved, saveEnabled, saveEnabled, image, image);
}

void Type(TFormMain& form, const std::string& text) {
    form.Memo1->ReplaceSel(text, true);
    harness::Pump();
}

// The enabled state of the items that need text in the memo.
std::string TextItems(TFormMain& form) {
    return std::string(form.MenuClearMemo.Enabled() ? "C" : "-") +
           (form.PopUpFindReplace.Enabled() ? "F" : "-") + (form.PopUpPrint.Enabled() ? "P" : "-");
}

class NoteTest : public ::testing::Test {
protected:
    void SetUp() override {
        harness::RemoveFile(NotePath());
        harness::RemoveFile(NotePath() + ".tmp");
    }
    void TearDown() override {
        notefile::SetWriteFunction(nullptr);
        fw::Application.OnHelp = nullptr;
        harness::RemoveFile(NotePath());
    }
};

TEST_F(NoteTest, LoadingGivesTheSavedStateAndConvertsLineBreaks) {
    {
        Program program;
        EXPECT_EQ(program.Main().Memo1->Text(), "");
        EXPECT_EQ(StateOf(program.Main()), State(true, false, kEmpty)) << "no note file";
        EXPECT_EQ(TextItems(program.Main()), "---");
        EXPECT_EQ(ReadFile(NotePath()), "<missing>") << "nothing is created";
    }
    const std::string odd = "first\nsecond\rthird\r\n";
    harness::WriteFile(NotePath(), odd);
    SetFileAttributesA(NotePath().c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    Program program;
    EXPECT_EQ(program.Main().Memo1->Text(), "first\r\nsecond\r\nthird\r\n");
    EXPECT_EQ(StateOf(program.Main()), State(true, false, kSaved)) << "note loaded";
    EXPECT_EQ(TextItems(program.Main()), "CFP");
    EXPECT_EQ(ReadFile(NotePath()), odd) << "loading writes nothing";
    EXPECT_EQ(GetFileAttributesA(NotePath().c_str()), DWORD(FILE_ATTRIBUTE_ARCHIVE));
}

TEST_F(NoteTest, ChangesSavesAndTheSessionEndFollowTheStateTable) {
    harness::WriteFile(NotePath(), "note");
    {
        // Before the first activation a change neither saves nor enables Save.
        Program program(/*withAbout=*/false);
        ASSERT_FALSE(FormActivated);
        Type(program.Main(), "x");
        EXPECT_EQ(StateOf(program.Main()), State(false, false, kUnsaved)) << "before activation";
        EXPECT_EQ(ReadFile(NotePath()), "note");
    }
    Program program;
    TFormMain& form = program.Main();
    ASSERT_TRUE(FormActivated) << "the first showing activates the window";
    ASSERT_TRUE(form.PopUpAutoSave.Checked());
    auto onDisk = [&] { return ReadFile(NotePath()) == form.Memo1->Text(); };

    Type(form, "A");
    EXPECT_EQ(StateOf(form), State(true, false, kSaved)) << "AutoSave on";
    EXPECT_TRUE(onDisk());

    form.PopUpAutoSaveClick();  // off: no box, nothing saved
    Type(form, "B");
    EXPECT_EQ(StateOf(form), State(false, true, kUnsaved)) << "AutoSave off";
    EXPECT_FALSE(onDisk());
    // The session may end; a cancelled end changes nothing.
    for (HWND window : {form.Handle(), fw::Application.Handle()})
        EXPECT_EQ(SendMessageA(window, WM_QUERYENDSESSION, 0, 0), 1);
    SendMessageA(form.Handle(), WM_ENDSESSION, FALSE, 0);
    EXPECT_FALSE(onDisk());

    form.MenuSave.Click();
    EXPECT_EQ(StateOf(form), State(true, false, kSaved)) << "saved by command";
    EXPECT_TRUE(onDisk());

    form.Memo1->SelectAll();
    form.Memo1->ClearSelection();
    harness::Pump();
    EXPECT_EQ(StateOf(form), State(false, true, kEmpty)) << "emptied";
    EXPECT_EQ(TextItems(form), "---");
    form.MenuSave.Click();
    EXPECT_EQ(ReadFile(NotePath()), "") << "an empty memo gives an empty file";
    EXPECT_EQ(StateOf(form), State(true, false, kEmpty)) << "empty saved";

    Type(form, "typed just before shutdown");
    SendMessageA(form.Handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(StateOf(form), State(true, false, kSaved)) << "saved as the session ends";
    EXPECT_TRUE(onDisk());

    // Switched on, AutoSave saves what is unsaved before it tells, and shows a hidden window.
    Type(form, "!");
    form.TrayIcon1Click();
    ASSERT_TRUE(form.WindowHidden());
    harness::MessageBoxScript boxes;
    bool savedBeforeTheBox = false;
    boxes.OnShow = [&] { savedBeforeTheBox = onDisk(); };
    boxes.Answer(IDOK);
    form.PopUpAutoSaveClick();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].caption, "BriskJot - AutoSave Mode");
    EXPECT_TRUE(savedBeforeTheBox);
    EXPECT_TRUE(form.PopUpAutoSave.Checked());
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(form.PopUpShowBriskjot.Caption(), "Hide Brisk&Jot");
}

// Writes half of what it is given, then fails as a full disk would.
BOOL WINAPI WriteHalfThenFail(HANDLE file, LPCVOID data, DWORD size, LPDWORD written,
                              LPOVERLAPPED) {
    WriteFile(file, data, size / 2, written, nullptr);
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

TEST_F(NoteTest, AFailedSaveKeepsTheOldNoteAndTheState) {
    const std::string old = "old note\r\nkept byte for byte\r\n", temp = NotePath() + ".tmp";
    harness::WriteFile(NotePath(), old);
    Program program;
    TFormMain& form = program.Main();
    form.PopUpAutoSaveClick();  // AutoSave off
    Type(form, "new text that will not reach the disk ");
    const auto before = StateOf(form);

    notefile::SetWriteFunction(&WriteHalfThenFail);
    harness::MessageBoxScript boxes;
    boxes.Answer(IDOK);
    form.MenuSaveClick();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].caption, "BriskJot - Error On Save");
    EXPECT_EQ(boxes.Shown()[0].flags & (MB_ICONHAND | MB_OK | MB_YESNO), UINT(MB_OK | MB_ICONHAND));
    EXPECT_EQ(ReadFile(NotePath()), old);
    EXPECT_EQ(ReadFile(temp), "<missing>");
    EXPECT_EQ(StateOf(form), before) << "after the failed save";

    // With AutoSave on, the next change tries again and reports again.
    form.PopUpAutoSave.SetChecked(true);
    boxes.Answer(IDOK);
    Type(form, "!");
    EXPECT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(StateOf(form), State(false, true, kUnsaved)) << "AutoSave failing";
    EXPECT_EQ(ReadFile(NotePath()), old);

    // A note and a crash's leftover made read-only meanwhile do not stop the next save.
    notefile::SetWriteFunction(nullptr);
    harness::WriteFile(temp, "leftover");
    for (const std::string& path : {NotePath(), temp})
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    form.MenuSaveClick();
    EXPECT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(ReadFile(NotePath()), form.Memo1->Text());
    EXPECT_EQ(GetFileAttributesA(NotePath().c_str()), DWORD(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(ReadFile(temp), "<missing>");
}

TEST_F(NoteTest, ExitAsksOnlyAboutUnsavedTextThenQuitsHelpAndEnds) {
    // 0: the text was saved by AutoSave, nothing is asked.
    for (const int answer : {IDYES, IDNO, 0}) {
        SCOPED_TRACE(answer);
        harness::WriteFile(NotePath(), "before");
        Program program;
        TFormMain& form = program.Main();
        if (answer) form.PopUpAutoSaveClick();
        Type(form, "after ");
        const std::string typed = form.Memo1->Text();

        std::vector<std::string> events;
        fw::Application.OnHelp = [&](unsigned command, std::uintptr_t, bool& callHelp) {
            events.push_back("help " + std::to_string(command));
            callHelp = false;
            return true;
        };
        harness::MessageBoxScript boxes;
        boxes.OnShow = [&] { events.push_back(boxes.Shown().back().caption); };
        if (answer) boxes.Answer(answer);
        form.PopUpExit.Click();

        using Events = std::vector<std::string>;
        EXPECT_EQ(events,
                  (answer ? Events{"BriskJot - Save On Exit?", "help 2"} : Events{"help 2"}));
        if (answer) {
            EXPECT_EQ(boxes.Shown()[0].text,
                      "The text in BriskJot has not been saved. Do you want to save it now?");
        }
        EXPECT_TRUE(fw::Application.Terminated());
        EXPECT_EQ(ReadFile(NotePath()), answer == IDNO ? "before" : typed);
    }
}

}  // namespace
