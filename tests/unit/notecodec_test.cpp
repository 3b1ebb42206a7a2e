#include "app/notecodec.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <type_traits>

#include "tests/cp1252.h"

namespace {

using notecodec::Encoding;

template <std::size_t N>
std::string B(const char (&bytes)[N]) {
    return std::string(bytes, N - 1);  // NULs included
}

template <typename Text>
std::string Hex(const Text& text) {
    std::string out;
    for (const auto c : text) {
        char unit[8];
        std::snprintf(unit, sizeof unit, "%X ",
                      static_cast<unsigned>(static_cast<std::make_unsigned_t<decltype(c)>>(c)));
        out += unit;
    }
    return out;
}

TEST(NoteCodec, ReadsEachEncodingAndWritesItBackByteForByte) {
    const testfiles::Cp1252 ansi;
    struct Row {
        std::string bytes;
        std::u16string text;
        Encoding encoding;
        bool cut;
        bool same;  // saving the text gives the bytes back
    };
    const Row rows[] = {
        {B(""), u"", Encoding::Ansi, false, true},
        {B("a\r\nb"), u"a\r\nb", Encoding::Ansi, false, true},
        {B("caf\xE9 \x80\x81\x9D"), u"caf\u00E9 \u20AC\u0081\u009D", Encoding::Ansi, false, true},
        {B("\xEF\xBB\xBF"
           "caf\xC3\xA9"),
         u"caf\u00E9", Encoding::Utf8Mark, false, true},
        {B("\xEF\xBB\xBFplain"), u"plain", Encoding::Utf8Mark, false, true},
        {B("\xE2\x86\x92\xE4\xB8\xAD\xF0\x9F\x98\x80"), u"\u2192\u4E2D\U0001F600", Encoding::Utf8,
         false, true},
        {B("\xFF\xFE"
           "a\0\x92\x21=\xD8\0\xDE"),
         u"a\u2192\U0001F600", Encoding::Utf16Le, false, true},
        {B("\xFE\xFF\0a\x21\x92\xD8=\xDE\0"), u"a\u2192\U0001F600", Encoding::Utf16Be, false, true},
        // A lone surrogate stays in a UTF-16 note.
        {B("\xFF\xFE\0\xD8x\0"), u"\xD800x", Encoding::Utf16Le, false, true},
        // Invalid UTF-8 (a stray trail byte, overlong, surrogate, past U+10FFFF, cut short)
        // is ANSI, mark or not.
        {B("\xC3\xA9\xA9"), u"\u00C3\u00A9\u00A9", Encoding::Ansi, false, true},
        {B("\xC0\xAF"), u"\u00C0\u00AF", Encoding::Ansi, false, true},
        {B("\xED\xA0\x80"), u"\u00ED\u00A0\u20AC", Encoding::Ansi, false, true},
        {B("\xF4\x90\x80\x80"), u"\u00F4\u0090\u20AC\u20AC", Encoding::Ansi, false, true},
        {B("\xEF\xBB\xBFok\xE2\x86"), u"\u00EF\u00BB\u00BFok\u00E2\u2020", Encoding::Ansi, false,
         true},
        // Lone CR and LF become CR LF in each encoding.
        {B("a\rb\nc\r\n\n"), u"a\r\nb\r\nc\r\n\r\n", Encoding::Ansi, false, false},
        {B("\xC3\xA9\n"), u"\u00E9\r\n", Encoding::Utf8, false, false},
        {B("\xEF\xBB\xBF\r\r"), u"\r\n\r\n", Encoding::Utf8Mark, false, false},
        {B("\xFF\xFE\n\0\r\0"), u"\r\n\r\n", Encoding::Utf16Le, false, false},
        {B("\xFE\xFF\0\r\0\n\0\n"), u"\r\n\r\n", Encoding::Utf16Be, false, false},
        // A NUL ends the text in each; so does half a UTF-16 unit.
        {B("ab\0cd"), u"ab", Encoding::Ansi, true, false},
        {B("\xC3\xA9\0\xFF"), u"\u00E9", Encoding::Utf8, true, false},
        {B("\xEF\xBB\xBF\0"), u"", Encoding::Utf8Mark, true, false},
        {B("\xFF\xFEx\0\0\0y\0"), u"x", Encoding::Utf16Le, true, false},
        {B("\xFE\xFF\0x\0"), u"x", Encoding::Utf16Be, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Hex(row.bytes));
        const notecodec::Decoded note = notecodec::Decode(row.bytes, ansi);
        EXPECT_EQ(Hex(note.text), Hex(row.text));
        EXPECT_EQ(note.encoding, row.encoding);
        EXPECT_EQ(note.cut, row.cut);
        Encoding encoding = note.encoding;
        std::string buffer = "left over";
        const std::string saved(notecodec::Encode(note.text, encoding, ansi, buffer));
        EXPECT_EQ(encoding, note.encoding);
        if (row.same) {
            EXPECT_EQ(Hex(saved), Hex(row.bytes));
        }
        // What was saved reads back as the same text.
        EXPECT_EQ(Hex(notecodec::Decode(saved, ansi).text), Hex(note.text));
    }
}

TEST(NoteCodec, AnAnsiNoteBecomesUtf8WithTheMarkOnlyForAForeignCharacter) {
    const testfiles::Cp1252 ansi;
    const std::string kMark = "\xEF\xBB\xBF";
    struct Row {
        std::u16string text;
        Encoding before, after;
        std::string bytes;
    };
    const Row rows[] = {
        {u"na\u00EFve \u20AC", Encoding::Ansi, Encoding::Ansi, B("na\xEFve \x80")},
        {u"x \u2192", Encoding::Ansi, Encoding::Utf8Mark, B("\xEF\xBB\xBFx \xE2\x86\x92")},
        {u"\u00E9\U0001F600", Encoding::Ansi, Encoding::Utf8Mark,
         "\xEF\xBB\xBF\xC3\xA9\xF0\x9F\x98\x80"},
        // Long runs of ASCII around the other characters.
        {std::u16string(17, u'a') + u"\u00E9" + std::u16string(33, u'b'), Encoding::Ansi,
         Encoding::Ansi, std::string(17, 'a') + "\xE9" + std::string(33, 'b')},
        {std::u16string(33, u'a') + u"\u2192" + std::u16string(17, u'b'), Encoding::Ansi,
         Encoding::Utf8Mark, kMark + std::string(33, 'a') + "\xE2\x86\x92" + std::string(17, 'b')},
        // ANSI bytes that would read back as other text.
        {u"\u00C3\u00A9", Encoding::Ansi, Encoding::Utf8Mark, B("\xEF\xBB\xBF\xC3\x83\xC2\xA9")},
        {u"\u00FF\u00FEx", Encoding::Ansi, Encoding::Utf8Mark, B("\xEF\xBB\xBF\xC3\xBF\xC3\xBEx")},
        // A UTF-8 note keeps its missing mark; a lone surrogate has no UTF-8 form.
        {u"a\xDC00"
         "b",
         Encoding::Utf8, Encoding::Utf8,
         B("a\xEF\xBF\xBD"
           "b")},
        {u"\xD83D", Encoding::Ansi, Encoding::Utf8Mark, B("\xEF\xBB\xBF\xEF\xBF\xBD")},
        // No text is no bytes, not a lone mark.
        {u"", Encoding::Utf16Be, Encoding::Utf16Be, B("")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Hex(row.bytes));
        Encoding encoding = row.before;
        std::string buffer;
        const std::string bytes(notecodec::Encode(row.text, encoding, ansi, buffer));
        EXPECT_EQ(encoding, row.after);
        EXPECT_EQ(Hex(bytes), Hex(row.bytes));
    }
}

}  // namespace
