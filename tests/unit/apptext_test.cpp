// Windows path text and the F5 time stamp.
#include <gtest/gtest.h>

#include <string>

#include "app/pathtext.h"
#include "app/timestamp.h"

namespace {

TEST(PathText, ExtensionAndFolderOfTheLastName) {
    const std::pair<const char*, const char*> withChm[] = {
        {"C:\\My.Tools\\BriskJot", "C:\\My.Tools\\BriskJot.chm"},  // dot in a folder
        {"C:\\a\\b.tar.gz", "C:\\a\\b.tar.chm"},
    };
    for (const auto& [name, expected] : withChm)
        EXPECT_EQ(pathtext::ChangeFileExt(name, ".chm"), expected);
    EXPECT_EQ(pathtext::ExtractFilePath("C:\\Tools\\BriskJot.exe"), "C:\\Tools\\");
    EXPECT_EQ(pathtext::ExtractFilePath("C:BriskJot.exe"), "C:");
}

TEST(TimeStamp, TwoDigitTimeClampedToTheClock) {
    EXPECT_EQ(bj::FormatTimeStamp("x", 24, 60, ":"), "x, 23:59\r\n");
    EXPECT_EQ(bj::FormatTimeStamp("x", -1, -5, ":"), "x, 00:00\r\n");
}

}  // namespace
