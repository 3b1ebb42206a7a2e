#include "components/help/namehash.h"

#include <array>

namespace {

constexpr std::int32_t Weight(int c) {
    // Space to "/" have no pattern of their own.
    constexpr std::int32_t kPunctuation[16] = {-16, 11, -14, 243, 244, 245, -10, -9,
                                               -8,  -7, 250, 251, -4,  -3,  12,  -1};
    if (c == 0) return 0;
    if (c <= 31) return c + 208;
    if (c <= 47) return kPunctuation[c - 32];
    if (c == '0') return 10;
    if (c <= '9') return c - '0';
    if (c <= '@') return c - 48;  // ":" to "@" weigh 10 to 16
    if (c <= 'Z') return c - 'A' + 17;
    switch (c) {
        case '[':
            return 11;
        case '\\':
            return 12;
        case ']':
            return 13;
        case '^':
            return 14;
        case '_':
            return 13;
        case '`':
            return 16;
        default:
            break;
    }
    if (c <= 'z') return c - 'a' + 17;
    if (c <= 127) return c - 80;  // "{" to DEL weigh 43 to 47
    if (c >= 145 && c <= 151) return c - 48;
    return c - 304;
}

constexpr std::array<std::int32_t, 256> MakeWeights() {
    std::array<std::int32_t, 256> table{};
    for (int c = 0; c < 256; ++c) table[static_cast<std::size_t>(c)] = Weight(c);
    return table;
}

constexpr std::array<std::int32_t, 256> kWeights = MakeWeights();

}  // namespace

std::int32_t HashName(std::string_view name) {
    std::uint32_t hash = 0;
    for (const char c : name) {
        hash = static_cast<std::uint32_t>(kWeights[static_cast<unsigned char>(c)]) + 43u * hash;
    }
    return static_cast<std::int32_t>(hash);
}
