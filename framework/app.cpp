#include "framework/app.h"

#include "framework/codepage.h"
#include "framework/services.h"
#include "framework/startup_trace.h"

namespace {
CWinApp* g_pApp = nullptr;
}

CWinApp::CWinApp(const char* lpszAppName) {
    AfxTraceStartup("application-object");
    if (lpszAppName != nullptr) {
        m_strAppName = lpszAppName;
        m_pszAppName = m_strAppName.c_str();
    }
    m_lpCmdLine = m_strCommandLine.c_str();
    g_pApp = this;
}

CWinApp::~CWinApp() {
    if (g_pApp == this) {
        g_pApp = nullptr;
    }
}

BOOL CWinApp::InitInstance() { return TRUE; }

CWinApp* AfxGetApp() { return g_pApp; }

std::string AfxExeNameFromPath(const std::string& strPath) {
    const std::size_t nSlash = AfxFindLastChar(CP_ACP, strPath, '\\');
    std::string strName = nSlash == std::string::npos ? strPath : strPath.substr(nSlash + 1);
    const std::size_t nDot = AfxFindLastChar(CP_ACP, strName, '.');
    if (nDot != std::string::npos && nDot > 0) {
        strName.resize(nDot);
    }
    return strName;
}

void AfxWinInit(CWinApp* pApp, const std::string& strCommandLine) {
    if (pApp == nullptr) {
        return;
    }
    pApp->m_strExeName = AfxExeNameFromPath(AfxGetPlatformServices().module.GetModulePath());
    pApp->m_pszExeName = pApp->m_strExeName.c_str();
    if (pApp->m_pszAppName == nullptr) {
        pApp->m_strAppName = pApp->m_strExeName;
        pApp->m_pszAppName = pApp->m_strAppName.c_str();
    }
    pApp->m_strCommandLine = strCommandLine;
    pApp->m_lpCmdLine = pApp->m_strCommandLine.c_str();
}

std::string AfxJoinCommandLine(int argc, const char* const* argv) {
    std::string strLine;
    for (int i = 0; i < argc; ++i) {
        const std::string strArgument = argv[i] != nullptr ? argv[i] : "";
        if (!strLine.empty()) {
            strLine += ' ';
        }
        if (strArgument.find(' ') != std::string::npos) {
            strLine += '"' + strArgument + '"';
        } else {
            strLine += strArgument;
        }
    }
    return strLine;
}
