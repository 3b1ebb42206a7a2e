#include "app/timestamp.h"

#include <gtest/gtest.h>

namespace bj {
namespace {

TEST(TimeStamp, DateCommaTwoDigitTimeAndLineBreak) {
    struct Row {
        const char* date;
        int hour, minute;
        const char* separator;
        const char* expected;
    };
    const Row rows[] = {
        {"24.12.2024", 21, 5, ":", "24.12.2024, 21:05\r\n"},
        {"1/2/2025", 0, 0, ":", "1/2/2025, 00:00\r\n"},
        {"2025-01-02", 9, 5, ".", "2025-01-02, 09.05\r\n"},
        {"02/01/25", 12, 30, "", "02/01/25, 1230\r\n"},
        {"Thu 2 Jan", 23, 59, " h ", "Thu 2 Jan, 23 h 59\r\n"},
        {"", 7, 45, ":", ", 07:45\r\n"},
        {"x", 24, 60, ":", "x, 23:59\r\n"},
        {"x", -1, -5, ":", "x, 00:00\r\n"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FormatTimeStamp(row.date, row.hour, row.minute, row.separator), row.expected);
}

}  // namespace
}  // namespace bj
