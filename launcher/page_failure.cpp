#include "launcher/page_failure.h"

#include "framework/browser.h"
#include "framework/codepage.h"

#include <iterator>

EPageFailure ClassifyNavigateError(HRESULT hrStatus) {
    switch (hrStatus) {
    case INET_E_NO_SESSION:
        return EPageFailure::NoNetwork;
    case INET_E_RESOURCE_NOT_FOUND:
        return EPageFailure::NameNotFound;
    case INET_E_CANNOT_CONNECT:
        return EPageFailure::Refused;
    case INET_E_CONNECTION_TIMEOUT:
    case INET_E_DOWNLOAD_FAILURE:
    case INET_E_DATA_NOT_AVAILABLE:
    case INET_E_CANNOT_LOAD_DATA:
        return EPageFailure::NoAnswer;
    case INET_E_SECURITY_PROBLEM:
    case INET_E_INVALID_CERTIFICATE:
        return EPageFailure::SecureConnection;
    default:
        return EPageFailure::None;
    }
}

const char* PageFailureCode(EPageFailure eFailure) {
    switch (eFailure) {
    case EPageFailure::NoNetwork:
        return "nonetwork";
    case EPageFailure::NameNotFound:
        return "notfound";
    case EPageFailure::Refused:
        return "refused";
    case EPageFailure::NoAnswer:
        return "noanswer";
    case EPageFailure::SecureConnection:
        return "secure";
    case EPageFailure::PageStopped:
        return "stopped";
    case EPageFailure::None:
        break;
    }
    return "";
}

std::string ComposeFailurePageParameters(EPageFailure eFailure, const std::string& strUrl) {
    static const char kHex[] = "0123456789abcdef";
    std::string strParameters = std::string(PageFailureCode(eFailure)) + ":";
    for (unsigned char c : AfxUtf16ToCodePage(CP_UTF8, AfxCodePageToUtf16(CP_ACP, strUrl))) {
        strParameters += kHex[c >> 4];
        strParameters += kHex[c & 0xF];
    }
    return strParameters;
}

unsigned RetryDelaySeconds(unsigned nRetry) {
    static const unsigned kDelays[] = {3, 10, 30, 60};
    return nRetry < std::size(kDelays) ? kDelays[nRetry] : 60;
}
