// The UTC clock on Windows (GetSystemTime).
//
// Realises: IClockService. Does not realise: time zones (none is used).
#include <windows.h>

#include "framework/win32/win32_services.h"

SYSTEMTIME CWin32Clock::GetSystemTime() {
    SYSTEMTIME time{};
    ::GetSystemTime(&time);
    return time;
}
