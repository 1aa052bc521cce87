#include "runtime/registry/WinReg.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>

namespace {

uint64_t Ticks(const FILETIME& ft)
{
    return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

FILETIME FromTicks(uint64_t ticks)
{
    return {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

struct CalendarCase {
    SYSTEMTIME time;
    uint64_t ticks;
};

} // namespace

TEST(RegistryFileTime, calendarFieldsConvertBothWays)
{
    const CalendarCase cases[] = {
        {{1601, 1, 1, 1, 0, 0, 0, 0}, 0},
        {{1970, 1, 4, 1, 0, 0, 0, 0}, 116444736000000000ull},
        {{2000, 2, 2, 29, 23, 59, 58, 999}, 125963423989990000ull},
        {{2026, 12, 1, 7, 12, 30, 15, 250}, 134411202152500000ull},
    };
    for (const CalendarCase& c : cases) {
        FILETIME ft{};
        ASSERT_TRUE(SystemTimeToFileTime(&c.time, &ft));
        EXPECT_EQ(Ticks(ft), c.ticks) << c.time.wYear;
        SYSTEMTIME back{};
        const FILETIME input = FromTicks(c.ticks);
        ASSERT_TRUE(FileTimeToSystemTime(&input, &back));
        EXPECT_EQ(back.wYear, c.time.wYear);
        EXPECT_EQ(back.wMonth, c.time.wMonth);
        EXPECT_EQ(back.wDay, c.time.wDay);
        EXPECT_EQ(back.wDayOfWeek, c.time.wDayOfWeek) << c.time.wYear;
        EXPECT_EQ(back.wHour, c.time.wHour);
        EXPECT_EQ(back.wMinute, c.time.wMinute);
        EXPECT_EQ(back.wSecond, c.time.wSecond);
        EXPECT_EQ(back.wMilliseconds, c.time.wMilliseconds);
    }
}

TEST(RegistryFileTime, invalidInputsFail)
{
    const SYSTEMTIME february30{2001, 2, 0, 30, 0, 0, 0, 0};
    const SYSTEMTIME before1601{1600, 12, 0, 31, 0, 0, 0, 0};
    FILETIME ft{};
    EXPECT_FALSE(SystemTimeToFileTime(&february30, &ft));
    EXPECT_FALSE(SystemTimeToFileTime(&before1601, &ft));
    const FILETIME negative{0, 0x80000000u};
    SYSTEMTIME st{};
    EXPECT_FALSE(FileTimeToSystemTime(&negative, &st));
    EXPECT_FALSE(FileTimeToLocalFileTime(nullptr, &ft));
}

TEST(RegistryFileTime, localTimeUsesTheZoneOffsetOfThatInstant)
{
    const char* saved = std::getenv("TZ");
    const std::string previous = saved ? saved : "";
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
    const uint64_t hour = 36000000000ull;
    SYSTEMTIME winter{2024, 1, 0, 15, 12, 0, 0, 0};
    SYSTEMTIME summer{2024, 7, 0, 15, 12, 0, 0, 0};
    for (const auto& [time, offsetHours] : {std::pair{winter, 1ull}, std::pair{summer, 2ull}}) {
        FILETIME utc{};
        FILETIME local{};
        ASSERT_TRUE(SystemTimeToFileTime(&time, &utc));
        ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local));
        EXPECT_EQ(Ticks(local) - Ticks(utc), offsetHours * hour);
    }
    if (saved)
        setenv("TZ", previous.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}
