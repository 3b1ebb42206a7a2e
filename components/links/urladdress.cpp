#include "components/links/urladdress.h"

#include <cctype>
#include <cstddef>

namespace links {
namespace {

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    std::size_t i = 0;
    for (; prefix[i] != '\0'; ++i) {
        if (i >= text.size()) return false;
        const auto a = static_cast<unsigned char>(text[i]);
        const auto b = static_cast<unsigned char>(prefix[i]);
        if (std::tolower(a) != std::tolower(b)) return false;
    }
    return true;
}

std::string Trimmed(const std::string& text) {
    const char* const blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return "";
    const std::size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

}  // namespace

std::string AddressFor(TLabelType type, const std::string& caption) {
    std::string text = Trimmed(caption);
    if (text.empty()) return "";
    switch (type) {
        case hmHTTP:
            if (StartsWithNoCase(text, "http://") || StartsWithNoCase(text, "https://"))
                return text;
            return "http://" + text;
        case hmMAIL:
            if (StartsWithNoCase(text, "mailto:")) return text;
            return "mailto:" + text;
        case hmFTP:
            if (StartsWithNoCase(text, "ftp://")) return text;
            return "ftp://" + text;
        case hmCUSTOM:
            break;
    }
    return "";
}

}  // namespace links
