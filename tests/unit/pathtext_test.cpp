#include "app/pathtext.h"

#include <gtest/gtest.h>

namespace {

TEST(PathText, ChangeFileExtTouchesOnlyTheLastNamesExtension) {
    struct Case {
        const char* name;
        const char* ext;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\Tools\\BriskJot.exe", ".chm", "C:\\Tools\\BriskJot.chm"},
        {"C:\\Tools\\Notes.exe", ".chm", "C:\\Tools\\Notes.chm"},
        {"C:\\My.Tools\\BriskJot", ".chm", "C:\\My.Tools\\BriskJot.chm"},  // dot in a folder
        {"C:\\a\\b.tar.gz", ".hlp", "C:\\a\\b.tar.hlp"},
        {"D:name.exe", ".chm", "D:name.chm"},
        {"D:.exe", ".chm", "D:.chm"},
        {"plain", ".chm", "plain.chm"},
        {"", ".chm", ".chm"},
    };
    for (const Case& c : cases) EXPECT_EQ(pathtext::ChangeFileExt(c.name, c.ext), c.expected);
}

TEST(PathText, ExtractFilePathKeepsTheTrailingDelimiter) {
    EXPECT_EQ(pathtext::ExtractFilePath("C:\\Tools\\BriskJot.exe"), "C:\\Tools\\");
    EXPECT_EQ(pathtext::ExtractFilePath("C:BriskJot.exe"), "C:");
    EXPECT_EQ(pathtext::ExtractFilePath("BriskJot.exe"), "");
}

}  // namespace
