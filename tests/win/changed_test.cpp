// A save over a note changed by another program: the other version kept, and told in a balloon.
#include <gtest/gtest.h>

#include "app/formmain.h"
#include "tests/win/harness.h"

namespace {

TEST(ChangedElsewhere, TheCopyKeptIsNamedInABalloon) {
    harness::WriteFile(harness::NotePath(), "mine");
    harness::Program program;  // AutoSave on
    TFormMain& form = program.Main();
    harness::WriteFile(harness::NotePath(), "theirs, a line longer");
    form.Memo1->ReplaceSel("x", true);
    const NOTIFYICONDATAA& tray = form.TrayIcon1->NotifyData();
    ASSERT_TRUE(harness::WaitFor([&] { return tray.szInfo[0] != '\0'; }));

    WIN32_FIND_DATAA found;
    const std::string pattern = harness::ExeFolder() + "BriskJot (changed elsewhere *).txt";
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    FindClose(search);
    const std::string copy = harness::ExeFolder() + found.cFileName;
    EXPECT_EQ(harness::ReadFile(copy), "theirs, a line longer");
    EXPECT_EQ(harness::ReadFile(harness::NotePath()), "xmine");
    const std::string info = tray.szInfo;
    EXPECT_NE(info.find(found.cFileName), std::string::npos) << info;
    EXPECT_NE(info.find(harness::ExeFolder()), std::string::npos) << info;
    harness::RemoveFile(copy);
    harness::RemoveFile(harness::NotePath());
}

}  // namespace
