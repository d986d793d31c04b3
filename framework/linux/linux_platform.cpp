// The services of the Linux backends (GTK and the Linux services tests): one of each, and the
// process code page (the locale's charset: UTF-8).
#include "framework/linux/linux_services.h"

#include "framework/codepage.h"

#include <langinfo.h>

#include <cstring>

CPlatformServices& WsGetPlatformServices() {
    static CLinuxModule s_module;
    static CLinuxFiles s_files;
    static CLinuxAdapters s_adapters;
    static CLinuxClock s_clock;
    static CCurlHttpService s_http;
    static CLinuxProcesses s_processes;
    static CLinuxStateFolder s_state;
    static CPlatformServices s_services{s_module, s_files, s_adapters, s_clock, s_http, s_processes, s_state};
    return s_services;
}

std::string AfxDisplayPath(const std::string& strSystemPath) { return LinuxPath(strSystemPath); }

// The locale's charset; GBK locales give code page 936, everything else (the C locale included)
// counts as UTF-8, which is what GTK and WebKit hand out.
UINT WsGetProcessCodePage() {
    const char* pszCodeset = nl_langinfo(CODESET);
    if (pszCodeset != nullptr &&
        (strcasecmp(pszCodeset, "GBK") == 0 || strcasecmp(pszCodeset, "GB2312") == 0 ||
         strcasecmp(pszCodeset, "CP936") == 0)) {
        return 936;
    }
    return CP_UTF8;
}
