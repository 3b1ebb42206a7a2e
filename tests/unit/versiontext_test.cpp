// The four version strings from the product version words.
#include "components/links/versiontext.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(VersionText, FourFormsFromTheProductVersionWords) {
    struct Case {
        std::uint32_t ms, ls;
        const char *one, *two, *three, *four;
    };
    const Case cases[] = {
        {0x00040003, 0x00000000, "4", "4.3", "4.3.0", "4.3.0.0"},
        {0x00010000, 0x00000000, "1", "1.0", "1.0.0", "1.0.0.0"},
        {0x00000000, 0x00000000, "0", "0.0", "0.0.0", "0.0.0.0"},
        // Words in the right order: major/minor from MS, release/build from LS.
        {0x0001000A, 0x01F40FA0, "1", "1.10", "1.10.500", "1.10.500.4000"},
        // Unsigned 16-bit: the top bit must not make a part negative.
        {0xFFFF8000, 0x8001FFFF, "65535", "65535.32768", "65535.32768.32769",
         "65535.32768.32769.65535"},
        // No leading zeros, whatever the width.
        {0x000A0009, 0x00640007, "10", "10.9", "10.9.100", "10.9.100.7"},
    };
    for (const Case& c : cases) {
        const links::VersionStrings text = links::FormatProductVersion(c.ms, c.ls);
        EXPECT_EQ(text.one, c.one) << c.four;
        EXPECT_EQ(text.two, c.two) << c.four;
        EXPECT_EQ(text.three, c.three) << c.four;
        EXPECT_EQ(text.four, c.four);
    }
}

}  // namespace
