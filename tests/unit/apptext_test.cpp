// The note file's text, Windows path text and the F5 time stamp.
#include <gtest/gtest.h>

#include <string>

#include "app/notetext.h"
#include "app/pathtext.h"
#include "app/timestamp.h"

namespace {

TEST(NoteText, EveryLineBreakFormBecomesCrLfAndTextEndsAtTheFirstNul) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"mixed\r\nlf\ncr\rend", "mixed\r\nlf\r\ncr\r\nend"},
        {"\n\r", "\r\n\r\n"},                          // LF then CR is two breaks, not one
        {"\r\r\n", "\r\n\r\n"},                        // a lone CR before a CR LF pair
        {"trailing\n", "trailing\r\n"},                // nothing added or removed at the end
        {"caf\xe9\n\x80\xff", "caf\xe9\r\n\x80\xff"},  // ANSI bytes pass untouched
        {std::string("kept\nline\0lost\nafter", 20), "kept\r\nline"},
    };
    for (const auto& [file, memo] : cases) EXPECT_EQ(notetext::DecodeNote(file), memo) << file;
}

TEST(PathText, ExtensionAndFolderOfTheLastName) {
    const std::pair<const char*, const char*> withChm[] = {
        {"C:\\Tools\\BriskJot.exe", "C:\\Tools\\BriskJot.chm"},
        {"C:\\My.Tools\\BriskJot", "C:\\My.Tools\\BriskJot.chm"},  // dot in a folder
        {"C:\\a\\b.tar.gz", "C:\\a\\b.tar.chm"},
        {"D:name.exe", "D:name.chm"},
        {"D:.exe", "D:.chm"},
        {"", ".chm"},
    };
    for (const auto& [name, expected] : withChm)
        EXPECT_EQ(pathtext::ChangeFileExt(name, ".chm"), expected);
    EXPECT_EQ(pathtext::ExtractFilePath("C:\\Tools\\BriskJot.exe"), "C:\\Tools\\");
    EXPECT_EQ(pathtext::ExtractFilePath("C:BriskJot.exe"), "C:");
    EXPECT_EQ(pathtext::ExtractFilePath("BriskJot.exe"), "");
}

TEST(TimeStamp, DateCommaTwoDigitTimeAndLineBreak) {
    struct Row {
        const char* date;
        int hour, minute;
        const char* separator;
        const char* expected;
    };
    const Row rows[] = {
        {"24.12.2024", 21, 5, ":", "24.12.2024, 21:05\r\n"},
        {"2025-01-02", 0, 0, ".", "2025-01-02, 00.00\r\n"},
        {"Thu 2 Jan", 23, 59, " h ", "Thu 2 Jan, 23 h 59\r\n"},
        {"", 7, 45, "", ", 0745\r\n"},
        {"x", 24, 60, ":", "x, 23:59\r\n"},
        {"x", -1, -5, ":", "x, 00:00\r\n"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(bj::FormatTimeStamp(row.date, row.hour, row.minute, row.separator), row.expected);
}

}  // namespace
