// What a hyperlink label opens, and the version strings of the about box.
#include <gtest/gtest.h>

#include <cstdint>

#include "components/links/urladdress.h"
#include "components/links/versiontext.h"

namespace {

using namespace links;

TEST(UrlAddress, EachKindGetsItsSchemeOnce) {
    struct Case {
        TLabelType type;
        const char* caption;
        const char* expected;
    };
    const Case cases[] = {
        {hmHTTP, "www.example.com", "http://www.example.com"},
        {hmHTTP, "http://www.example.com/a?b=1&c=2", "http://www.example.com/a?b=1&c=2"},
        {hmHTTP, "HTTPS://Example.com", "HTTPS://Example.com"},
        {hmHTTP, "  www.example.com\r\n", "http://www.example.com"},
        {hmMAIL, "someone@example.com", "mailto:someone@example.com"},
        {hmMAIL, "MailTo:someone@example.com", "MailTo:someone@example.com"},
        {hmFTP, "ftp.example.com/pub", "ftp://ftp.example.com/pub"},
        {hmFTP, "ftp://ftp.example.com", "ftp://ftp.example.com"},
        // A caption that names a program or another scheme stays inside the label's kind.
        {hmHTTP, "C:\\Windows\\notepad.exe", "http://C:\\Windows\\notepad.exe"},
        {hmHTTP, "file:///c:/x.exe", "http://file:///c:/x.exe"},
        {hmMAIL, "http://www.example.com", "mailto:http://www.example.com"},
        {hmFTP, "http", "ftp://http"},
        // Nothing to open.
        {hmHTTP, "", ""},
        {hmMAIL, " \t ", ""},
        {hmCUSTOM, "http://www.example.com", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AddressFor(c.type, c.caption), c.expected) << c.type << " " << c.caption;
}

TEST(VersionText, FourFormsFromTheProductVersionWords) {
    struct Case {
        std::uint32_t ms, ls;
        const char* forms;
    };
    const Case cases[] = {
        {0x00000000, 0x00000000, "0 0.0 0.0.0 0.0.0.0"},
        // Major and minor from MS, release and build from LS, each the high word first.
        {0x0001000A, 0x01F40FA0, "1 1.10 1.10.500 1.10.500.4000"},
        // Unsigned 16-bit: the top bit must not make a part negative.
        {0xFFFF8000, 0x8001FFFF, "65535 65535.32768 65535.32768.32769 65535.32768.32769.65535"},
    };
    for (const Case& c : cases) {
        const VersionStrings text = FormatProductVersion(c.ms, c.ls);
        EXPECT_EQ(text.one + " " + text.two + " " + text.three + " " + text.four, c.forms);
    }
}

}  // namespace
