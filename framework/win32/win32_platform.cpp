// The services of the Windows backend.
#include <windows.h>

#include "framework/win32/win32_services.h"

#include "framework/codepage.h"

CPlatformServices& WsGetPlatformServices() {
    static CWin32Module s_module;
    static CWin32Files s_files;
    static CWin32Adapters s_adapters;
    static CWin32Clock s_clock;
    static CWinInetHttpService s_http;
    static CWin32Processes s_processes;
    static CPlatformServices s_services{s_module, s_files, s_adapters, s_clock, s_http, s_processes};
    return s_services;
}

UINT WsGetProcessCodePage() { return GetACP(); }
