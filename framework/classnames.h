#pragma once
// Window class names registered by the program.

namespace fw::classnames {
inline constexpr char kApplication[] = "TApplication";
inline constexpr char kForm[] = "BriskJotForm";
inline constexpr char kUtility[] = "BriskJotUtility";
// The tray icon's window, by a name of its own so other programs can tell it from the rest.
inline constexpr char kTray[] = "BriskJotTray";
inline constexpr char kUrlLabel[] = "BriskJotURLLabel";
}  // namespace fw::classnames
