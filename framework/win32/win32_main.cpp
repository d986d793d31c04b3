// The program's entry on Windows: a GUI-subsystem WinMain.
//
// Window-system checklist (the same names open every realisation's main file; x = realised):
//   [x] windows       top-level and child windows, owners, styles, text, focus
//   [x] messages      send, post, dispatch, the quit message, PreTranslateMessage
//   [x] dialogs       from the framework's templates, their items, modal loops, EndDialog
//   [x] non-client    WM_NCCALCSIZE, WM_NCHITTEST, WM_NCPAINT, non-client mouse and leave
//   [x] painting      WM_PAINT, InvalidateRect (client area), UpdateWindow, window and client DCs
//   [x] layered       colour key, per-pixel alpha (UpdateLayeredWindow)
//   [x] regions       a window's shape (SetWindowRgn)
//   [x] input         mouse press, release, move, double-click, keys, move and size drags
//   [x] states        maximise, minimise, restore, activation, the system menu
//   [x] timers        WM_TIMER, the network's return
//   [x] drawing       DCs, bitmaps, BitBlt, AlphaBlend, icons, clipping; Gdi:: images and text
//   [x] resources     dialog templates, bitmaps, pictures, icons, HTML pages
//   [x] browser       the WebBrowser item: calls, events 250 / 259 / 271, title, UI handler, own pages
//   [ ] page process  the page's process ending (DISPID_PAGEPROCESSENDED)
//   [x] desktop       message boxes, shell open, work area, system metrics
//   [x] URL cache     the browser's cache entries, enumerated and deleted
// Differences:
//   - page process: the control runs inside our process; its crash is the process's.
//   - non-client: DefWindowProc classifies the rest of the frame by Windows' own caption metrics
//     (its close button's place answers HTCLOSE); the model answers HTCAPTION there.
//   - layered: under Wine without a compositor, partial alpha shows blended over black.
//   - browser: under Wine no page renders (no Wine Gecko): no DocumentComplete, no title, every
//     document ends in NavigateError; the rest is the real control.
//
// Realises: the framework's entry point after static initialisation (the application object exists
// by then): the DLL search restricted to System32 before anything else, common controls (ICC_WIN95_CLASSES),
// OLE in a single-threaded apartment for the control container, restart registration when the application
// asks for it, AfxWinInit with the command line after the program's name, InitInstance inside the dispatch
// boundary, the crash reporter and the run's first and last log lines. Does not realise: a message loop of
// its own (the system's windows run theirs).
#include "framework/app.h"
#include "framework/crash_reports.h"
#include "framework/exception.h"
#include "framework/run_log.h"

#include <commctrl.h>
#include <ole2.h>

#include "framework/win32/win32_dll_binding.h"

#include <string>

namespace {

// The command line after the program's name (quoted or not) and the blanks after it.
std::string ArgumentsOf(const char* pszCommandLine) {
    const char* p = pszCommandLine != nullptr ? pszCommandLine : "";
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"') {
            ++p;
        }
        if (*p == '"') {
            ++p;
        }
    } else {
        while (*p != '\0' && *p != ' ' && *p != '\t') {
            ++p;
        }
    }
    while (*p == ' ' || *p == '\t') {
        ++p;
    }
    return p;
}

// "Windows 10.0.19045", or Wine's version under Wine.
std::string PlatformText() {
    HMODULE hNtdll = GetModuleHandleA("ntdll.dll");
    using PWineVersion = const char*(CDECL*)();
    if (auto pfnWine = reinterpret_cast<PWineVersion>(
            reinterpret_cast<void*>(GetProcAddress(hNtdll, "wine_get_version")))) {
        return std::string("Windows (Wine ") + pfnWine() + ")";
    }
    using PRtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    auto pfnGetVersion =
        reinterpret_cast<PRtlGetVersion>(reinterpret_cast<void*>(GetProcAddress(hNtdll, "RtlGetVersion")));
    if (pfnGetVersion == nullptr || pfnGetVersion(&version) != 0) {
        return "Windows";
    }
    return "Windows " + std::to_string(version.dwMajorVersion) + "." +
           std::to_string(version.dwMinorVersion) + "." + std::to_string(version.dwBuildNumber);
}

// "1920 x 1080, work area 0,0 1920 x 1040, 96 dpi"
std::string ScreenText() {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    HDC hScreen = GetDC(nullptr);
    const int nDpi = GetDeviceCaps(hScreen, LOGPIXELSX);
    ReleaseDC(nullptr, hScreen);
    return std::to_string(GetSystemMetrics(SM_CXSCREEN)) + " x " +
           std::to_string(GetSystemMetrics(SM_CYSCREEN)) + ", work area " + std::to_string(work.left) + "," +
           std::to_string(work.top) + " " + std::to_string(work.right - work.left) + " x " +
           std::to_string(work.bottom - work.top) + ", " + std::to_string(nDpi) + " dpi";
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Win32RestrictDllSearch();
    AfxInstallCrashReporter(AfxGetRunLog().CrashReportPath(AfxCrashReportSuffix()));
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const bool bOle = SUCCEEDED(OleInitialize(nullptr));
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr) {
        return 1;
    }
    if ((pApp->m_dwRestartManagerSupportFlags & AFX_RESTART_MANAGER_SUPPORT_RESTART) != 0) {
        RegisterApplicationRestart(L"", 0);
    }
    AfxWinInit(pApp, ArgumentsOf(GetCommandLineA()));
    AfxLogRunStart(PlatformText(), ScreenText());
    AfxCallAtBoundary(nullptr, [pApp] { pApp->InitInstance(); });
    if (bOle) {
        OleUninitialize();
    }
    AfxLogRunEnd(0);
    return 0;
}
