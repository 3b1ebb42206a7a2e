#pragma once
// Windows-1252 as a table, the ANSI code page of the native note codec tests.

#include <string>
#include <string_view>

#include "app/notecodec.h"

namespace testfiles {

class Cp1252 : public notecodec::CodePage {
public:
    std::u16string ToText(std::string_view bytes) const override {
        std::u16string text;
        for (const char c : bytes) text += Char(static_cast<unsigned char>(c));
        return text;
    }
    bool ToBytes(std::u16string_view text, std::string& bytes) const override {
        bytes.clear();
        for (const char16_t c : text) {
            int b = 0;
            while (b < 256 && Char(static_cast<unsigned>(b)) != c) ++b;
            if (b == 256) return false;
            bytes += static_cast<char>(b);
        }
        return true;
    }

private:
    // 0x81, 0x8D, 0x8F, 0x90 and 0x9D are unassigned and map to the same control codes.
    static char16_t Char(unsigned b) {
        static const char16_t k80[32] = {
            0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
            0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
            0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
        return b >= 0x80 && b < 0xA0 ? k80[b - 0x80] : static_cast<char16_t>(b);
    }
};

}  // namespace testfiles
