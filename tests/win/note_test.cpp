// The note document on real windows: loading, the saved/unsaved states,
// saving safely, AutoSave and the question at exit.
#include <gtest/gtest.h>

#include "app/commands.h"
#include "app/formmain.h"
#include "app/globals.h"
#include "app/notefile.h"
#include "framework/application.h"
#include "tests/win/harness.h"

namespace {

using harness::Program;

constexpr int kEmpty = 0, kSaved = 1, kUnsaved = 2;

struct NoteState {
    bool textSaved;
    bool saveEnabled;
    int image;
};

NoteState StateOf(TFormMain& form) {
    return {TextSaved, form.MenuSave.Enabled(), form.PopUpShowBriskjot.ImageIndex()};
}

void ExpectState(TFormMain& form, NoteState expected, const char* where) {
    const NoteState actual = StateOf(form);
    EXPECT_EQ(actual.textSaved, expected.textSaved) << where;
    EXPECT_EQ(actual.saveEnabled, expected.saveEnabled) << where;
    EXPECT_EQ(actual.image, expected.image) << where;
    EXPECT_EQ(form.TrayIcon1->ImageIndex(), expected.image) << where;
    // The live menu agrees with the item's own state.
    const UINT menuState = GetMenuState(GetMenu(form.Handle()), cmd::MenuSave, MF_BYCOMMAND);
    EXPECT_EQ((menuState & MF_GRAYED) == 0, expected.saveEnabled) << where;
}

void Type(TFormMain& form, const std::string& text) {
    form.Memo1->ReplaceSel(text, true);
    harness::Pump();
}

class NoteTest : public ::testing::Test {
protected:
    void SetUp() override {
        harness::RemoveFile(harness::NotePath());
        harness::RemoveFile(harness::NotePath() + ".tmp");
    }
    void TearDown() override {
        notefile::SetWriteFunction(nullptr);
        harness::RemoveFile(harness::NotePath());
    }
};

TEST_F(NoteTest, LoadingGivesTheSavedStateAndConvertsLineBreaks) {
    {
        Program program;
        EXPECT_EQ(program.Main().Memo1->Text(), "");
        ExpectState(program.Main(), {true, false, kEmpty}, "no note file");
        EXPECT_EQ(harness::ReadFile(harness::NotePath()), "<missing>") << "nothing is created";
        EXPECT_FALSE(program.Main().MenuClearMemo.Enabled());
    }
    harness::WriteFile(harness::NotePath(), "first\nsecond\rthird\r\n");
    SetFileAttributesA(harness::NotePath().c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    Program program;
    EXPECT_EQ(program.Main().Memo1->Text(), "first\r\nsecond\r\nthird\r\n");
    ExpectState(program.Main(), {true, false, kSaved}, "note loaded");
    EXPECT_TRUE(program.Main().MenuClearMemo.Enabled());
    EXPECT_EQ(GetFileAttributesA(harness::NotePath().c_str()), DWORD(FILE_ATTRIBUTE_ARCHIVE));
}

TEST_F(NoteTest, ChangesFollowTheStateTable) {
    harness::WriteFile(harness::NotePath(), "note");
    {
        // Before the first activation a change neither saves nor enables Save.
        Program program(/*withAbout=*/false);
        ASSERT_FALSE(FormActivated);
        Type(program.Main(), "x");
        ExpectState(program.Main(), {false, false, kUnsaved}, "before activation");
        EXPECT_EQ(harness::ReadFile(harness::NotePath()), "note");
    }
    Program program;
    TFormMain& form = program.Main();
    ASSERT_TRUE(FormActivated) << "the first showing activates the window";
    ASSERT_TRUE(form.PopUpAutoSave.Checked());

    Type(form, "A");
    ExpectState(form, {true, false, kSaved}, "AutoSave on");
    EXPECT_EQ(harness::ReadFile(harness::NotePath()), form.Memo1->Text());

    form.PopUpAutoSaveClick();  // off: no box, nothing saved
    Type(form, "B");
    ExpectState(form, {false, true, kUnsaved}, "AutoSave off");
    EXPECT_NE(harness::ReadFile(harness::NotePath()), form.Memo1->Text());

    form.MenuSave.Click();
    ExpectState(form, {true, false, kSaved}, "saved by command");
    EXPECT_EQ(harness::ReadFile(harness::NotePath()), form.Memo1->Text());

    form.Memo1->SelectAll();
    form.Memo1->ClearSelection();
    harness::Pump();
    ExpectState(form, {false, true, kEmpty}, "emptied");
    EXPECT_FALSE(form.MenuClearMemo.Enabled());
    EXPECT_FALSE(form.PopUpFindReplace.Enabled());
    EXPECT_FALSE(form.PopUpPrint.Enabled());
    form.MenuSave.Click();
    EXPECT_EQ(harness::ReadFile(harness::NotePath()), "") << "an empty memo gives an empty file";
    ExpectState(form, {true, false, kEmpty}, "empty saved");
}

// Writes half of what it is given, then fails as a full disk would.
BOOL WINAPI WriteHalfThenFail(HANDLE file, LPCVOID data, DWORD size, LPDWORD written,
                              LPOVERLAPPED) {
    WriteFile(file, data, size / 2, written, nullptr);
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

TEST_F(NoteTest, AFailedSaveKeepsTheOldNoteAndTheState) {
    const std::string old = "old note\r\nkept byte for byte\r\n";
    harness::WriteFile(harness::NotePath(), old);
    Program program;
    TFormMain& form = program.Main();
    form.PopUpAutoSaveClick();  // AutoSave off
    Type(form, "new text that will not reach the disk ");
    const NoteState before = StateOf(form);

    notefile::SetWriteFunction(&WriteHalfThenFail);
    harness::MessageBoxScript boxes;
    boxes.Answer(IDOK);
    form.MenuSaveClick();

    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].caption, "BriskJot - Error On Save");
    EXPECT_EQ(boxes.Shown()[0].flags & (MB_ICONHAND | MB_OK | MB_YESNO), UINT(MB_OK | MB_ICONHAND));
    EXPECT_EQ(harness::ReadFile(harness::NotePath()), old);
    EXPECT_EQ(harness::ReadFile(harness::NotePath() + ".tmp"), "<missing>");
    ExpectState(form, before, "after the failed save");

    // With AutoSave on, the next change tries again and reports again.
    form.PopUpAutoSave.SetChecked(true);
    boxes.Answer(IDOK);
    Type(form, "!");
    EXPECT_EQ(boxes.Shown().size(), 2u);
    ExpectState(form, {false, true, kUnsaved}, "AutoSave failing");
    EXPECT_EQ(harness::ReadFile(harness::NotePath()), old);

    // A note and a crash's leftover made read-only meanwhile do not stop the next save.
    notefile::SetWriteFunction(nullptr);
    const std::string temp = harness::NotePath() + ".tmp";
    harness::WriteFile(temp, "leftover");
    for (const std::string& path : {harness::NotePath(), temp})
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    form.MenuSaveClick();
    EXPECT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(harness::ReadFile(harness::NotePath()), form.Memo1->Text());
    EXPECT_EQ(GetFileAttributesA(harness::NotePath().c_str()), DWORD(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(harness::ReadFile(temp), "<missing>");
}

TEST_F(NoteTest, SwitchingAutoSaveOnSavesTellsAndShowsTheWindow) {
    Program program;
    TFormMain& form = program.Main();
    form.PopUpAutoSaveClick();
    Type(form, "typed while AutoSave was off");
    form.TrayIcon1Click();  // hide
    ASSERT_FALSE(form.Visible());
    ASSERT_TRUE(form.WindowHidden());

    harness::MessageBoxScript boxes;
    bool savedBeforeTheBox = false;
    boxes.OnShow = [&] {
        savedBeforeTheBox = harness::ReadFile(harness::NotePath()) == form.Memo1->Text();
    };
    boxes.Answer(IDOK);
    form.PopUpAutoSaveClick();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].caption, "BriskJot - AutoSave Mode");
    EXPECT_TRUE(savedBeforeTheBox);
    EXPECT_TRUE(form.PopUpAutoSave.Checked());
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(form.PopUpShowBriskjot.Caption(), "Hide Brisk&Jot");
}

TEST_F(NoteTest, ExitAsksAboutUnsavedTextThenQuitsHelpAndEnds) {
    for (const int answer : {IDYES, IDNO}) {
        harness::WriteFile(harness::NotePath(), "before");
        Program program;
        TFormMain& form = program.Main();
        form.PopUpAutoSaveClick();
        Type(form, "after ");
        const std::string typed = form.Memo1->Text();

        std::vector<std::string> events;
        fw::Application.OnHelp = [&](unsigned command, std::uintptr_t, bool& callHelp) {
            events.push_back("help " + std::to_string(command));
            callHelp = false;
            return true;
        };
        harness::MessageBoxScript boxes;
        boxes.OnShow = [&] { events.push_back("question"); };
        boxes.Answer(answer);
        form.PopUpExit.Click();

        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].caption, "BriskJot - Save On Exit?");
        EXPECT_EQ(boxes.Shown()[0].text,
                  "The text in BriskJot has not been saved. Do you want to save it now?");
        EXPECT_EQ(events, (std::vector<std::string>{"question", "help 2"}));
        EXPECT_TRUE(fw::Application.Terminated());
        EXPECT_EQ(harness::ReadFile(harness::NotePath()), answer == IDYES ? typed : "before");
    }
}

TEST_F(NoteTest, ExitWithSavedTextAsksNothing) {
    Program program;
    Type(program.Main(), "saved at once by AutoSave");
    harness::MessageBoxScript boxes;  // any box fails the test
    program.Main().PopUpExit.Click();
    EXPECT_TRUE(fw::Application.Terminated());
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(NoteTest, NotesOfSeveralMegabytesLoadEditAndSaveWhole) {
    std::string big;
    for (int i = 0; big.size() < 3u << 20; ++i) big += "line " + std::to_string(i) + " of a big note\r\n";
    harness::WriteFile(harness::NotePath(), big);
    Program program;
    TFormMain& form = program.Main();
    ASSERT_EQ(form.Memo1->Text().size(), big.size());
    form.Memo1->SetSel(static_cast<int>(big.size()), static_cast<int>(big.size()));
    Type(form, "end");
    EXPECT_EQ(harness::ReadFile(harness::NotePath()), big + "end");
}

}  // namespace

namespace {

TEST_F(NoteTest, SessionEndConsentsAndSavesUnsavedText) {
    harness::WriteFile(harness::NotePath(), "before");
    Program program;
    TFormMain& form = program.Main();
    form.PopUpAutoSaveClick();  // AutoSave off
    Type(form, "typed just before shutdown ");
    EXPECT_EQ(SendMessageA(form.TrayIcon1->WindowHandle(), WM_QUERYENDSESSION, 0, 0), 1);
    SendMessageA(form.Handle(), WM_ENDSESSION, FALSE, 0);  // cancelled: nothing happens
    EXPECT_EQ(harness::ReadFile(harness::NotePath()), "before");
    SendMessageA(form.Handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(harness::ReadFile(harness::NotePath()), form.Memo1->Text());
    EXPECT_TRUE(TextSaved);
}

}  // namespace
