// The program's entry on Windows: a GUI-subsystem WinMain.
//
// Realises: the framework's entry point after static initialisation (the application object exists
// by then): common controls (ICC_WIN95_CLASSES), OLE in a single-threaded apartment for the control
// container, restart registration when the application asks for it, AfxWinInit with the command line
// after the program's name, InitInstance inside the dispatch boundary.
// Does not realise: a message loop of its own (the system's windows run theirs).
#include "framework/app.h"
#include "framework/exception.h"

#include <commctrl.h>
#include <ole2.h>

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

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
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
    AfxCallAtBoundary(nullptr, [pApp] { pApp->InitInstance(); });
    if (bOle) {
        OleUninitialize();
    }
    return 0;
}
