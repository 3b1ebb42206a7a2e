// A save over a note changed by another program: the other version kept, and told in a balloon;
// BriskJot's own clearing is no such change.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/formmain.h"
#include "tests/testfiles.h"
#include "tests/win/harness.h"

namespace {

std::vector<std::string> Copies() {
    return testfiles::FilesIn(harness::ExeFolder(), testfiles::kChangedElsewhereCopies);
}

TEST(ChangedElsewhere, TheCopyKeptIsNamedInABalloonAndOwnClearingMakesNone) {
    // Other tests that change the note behind a save leave copies.
    for (const std::string& name : Copies()) harness::RemoveFile(harness::ExeFolder() + name);
    harness::WriteFile(harness::NotePath(), "mine");
    harness::Program program;  // AutoSave on
    TFormMain& form = program.Main();
    harness::WriteFile(harness::NotePath(), "theirs, a line longer");
    form.Memo1->ReplaceSel("x", true);
    const NOTIFYICONDATAA& tray = form.TrayIcon1->NotifyData();
    ASSERT_TRUE(harness::WaitFor([&] { return tray.szInfo[0] != '\0'; }));

    const std::vector<std::string> copies = Copies();
    ASSERT_EQ(copies.size(), 1u);
    // What the copy and the note hold is checked end to end.
    const std::string info = tray.szInfo;
    EXPECT_NE(info.find(copies[0]), std::string::npos) << info;
    EXPECT_NE(info.find(harness::ExeFolder()), std::string::npos) << info;
    harness::RemoveFile(harness::ExeFolder() + copies[0]);

    // Its own clearing and the saves after it are BriskJot's: no copy.
    form.PopUpWarningOnClearMemo.SetChecked(false);
    form.MenuClearMemoClick();
    form.Memo1->ReplaceSel("y", true);
    EXPECT_EQ(harness::ReadFile(harness::NotePath()), "y");
    EXPECT_TRUE(Copies().empty());
    harness::RemoveFile(harness::NotePath());
}

}  // namespace
