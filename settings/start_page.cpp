// The start address of the launcher's browser.
#include "settings/client_config.h"

#include "settings/client_reporter.h"

#include "framework/app.h"
#include "framework/codepage.h"

namespace {

// The address a "-url" argument gives, or the empty string when the command line has none.
// "-url" followed by an address in double quotes gives the text from the first quote on with every
// quote removed; without a quote, the next blank-separated word after the marker.
std::string AddressFromCommandLine(const std::string& strCommandLine, bool& bFound) {
    bFound = false;
    const std::size_t nMarker = AfxFindString(CP_ACP, strCommandLine, "-url");
    if (nMarker == std::string::npos) {
        return {};
    }
    const std::string strRest = strCommandLine.substr(nMarker);
    const std::size_t nQuote = AfxFindString(CP_ACP, strRest, "\"");
    if (nQuote != std::string::npos) {
        bFound = true;
        std::string strAddress;
        for (char ch : strRest.substr(nQuote)) {
            if (ch != '"') {
                strAddress += ch;
            }
        }
        return strAddress;
    }
    const std::size_t nWord = strRest.find_first_not_of(" \t", 4);
    if (nWord == std::string::npos) {
        return {};
    }
    bFound = true;
    return strRest.substr(nWord, strRest.find_first_of(" \t", nWord) - nWord);
}

} // namespace

std::string CClientConfig::StartPage() {
    const std::string strPage = GetValue("page");
    const std::string strPlatform = GetValue("platform");
    if (strPlatform == "baidu") {
        return strPage + "&mac=" + CClientReporter::Instance()->GetMacAddressText();
    }
    if (strPlatform == "360") {
        const CWinApp* pApp = AfxGetApp();
        const std::string strCommandLine =
            pApp != nullptr && pApp->m_lpCmdLine != nullptr ? pApp->m_lpCmdLine : "";
        bool bFound = false;
        const std::string strAddress = AddressFromCommandLine(strCommandLine, bFound);
        return bFound ? strAddress : strPage;
    }
    return strPage;
}
