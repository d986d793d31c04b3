// The application object of the framework: the process's entry into the system.
#pragma once

#include "framework/windefs.h"

#include <string>

class CWnd;

class CWinApp {
public:
    explicit CWinApp(const char* lpszAppName = nullptr);
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    // Called by the framework's entry point; a FALSE result ends the process without a message loop.
    virtual BOOL InitInstance();

    const char* m_pszAppName = nullptr;
    const char* m_pszExeName = nullptr; // the executable's file name without its extension
    const char* m_lpCmdLine = nullptr;  // the command line after the program name ("" without arguments)
    CWnd* m_pMainWnd = nullptr;

    // Restart-manager support of the framework (the flag values of the classic framework).
    DWORD m_dwRestartManagerSupportFlags = 0;

private:
    friend void AfxWinInit(CWinApp* pApp, const std::string& strCommandLine);
    std::string m_strAppName;
    std::string m_strExeName;
    std::string m_strCommandLine;
};

#define AFX_RESTART_MANAGER_SUPPORT_RESTART 0x01

// The one application object, or null before it is constructed.
CWinApp* AfxGetApp();

// Fills the application's executable name (from the module path) and command line.
void AfxWinInit(CWinApp* pApp, const std::string& strCommandLine);

// The file name of a path without its directory and extension ("C:\a\b.exe" gives "b").
std::string AfxExeNameFromPath(const std::string& strPath);

// The command-line text for an argument vector (the program name excluded): the arguments joined by
// single blanks, an argument containing a blank written inside double quotes.
std::string AfxJoinCommandLine(int argc, const char* const* argv);
