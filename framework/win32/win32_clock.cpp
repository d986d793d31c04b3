#include <windows.h>

#include "framework/win32/win32_services.h"

SYSTEMTIME CWin32Clock::GetSystemTime() {
    SYSTEMTIME time{};
    ::GetSystemTime(&time);
    return time;
}
