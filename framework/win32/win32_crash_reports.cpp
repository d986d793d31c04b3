// Crash reports on Windows: an unhandled-exception filter writes a minidump (the normal kind, with
// the thread list) and lets the exception go on to end the process as it would have.
//
// Realises: AfxInstallCrashReporter. dbghelp is not a KnownDLL: it is bound from System32 when the
// filter is installed, never from the program's folder, and never loaded inside a crashed process.
#include <windows.h>

#include <dbghelp.h>

#include "framework/crash_reports.h"

#include <string>

namespace {

using PMiniDumpWriteDump = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE,
                                         PMINIDUMP_EXCEPTION_INFORMATION, PMINIDUMP_USER_STREAM_INFORMATION,
                                         PMINIDUMP_CALLBACK_INFORMATION);

PMiniDumpWriteDump g_pfnWriteDump = nullptr;
wchar_t g_szReportPath[MAX_PATH * 2];
LONG g_nReporting = 0;

// The report's folders, from the drive's root down.
void MakeFolders(wchar_t* pszPath) {
    wchar_t* pszLast = wcsrchr(pszPath, L'\\');
    for (wchar_t* p = wcschr(pszPath, L'\\'); p != nullptr && p < pszLast; p = wcschr(p + 1, L'\\')) {
        if (p > pszPath && p[-1] != L':') {
            *p = L'\0';
            CreateDirectoryW(pszPath, nullptr);
            *p = L'\\';
        }
    }
    *pszLast = L'\0';
    CreateDirectoryW(pszPath, nullptr);
    *pszLast = L'\\';
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* pPointers) {
    if (InterlockedExchange(&g_nReporting, 1) == 0 && g_pfnWriteDump != nullptr) {
        MakeFolders(g_szReportPath);
        HANDLE hFile = CreateFileW(g_szReportPath, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
        if (hFile != INVALID_HANDLE_VALUE) {
            MINIDUMP_EXCEPTION_INFORMATION exception{GetCurrentThreadId(), pPointers, FALSE};
            g_pfnWriteDump(GetCurrentProcess(), GetCurrentProcessId(), hFile, MiniDumpNormal, &exception,
                           nullptr, nullptr);
            CloseHandle(hFile);
        }
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

} // namespace

const char* AfxCrashReportSuffix() { return ".dmp"; }

void AfxInstallCrashReporter(const std::string& strReportPath) {
    const int nLength =
        MultiByteToWideChar(CP_ACP, 0, strReportPath.c_str(), -1, g_szReportPath,
                            static_cast<int>(sizeof(g_szReportPath) / sizeof(g_szReportPath[0])));
    if (strReportPath.empty() || nLength <= 0 || wcschr(g_szReportPath, L'\\') == nullptr) {
        return;
    }
    HMODULE hDbgHelp = LoadLibraryExW(L"dbghelp.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (hDbgHelp == nullptr) {
        return;
    }
    g_pfnWriteDump = reinterpret_cast<PMiniDumpWriteDump>(
        reinterpret_cast<void*>(GetProcAddress(hDbgHelp, "MiniDumpWriteDump")));
    if (g_pfnWriteDump != nullptr) {
        SetUnhandledExceptionFilter(OnUnhandledException);
    }
}
