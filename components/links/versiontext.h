#pragma once
// The version strings shown on the about box, made from the product version
// words of a module's fixed version information.

#include <cstdint>
#include <string>

namespace links {

struct VersionStrings {
    std::string one;    // major
    std::string two;    // major.minor
    std::string three;  // major.minor.release
    std::string four;   // major.minor.release.build
};

// ms and ls are dwProductVersionMS and dwProductVersionLS: the high word of
// each comes first.
VersionStrings FormatProductVersion(std::uint32_t ms, std::uint32_t ls);

}  // namespace links
