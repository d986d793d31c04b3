// The UTC clock on Linux.
//
// Realises: IClockService (clock_gettime; gmtime_r, and localtime_r for the player's time zone).
#include "framework/linux/linux_services.h"

#include <ctime>

namespace {

SYSTEMTIME ReadClock(bool bLocal) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm fields{};
    if (bLocal) {
        localtime_r(&now.tv_sec, &fields);
    } else {
        gmtime_r(&now.tv_sec, &fields);
    }
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(fields.tm_year + 1900);
    time.wMonth = static_cast<WORD>(fields.tm_mon + 1);
    time.wDayOfWeek = static_cast<WORD>(fields.tm_wday);
    time.wDay = static_cast<WORD>(fields.tm_mday);
    time.wHour = static_cast<WORD>(fields.tm_hour);
    time.wMinute = static_cast<WORD>(fields.tm_min);
    time.wSecond = static_cast<WORD>(fields.tm_sec);
    time.wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
    return time;
}

} // namespace

SYSTEMTIME CLinuxClock::GetSystemTime() { return ReadClock(false); }

SYSTEMTIME CLinuxClock::GetLocalTime() { return ReadClock(true); }
