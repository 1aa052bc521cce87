#include "runtime/registry/FileTimeClock.h"
#include "runtime/registry/WinReg.h"

#include <chrono>
#include <ctime>

namespace {

using namespace std::chrono;

constexpr int64_t TicksPerSecond = 10'000'000;
constexpr int64_t TicksPerDay = TicksPerSecond * 86'400;
// File time of 1 January 1970 UTC.
constexpr int64_t UnixEpochTicks = 116'444'736'000'000'000;
constexpr int64_t MaxFileTime = INT64_MAX;

int64_t ToTicks(const FILETIME& ft)
{
    return static_cast<int64_t>((static_cast<uint64_t>(ft.dwHighDateTime) << 32) |
                                ft.dwLowDateTime);
}

FILETIME FromTicks(int64_t ticks)
{
    const auto value = static_cast<uint64_t>(ticks);
    return {static_cast<DWORD>(value & 0xFFFFFFFFu), static_cast<DWORD>(value >> 32)};
}

// The ticks of an in-argument, when it and the out-argument are given and it
// is no negative time.
bool InTicks(const FILETIME* in, const void* out, int64_t& ticks)
{
    if (!in || !out)
        return false;
    ticks = ToTicks(*in);
    return ticks >= 0;
}

int64_t FloorDiv(int64_t a, int64_t b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

} // namespace

namespace zrv::reg {

uint64_t FileTimeNow()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<uint64_t>(UnixEpochTicks + now.tv_sec * TicksPerSecond + now.tv_nsec / 100);
}

} // namespace zrv::reg

extern "C" {

BOOL FileTimeToLocalFileTime(const FILETIME* lpFileTime, FILETIME* lpLocalFileTime)
{
    int64_t ticks = 0;
    if (!InTicks(lpFileTime, lpLocalFileTime, ticks))
        return FALSE;
    // The zone's offset at that instant (summer time included).
    const time_t unixSeconds =
        static_cast<time_t>(FloorDiv(ticks - UnixEpochTicks, TicksPerSecond));
    tm local{};
    if (!localtime_r(&unixSeconds, &local))
        return FALSE;
    const int64_t shifted = ticks + static_cast<int64_t>(local.tm_gmtoff) * TicksPerSecond;
    if (shifted < 0)
        return FALSE;
    *lpLocalFileTime = FromTicks(shifted);
    return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME* lpFileTime, SYSTEMTIME* lpSystemTime)
{
    int64_t ticks = 0;
    if (!InTicks(lpFileTime, lpSystemTime, ticks))
        return FALSE;
    const int64_t dayIndex = ticks / TicksPerDay;
    const int64_t inDay = ticks % TicksPerDay;
    // 1 January 1601 is 134774 days before 1 January 1970.
    const sys_days day{days{dayIndex - 134'774}};
    const year_month_day date{day};
    const weekday dayOfWeek{day};
    lpSystemTime->wYear = static_cast<WORD>(static_cast<int>(date.year()));
    lpSystemTime->wMonth = static_cast<WORD>(static_cast<unsigned>(date.month()));
    lpSystemTime->wDay = static_cast<WORD>(static_cast<unsigned>(date.day()));
    lpSystemTime->wDayOfWeek = static_cast<WORD>(dayOfWeek.c_encoding());
    lpSystemTime->wHour = static_cast<WORD>(inDay / (TicksPerSecond * 3600));
    lpSystemTime->wMinute = static_cast<WORD>(inDay / (TicksPerSecond * 60) % 60);
    lpSystemTime->wSecond = static_cast<WORD>(inDay / TicksPerSecond % 60);
    lpSystemTime->wMilliseconds = static_cast<WORD>(inDay / 10'000 % 1000);
    return TRUE;
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* lpSystemTime, FILETIME* lpFileTime)
{
    if (!lpSystemTime || !lpFileTime)
        return FALSE;
    const SYSTEMTIME& st = *lpSystemTime;
    const year_month_day date{year{st.wYear}, month{st.wMonth}, day{st.wDay}};
    if (st.wYear < 1601 || st.wYear > 30827 || !date.ok() || st.wHour > 23 || st.wMinute > 59 ||
        st.wSecond > 59 || st.wMilliseconds > 999)
        return FALSE;
    const int64_t dayIndex = sys_days{date}.time_since_epoch().count() + 134'774;
    const int64_t ticks = dayIndex * TicksPerDay +
                          ((st.wHour * 60 + st.wMinute) * 60 + st.wSecond) * TicksPerSecond +
                          st.wMilliseconds * 10'000;
    if (ticks < 0 || ticks > MaxFileTime)
        return FALSE;
    *lpFileTime = FromTicks(ticks);
    return TRUE;
}

} // extern "C"
