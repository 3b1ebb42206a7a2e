// The address a hyperlink label opens for its caption.
#include "components/links/urladdress.h"

#include <gtest/gtest.h>

namespace {

using links::AddressFor;

TEST(UrlAddress, EachKindGetsItsSchemeOnce) {
    struct Case {
        links::TLabelType type;
        const char* caption;
        const char* expected;
    };
    const Case cases[] = {
        {links::hmHTTP, "www.example.com", "http://www.example.com"},
        {links::hmHTTP, "http://www.example.com/a?b=1&c=2", "http://www.example.com/a?b=1&c=2"},
        {links::hmHTTP, "HTTPS://Example.com", "HTTPS://Example.com"},
        {links::hmHTTP, "  www.example.com\r\n", "http://www.example.com"},
        {links::hmMAIL, "someone@example.com", "mailto:someone@example.com"},
        {links::hmMAIL, "MailTo:someone@example.com", "MailTo:someone@example.com"},
        {links::hmFTP, "ftp.example.com/pub", "ftp://ftp.example.com/pub"},
        {links::hmFTP, "ftp://ftp.example.com", "ftp://ftp.example.com"},
        // A caption that names a program or another scheme stays inside the label's kind.
        {links::hmHTTP, "C:\\Windows\\notepad.exe", "http://C:\\Windows\\notepad.exe"},
        {links::hmHTTP, "file:///c:/x.exe", "http://file:///c:/x.exe"},
        {links::hmMAIL, "http://www.example.com", "mailto:http://www.example.com"},
        {links::hmFTP, "http", "ftp://http"},
        // Nothing to open.
        {links::hmHTTP, "", ""},
        {links::hmMAIL, " \t ", ""},
        {links::hmCUSTOM, "www.example.com", ""},
        {links::hmCUSTOM, "http://www.example.com", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AddressFor(c.type, c.caption), c.expected) << c.type << " " << c.caption;
}

}  // namespace
