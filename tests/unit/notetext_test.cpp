#include "app/notetext.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(NoteText, EveryLineBreakFormBecomesCrLf) {
    struct Case {
        std::string file;
        std::string memo;
    };
    const Case cases[] = {
        {"", ""},
        {"one line", "one line"},
        {"a\r\nb", "a\r\nb"},
        {"a\nb\nc", "a\r\nb\r\nc"},
        {"a\rb\rc", "a\r\nb\r\nc"},
        {"mixed\r\nlf\ncr\rend", "mixed\r\nlf\r\ncr\r\nend"},
        {"\n\r", "\r\n\r\n"},            // LF then CR is two breaks, not one
        {"\r\r\n", "\r\n\r\n"},          // a lone CR before a CR LF pair
        {"trailing\n", "trailing\r\n"},  // nothing added or removed at the end
        {"\r\n\r\n", "\r\n\r\n"},
        {"caf\xe9\n\x80\xff", "caf\xe9\r\n\x80\xff"},  // ANSI bytes pass untouched
    };
    for (const Case& c : cases) EXPECT_EQ(notetext::DecodeNote(c.file), c.memo) << c.file;
}

TEST(NoteText, TextEndsAtTheFirstNul) {
    const std::string file("kept\nline\0lost\nafter", 20);
    EXPECT_EQ(notetext::DecodeNote(file), "kept\r\nline");
    EXPECT_EQ(notetext::DecodeNote(std::string("\0abc", 4)), "");
}

}  // namespace
