#include "app/timestamp.h"

#include <algorithm>

namespace bj {
namespace {

// Out-of-range values are clamped rather than printed with a third digit or a sign.
void AppendTwoDigits(std::string& out, int value, int maxValue) {
    value = std::clamp(value, 0, maxValue);
    out += static_cast<char>('0' + value / 10);
    out += static_cast<char>('0' + value % 10);
}

}  // namespace

std::string FormatTimeStamp(std::string_view shortDateText, int hour, int minute,
                            std::string_view timeSeparator) {
    std::string stamp;
    stamp.reserve(shortDateText.size() + timeSeparator.size() + 8);
    stamp.append(shortDateText);
    stamp += ", ";
    AppendTwoDigits(stamp, hour, 23);
    stamp.append(timeSeparator);
    AppendTwoDigits(stamp, minute, 59);
    stamp += "\r\n";
    return stamp;
}

}  // namespace bj
