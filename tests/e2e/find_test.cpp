// The tray menu's Find from outside: it types a real Ctrl+F into the note window, and the dialog
// finds a word with accents in a Unicode note. The search rules, the result boxes and the key
// handling are in-process tests.
#include <gtest/gtest.h>

#include <string>

#include "app/commands.h"
#include "tests/e2e/driver.h"

namespace {

constexpr int kFindWhat = 0x480, kWholeWord = 0x410;
// An emoji (two units), "cafés" at 3, "CAFÉ" at 9, "café" at 14, in UTF-8.
constexpr char kNote[] = "\xEF\xBB\xBF\xF0\x9F\x98\x80 caf\xC3\xA9s CAF\xC3\x89 caf\xC3\xA9";
constexpr char16_t kText[] = u"\U0001F600 caf\u00E9s CAF\u00C9 caf\u00E9";

TEST(Find, TheTrayFindTypesCtrlFToOpenTheDialogWithoutTypingIntoTheNote) {
    driver::Sandbox sandbox;
    driver::WriteFile(sandbox.Note(), kNote);
    driver::Process program(sandbox.Exe());
    HWND window = program.MainWindow();
    ASSERT_TRUE(window);
    HWND memo = program.Memo();
    ASSERT_TRUE(driver::WaitFor([&] { return IsWindowVisible(window) != FALSE; }));
    SendMessageW(memo, EM_SETSEL, 14, 18);  // the last "café"
    ASSERT_TRUE(driver::MemoInFront(window, memo));
    driver::Command(window, cmd::PopUpFindReplace);
    // Visible only once its set-up is over, the search text in place. The first Find loads the
    // dialog libraries, which takes seconds on a busy machine.
    HWND dialog = nullptr;
    ASSERT_TRUE(driver::WaitFor(
        [&] {
            dialog = program.FindTopLevel("#32770", "Find");
            return dialog && IsWindowVisible(dialog);
        },
        15000));
    EXPECT_TRUE(driver::WindowTextW(GetDlgItem(dialog, kFindWhat)) == u"caf\u00E9");
    // A new search starts at the top, wherever the selection is; "cafés" is no whole word,
    // "CAFÉ" is the same word in capitals.
    SendMessageW(GetDlgItem(dialog, kWholeWord), BM_CLICK, 0, 0);
    SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    // Plain numbers come back across processes; the pointer form does not.
    EXPECT_TRUE(
        driver::WaitFor([&] { return SendMessageW(memo, EM_GETSEL, 0, 0) == MAKELONG(9, 13); }));
    EXPECT_TRUE(driver::WaitFor([&] { return !IsWindow(dialog); })) << "closed after the search";
    EXPECT_TRUE(driver::WindowTextW(memo) == kText) << "no control character went in";
}

}  // namespace
