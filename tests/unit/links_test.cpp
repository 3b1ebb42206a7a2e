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
        const char *caption, *expected;
    };
    const Case cases[] = {
        {hmHTTP, "  www.example.com\r\n", "http://www.example.com"},
        {hmMAIL, "MailTo:someone@example.com", "MailTo:someone@example.com"},
        {hmFTP, "ftp.example.com/pub", "ftp://ftp.example.com/pub"},
        // A caption that names a program or another scheme stays inside the label's kind.
        {hmHTTP, "C:\\Windows\\notepad.exe", "http://C:\\Windows\\notepad.exe"},
        {hmMAIL, "http://www.example.com", "mailto:http://www.example.com"},
        {hmCUSTOM, "http://www.example.com", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AddressFor(c.type, c.caption), c.expected) << c.type << " " << c.caption;
}

TEST(VersionText, FourFormsFromTheProductVersionWords) {
    // Unsigned 16-bit parts, the high word first: the top bit must not make a part negative.
    const VersionStrings text = FormatProductVersion(0xFFFF000A, 0x8001FFFF);
    EXPECT_EQ(text.one + " " + text.two + " " + text.three + " " + text.four,
              "65535 65535.10 65535.10.32769 65535.10.32769.65535");
}

}  // namespace
