#pragma once
// The hash under which the help context map files a help project's context names.

#include <cstdint>
#include <string_view>

// Letter case does not change the result; arithmetic wraps at 32 bits.
std::int32_t HashName(std::string_view name);
