// The note document on real windows: loading, the saved/unsaved states, saving safely,
// AutoSave, Clear Memo and the clipboard guard.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "app/commands.h"
#include "app/formmain.h"
#include "app/globals.h"
#include "app/notefile.h"
#include "framework/application.h"
#include "tests/screenpixels.h"
#include "tests/testfiles.h"
#include "tests/win/harness.h"

namespace {

using harness::Command;
using harness::NotePath;
using harness::Program;
using harness::ReadFile;
using harness::Type;
using testfiles::SetClipboardText;

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

bool GuardedItemsEnabled(TFormMain& form) {
    return form.PopUpHomeSite.Enabled() && form.PopUpExit.Enabled();
}

// The menu-bar item at a position as the screen shows it: greyed and enabled draw differently.
std::vector<DWORD> DrawnBarItem(TFormMain& form, int position) {
    RECT rect{};
    if (!GetMenuItemRect(form.Handle(), GetMenu(form.Handle()), position, &rect)) return {};
    return screenpixels::Capture(rect);
}

class NoteTest : public ::testing::Test {
protected:
    void SetUp() override {
        harness::RemoveFile(NotePath());
        harness::RemoveFile(NotePath() + ".tmp");
    }
    void TearDown() override {
        notefile::SetWriteFunction(nullptr);
        harness::RemoveFile(NotePath());
    }
};

TEST_F(NoteTest, LoadingChangesSavesAndTheSessionEndFollowTheStateTable) {
    const std::string odd = "first\nsecond\rthird\r\n", temp = NotePath() + ".tmp";
    // A save cut short inside the replace: the text is in the temporary file only.
    harness::WriteFile(temp, odd);
    SetFileAttributesA(temp.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    {
        // Before the first activation a change neither saves nor enables Save.
        Program program(true,
                        "AutoSave Memo=1\r\nHeight=219\r\nLeft=615\r\nShow On StartUp=0\r\n"
                        "Top=521\r\nWidth=409\r\n");
        ASSERT_FALSE(FormActivated);
        EXPECT_EQ(program.Main().Memo1->Text(), "first\r\nsecond\r\nthird\r\n");
        Type(program.Main(), "x");
        EXPECT_EQ(StateOf(program.Main()), State(false, false, kUnsaved)) << "before activation";
        EXPECT_EQ(ReadFile(NotePath()), odd) << "loading writes nothing";
    }
    Program program;
    TFormMain& form = program.Main();
    ASSERT_TRUE(FormActivated) << "the first showing activates the window";
    auto onDisk = [&] { return ReadFile(NotePath()) == form.Memo1->Text(); };
    Type(form, "A");
    EXPECT_EQ(StateOf(form), State(true, false, kSaved)) << "AutoSave on";
    EXPECT_TRUE(onDisk());

    form.PopUpAutoSaveClick();  // off: no box, nothing saved
    const auto greyedSave = DrawnBarItem(form, 0);
    ASSERT_FALSE(greyedSave.empty());
    PostMessageA(form.Memo1->Handle(), WM_CHAR, 'B', 1);  // typed
    harness::Pump();
    EXPECT_EQ(StateOf(form), State(false, true, kUnsaved)) << "AutoSave off";
    EXPECT_TRUE(harness::WaitFor([&] { return DrawnBarItem(form, 0) != greyedSave; }))
        << "the bar draws Save enabled at once";
    SendMessageA(form.Handle(), WM_ENDSESSION, FALSE, 0);  // a cancelled end changes nothing
    EXPECT_FALSE(onDisk());
    form.MenuSave.Click();
    EXPECT_EQ(StateOf(form), State(true, false, kSaved)) << "saved by command";
    EXPECT_TRUE(harness::WaitFor([&] { return DrawnBarItem(form, 0) == greyedSave; }));
    EXPECT_TRUE(onDisk());

    Type(form, "typed just before shutdown");
    EXPECT_EQ(SendMessageA(form.Handle(), WM_QUERYENDSESSION, 0, 0), 1);
    SendMessageA(form.Handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(StateOf(form), State(true, false, kSaved)) << "saved as the session ends";
    EXPECT_TRUE(onDisk());

    // Switched on, AutoSave saves what is unsaved before it tells.
    Type(form, "!");
    harness::MessageBoxScript boxes;
    bool savedBeforeTheBox = false;
    boxes.OnShow = [&] { savedBeforeTheBox = onDisk(); };
    boxes.Answer(IDOK);
    form.PopUpAutoSaveClick();
    EXPECT_TRUE(savedBeforeTheBox);
    EXPECT_TRUE(form.PopUpAutoSave.Checked());
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
    EXPECT_EQ(ReadFile(NotePath()), old);
    EXPECT_EQ(ReadFile(temp), "<missing>");
    EXPECT_EQ(StateOf(form), before) << "after the failed save";

    // A note and a crash's leftover made read-only meanwhile do not stop the next save.
    notefile::SetWriteFunction(nullptr);
    harness::WriteFile(temp, "leftover");
    for (const std::string& path : {NotePath(), temp})
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    form.MenuSaveClick();
    EXPECT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(ReadFile(NotePath()), form.Memo1->Text());
    EXPECT_EQ(GetFileAttributesA(NotePath().c_str()), DWORD(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(ReadFile(temp), "<missing>");
}

// An edit control that refuses a text to show, or gives back none of what it holds, as one
// short of memory would.
WNDPROC editProc = nullptr;
LRESULT CALLBACK ShortOfMemory(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_GETTEXT ||
        (msg == WM_SETTEXT && lParam && *reinterpret_cast<const char*>(lParam)))
        return 0;
    return CallWindowProcA(editProc, hwnd, msg, wParam, lParam);
}
LRESULT CALLBACK MakeEditsShortOfMemory(int code, WPARAM wParam, LPARAM lParam) {
    char name[8] = "";
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND && GetClassNameA(window, name, sizeof name) &&
        lstrcmpiA(name, "Edit") == 0)
        editProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ShortOfMemory)));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(NoteTest, AMemoThatRefusesOrShortensTheTextNeverShortensTheNote) {
    const std::string old = "the whole note";
    harness::WriteFile(NotePath(), old);
    HHOOK hook = SetWindowsHookExA(WH_CBT, &MakeEditsShortOfMemory, nullptr, GetCurrentThreadId());
    {
        Program program(/*withAbout=*/false);
        // The note goes in with the settings, which the about box's creation loads.
        EXPECT_THROW(program.Main().LoadOptionsProc(), std::exception) << "the start ends";
    }
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(ReadFile(NotePath()), old);

    Program program;
    TFormMain& form = program.Main();
    Type(form, "new ");
    HWND memo = form.Memo1->Handle();
    editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(memo, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ShortOfMemory)));
    harness::MessageBoxScript boxes;
    boxes.Answer(IDOK);
    form.MenuSaveClick();
    SetWindowLongPtrA(memo, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editProc));
    EXPECT_EQ(boxes.Shown().size(), 1u) << "the error box";
    EXPECT_EQ(ReadFile(NotePath()), "new " + old);
}

TEST_F(NoteTest, ClearMemoClearsMemoAndFileForGoodOnlyWhenAllowed) {
    const std::string note = "secret\r\nnote";
    harness::WriteFile(NotePath(), note);
    Program program;
    TFormMain& form = program.Main();
    form.PopUpAutoSaveClick();  // AutoSave off: the file is still written
    harness::MessageBoxScript boxes;
    bool guardedWhileAsking = false;
    boxes.OnShow = [&] { guardedWhileAsking = !GuardedItemsEnabled(form); };
    boxes.Answer(IDNO);
    Command(form, cmd::MenuClearMemo);
    EXPECT_TRUE(guardedWhileAsking);
    EXPECT_EQ(form.Memo1->Text(), note);

    // A folder in the way of the temporary file makes the commit fail for real.
    form.PopUpWarningOnClearMemo.SetChecked(false);
    const std::string blocker = NotePath() + ".tmp";
    ASSERT_TRUE(CreateDirectoryA(blocker.c_str(), nullptr));
    boxes.Answer(IDOK);
    Command(form, cmd::MenuClearMemo);
    RemoveDirectoryA(blocker.c_str());
    EXPECT_EQ(boxes.Shown().size(), 2u) << "a failed commit says so";
    EXPECT_EQ(form.Memo1->Text(), "");
    EXPECT_EQ(ReadFile(NotePath()), note);
    EXPECT_TRUE(form.MenuSave.Enabled()) << "the empty text can still be saved";

    Type(form, note);
    form.PopUpWarningOnClearMemo.SetChecked(true);
    boxes.Answer(IDYES);
    Command(form, cmd::MenuClearMemo);
    EXPECT_EQ(boxes.Shown().size(), 3u);
    EXPECT_TRUE(GuardedItemsEnabled(form));
    EXPECT_EQ(form.Memo1->Text(), "");
    EXPECT_EQ(ReadFile(NotePath()), "");
    EXPECT_EQ(StateOf(form), State(true, false, kEmpty)) << "nothing to ask about at exit";
    EXPECT_FALSE(form.MenuClearMemo.Enabled() || form.PopUpFindReplace.Enabled());
    EXPECT_FALSE(SendMessageA(form.Memo1->Handle(), EM_CANUNDO, 0, 0))
        << "undo cannot bring the text back";
}

int frameRecalculations = 0;
WNDPROC originalProc = nullptr;
LRESULT CALLBACK CountFrameRecalculations(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCALCSIZE) ++frameRecalculations;
    return CallWindowProcA(originalProc, hwnd, msg, wParam, lParam);
}

TEST(ClipboardTest, ClearingEmptiesPausesWithTheWarningClosesViewersAndTheItemsFollow) {
    Program program;
    TFormMain& form = program.Main();
    // A clipboard held open by another program is a fault case of the end-to-end suite.
    SetClipboardText(form.Handle(), nullptr);
    ASSERT_TRUE(harness::WaitFor([&] { return !form.MenuClearClipboard.Enabled(); }));
    // How the bar draws the item as the clipboard changes is checked end to end.
    SetClipboardText(form.Handle(), "secret");
    ASSERT_TRUE(harness::WaitFor([&] { return form.MenuClearClipboard.Enabled(); }));
    HWND viewer = CreateWindowExA(0, "STATIC", "Clipbook Viewer", WS_POPUP, 0, 0, 1, 1, nullptr,
                                  nullptr, nullptr, nullptr);
    harness::MessageBoxScript boxes;
    boxes.Answer(IDYES);
    const DWORD start = GetTickCount();
    Command(form, cmd::PopUpClearClipboard);
    // A lower bound only: the pause is there or not, however busy the machine.
    EXPECT_GE(GetTickCount() - start, 900u);
    EXPECT_EQ(CountClipboardFormats(), 0);
    EXPECT_FALSE(IsWindow(viewer));
    EXPECT_TRUE(harness::WaitFor([&] {
        return !form.PopUpClearClipboard.Enabled() && !form.MenuClearClipboard.Enabled();
    })) << "they follow the clipboard";

    // Ticks that change nothing redraw nothing: a redrawn bar recalculates the frame.
    frameRecalculations = 0;
    originalProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        form.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountFrameRecalculations)));
    harness::Pump(500);
    SetWindowLongPtrA(form.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProc));
    EXPECT_EQ(frameRecalculations, 0) << "over five idle ticks";
}

}  // namespace
