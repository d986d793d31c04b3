#include "settings/client_reporter.h"

#include "settings/client_config.h"

#include "framework/app.h"
#include "framework/internet.h"
#include "framework/run_log.h"
#include "framework/services.h"

#include <cstdio>
#include <memory>

CClientReporter* g_pClientReporter = nullptr;

CClientReporter* CClientReporter::Instance() {
    if (g_pClientReporter == nullptr) {
        g_pClientReporter = new CClientReporter;
    }
    return g_pClientReporter;
}

std::string CClientReporter::GetMacAddressText() {
    std::vector<CNetworkAdapter> adapters;
    if (!AfxGetPlatformServices().adapters.GetAdapters(adapters) || adapters.empty()) {
        return {};
    }
    std::vector<BYTE> address = adapters.front().address;
    address.resize(6, 0);
    char szText[13];
    std::snprintf(szText, sizeof(szText), "%02X%02X%02X%02X%02X%02X", address[0], address[1], address[2],
                  address[3], address[4], address[5]);
    return szText;
}

void CClientReporter::ReportFirstOpen() {
    CClientConfig* pConfig = CClientConfig::Instance();
    if (pConfig->GetValue("platform") != "baidu") {
        AfxLog("first-open report: none on this platform");
        return;
    }
    if (pConfig->GetValue("firstopen") == "false") {
        AfxLog("first-open report: not sent, it was made at an earlier start");
        return;
    }
    const std::string strSuccess = pConfig->GetValue("success");
    if (strSuccess.empty()) {
        AfxLog("first-open report: not sent, no report address is set");
        return;
    }
    const std::string strTime = ReportTimeText();
    const std::string strMac = GetMacAddressText();
    // The address as set, before the adapter's address is added to it.
    AfxLog("first-open report: sending to " + AfxLogAddress(strSuccess));
    try {
        HitUrl(strSuccess + "&mac=" + strMac + "&time=" + strTime);
    } catch (const CInternetException& exception) {
        char szText[256] = {};
        exception.GetErrorMessage(szText, sizeof(szText));
        AfxLogFormat("first-open report: failed (error %lu): %s",
                     static_cast<unsigned long>(exception.m_dwError), szText);
        throw;
    }
    pConfig->AppendEntry("firstopen", "false");
}

void CClientReporter::HitUrl(std::string strUrl) {
    const CWinApp* pApp = AfxGetApp();
    CInternetSession session(pApp != nullptr ? pApp->m_pszExeName : nullptr, 1, INTERNET_OPEN_TYPE_PRECONFIG,
                             nullptr, nullptr, 0);
    std::unique_ptr<CStdioFile> pFile;
    try {
        pFile.reset(session.OpenURL(strUrl.c_str(), 1, INTERNET_FLAG_TRANSFER_ASCII, nullptr, 0));
    } catch (const CInternetException& exception) {
        // The report is best effort: an address that cannot be opened is not retried.
        char szText[256] = {};
        exception.GetErrorMessage(szText, sizeof(szText));
        AfxLogFormat("first-open report: the address could not be opened (error %lu): %s",
                     static_cast<unsigned long>(exception.m_dwError), szText);
    }
    if (pFile) {
        std::string strLine;
        std::size_t nLines = 0;
        while (pFile->ReadString(strLine)) {
            ++nLines;
        }
        AfxLogFormat("first-open report: answered, %lu line(s) read", static_cast<unsigned long>(nLines));
    }
    session.Close();
    if (pFile) {
        pFile->Close();
    }
}

std::string CClientReporter::ReportTimeText() {
    const SYSTEMTIME time = AfxGetPlatformServices().clock.GetSystemTime();
    char szText[32];
    std::snprintf(szText, sizeof(szText), "%02d:%02d:%02d GMT+0800", (time.wHour + 8) % 24, time.wMinute,
                  time.wSecond);
    return szText;
}
