// The clock on Windows: UTC (GetSystemTime) and the player's time (GetLocalTime).
//
// Realises: IClockService.
#include <windows.h>

#include "framework/win32/win32_services.h"

SYSTEMTIME CWin32Clock::GetSystemTime() {
    SYSTEMTIME time{};
    ::GetSystemTime(&time);
    return time;
}

SYSTEMTIME CWin32Clock::GetLocalTime() {
    SYSTEMTIME time{};
    ::GetLocalTime(&time);
    return time;
}
