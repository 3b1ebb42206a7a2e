#include "components/links/versiontext.h"

namespace links {

VersionStrings FormatProductVersion(std::uint32_t ms, std::uint32_t ls) {
    // Each part is an unsigned 16-bit word; decimal, no leading zeros.
    const std::string major = std::to_string(ms >> 16);
    const std::string minor = std::to_string(ms & 0xFFFFu);
    const std::string release = std::to_string(ls >> 16);
    const std::string build = std::to_string(ls & 0xFFFFu);
    VersionStrings text;
    text.one = major;
    text.two = text.one + "." + minor;
    text.three = text.two + "." + release;
    text.four = text.three + "." + build;
    return text;
}

}  // namespace links
