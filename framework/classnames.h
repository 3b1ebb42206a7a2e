#pragma once
// Window class names registered by the program.

namespace fw::classnames {
inline constexpr char kApplication[] = "TApplication";
inline constexpr char kForm[] = "BriskJotForm";
inline constexpr char kUtility[] = "BriskJotUtility";
}  // namespace fw::classnames
