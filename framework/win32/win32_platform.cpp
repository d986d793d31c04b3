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
    static CWin32StateFolder s_state;
    static CPlatformServices s_services{s_module, s_files, s_adapters, s_clock, s_http, s_processes, s_state};
    return s_services;
}

std::string Win32ErrorText(HMODULE hModule, DWORD dwError) {
    char* pszText = nullptr;
    const DWORD dwFlags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                          FORMAT_MESSAGE_IGNORE_INSERTS |
                          (hModule != nullptr ? FORMAT_MESSAGE_FROM_HMODULE : 0);
    const DWORD nLength =
        FormatMessageA(dwFlags, hModule, dwError, 0, reinterpret_cast<char*>(&pszText), 0, nullptr);
    std::string strText = nLength > 0 && pszText != nullptr ? std::string(pszText, nLength) : std::string();
    if (pszText != nullptr) {
        LocalFree(pszText);
    }
    while (!strText.empty() && (strText.back() == '\n' || strText.back() == '\r' || strText.back() == ' ')) {
        strText.pop_back();
    }
    return strText;
}

UINT WsGetProcessCodePage() { return GetACP(); }

std::string AfxDisplayPath(const std::string& strSystemPath) { return strSystemPath; }
