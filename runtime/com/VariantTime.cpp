// Automation dates: days since 30 December 1899; the fraction is the time of
// day, also for negative dates (-1.25 is 29 December 1899, 06:00).

#include "runtime/com/VariantTime.h"

#include "runtime/com/OleAuto.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace zrv::com {

namespace {

constexpr int64_t kSecondsPerDay = 86400;
// Days from 1 January 1970 back to 30 December 1899.
constexpr int64_t kEpochShift = 25569;
constexpr double kMinDate = -657434.0;      // 1 January 100
constexpr double kMaxDate = 2958465.999999; // 31 December 9999

struct CivilDate {
    int64_t year;
    unsigned month;
    unsigned day;
};

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's method).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

CivilDate CivilFromDays(int64_t z)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int64_t>(yoe) + era * 400 + (m <= 2), m, d};
}

struct Split {
    int64_t days;    // calendar day relative to 30 December 1899
    int64_t seconds; // time of day, rounded to the second
};

std::optional<Split> SplitDate(double date)
{
    if (!(date >= kMinDate && date <= kMaxDate))
        return std::nullopt;
    const double whole = std::trunc(date);
    auto days = static_cast<int64_t>(whole);
    auto seconds = static_cast<int64_t>(std::llround(std::fabs(date - whole) * kSecondsPerDay));
    if (seconds >= kSecondsPerDay) {
        seconds -= kSecondsPerDay;
        ++days;
    }
    return Split{days, seconds};
}

} // namespace

std::optional<std::string> FormatDate(double date)
{
    const auto split = SplitDate(date);
    if (!split)
        return std::nullopt;
    char text[64] = {};
    int used = 0;
    if (split->days != 0) {
        const CivilDate civil = CivilFromDays(split->days - kEpochShift);
        used = std::snprintf(text, sizeof text, "%u/%u/%lld", civil.month, civil.day,
                             static_cast<long long>(civil.year));
    }
    if (split->seconds != 0 || split->days == 0) {
        const auto hour = static_cast<int>(split->seconds / 3600);
        const auto minute = static_cast<int>(split->seconds / 60 % 60);
        const auto second = static_cast<int>(split->seconds % 60);
        const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
        std::snprintf(text + used, sizeof text - static_cast<size_t>(used), "%s%d:%02d:%02d %s",
                      used ? " " : "", hour12, minute, second, hour < 12 ? "AM" : "PM");
    }
    return std::string(text);
}

} // namespace zrv::com

extern "C" {

ZRVRT_API INT SystemTimeToVariantTime(const SYSTEMTIME* time, double* date)
{
    if (!time || !date || time->wYear < 100 || time->wYear > 9999 || time->wMonth < 1 ||
        time->wMonth > 12 || time->wDay < 1 || time->wDay > 31 || time->wHour > 23 ||
        time->wMinute > 59 || time->wSecond > 59)
        return FALSE;
    const int64_t days =
        zrv::com::DaysFromCivil(time->wYear, time->wMonth, time->wDay) + zrv::com::kEpochShift;
    const double fraction =
        (time->wHour * 3600.0 + time->wMinute * 60.0 + time->wSecond) / zrv::com::kSecondsPerDay;
    *date = days < 0 ? static_cast<double>(days) - fraction : static_cast<double>(days) + fraction;
    return TRUE;
}

ZRVRT_API INT VariantTimeToSystemTime(double date, SYSTEMTIME* time)
{
    const auto split = time ? zrv::com::SplitDate(date) : std::nullopt;
    if (!split)
        return FALSE;
    const int64_t unixDays = split->days - zrv::com::kEpochShift;
    const zrv::com::CivilDate civil = zrv::com::CivilFromDays(unixDays);
    time->wYear = static_cast<WORD>(civil.year);
    time->wMonth = static_cast<WORD>(civil.month);
    time->wDay = static_cast<WORD>(civil.day);
    // 1 January 1970 was a Thursday.
    time->wDayOfWeek = static_cast<WORD>(((unixDays % 7) + 11) % 7);
    time->wHour = static_cast<WORD>(split->seconds / 3600);
    time->wMinute = static_cast<WORD>(split->seconds / 60 % 60);
    time->wSecond = static_cast<WORD>(split->seconds % 60);
    time->wMilliseconds = 0;
    return TRUE;
}

} // extern "C"
