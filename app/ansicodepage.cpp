#include "app/ansicodepage.h"

#include <windows.h>

namespace {

class SystemCodePage final : public notecodec::CodePage {
public:
    std::u16string ToText(std::string_view bytes) const override {
        const int size = static_cast<int>(bytes.size());  // notes stop below 2 GiB
        std::u16string text(
            static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0)),
            u'\0');
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, reinterpret_cast<LPWSTR>(text.data()),
                            static_cast<int>(text.size()));
        return text;
    }

    bool ToBytes(std::u16string_view text, std::string& bytes) const override {
        // Where the system code page is UTF-8 every character fits, and Windows refuses the
        // fit check for it.
        const bool utf8 = GetACP() == CP_UTF8;
        BOOL usedDefault = FALSE;
        // The most bytes one unit takes: two in any double-byte code page, three in UTF-8.
        bytes.resize(text.size() * (utf8 ? 3 : 2));
        const int written = WideCharToMultiByte(
            CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, reinterpret_cast<LPCWSTR>(text.data()),
            static_cast<int>(text.size()), bytes.data(), static_cast<int>(bytes.size()), nullptr,
            utf8 ? nullptr : &usedDefault);
        bytes.resize(written > 0 ? static_cast<size_t>(written) : 0);
        return written > 0 && !usedDefault;
    }
};

}  // namespace

const notecodec::CodePage& AnsiCodePage() {
    static const SystemCodePage codePage;
    return codePage;
}
