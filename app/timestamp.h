#pragma once
// The text the F5 key puts into the memo. The Win32 side supplies the date in the system's
// short date format and the locale's time separator.

#include <string>
#include <string_view>

namespace bj {

// Date, ", ", hour on the 24-hour clock and minute as two digits each with the separator
// between them, then CR LF: "24.12.2024, 21:05\r\n". Hour 0..23 and minute 0..59.
std::string FormatTimeStamp(std::string_view shortDateText, int hour, int minute,
                            std::string_view timeSeparator);

}  // namespace bj
