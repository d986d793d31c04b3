// HTTP GET on Windows with WinInet.
//
// Realises: IHttpService (PRECONFIG proxies, timeouts on the request handle, redirects followed here
// to the shared bound, a body cut short of its length reported as a failure, the platform's error
// texts). Does not realise: POST, authentication.
#include <windows.h>
#include <wininet.h>

#include "framework/win32/scoped_handle.h"
#include "framework/win32/win32_services.h"

#include "framework/internet.h"

#include <algorithm>
#include <vector>

namespace {

using CInternetHandle = CScopedHandle<HINTERNET, InternetCloseHandle, nullptr>;

CHttpResult Failure(EHttpOutcome eOutcome, DWORD dwError, std::string strBody = {}) {
    return CHttpResult{eOutcome, dwError, std::move(strBody)};
}

// A number from the response head (status code, Content-Length); false when the head has none.
bool QueryNumber(HINTERNET hRequest, DWORD dwInfo, DWORD& dwValue) {
    DWORD dwSize = sizeof(dwValue);
    return HttpQueryInfoA(hRequest, dwInfo | HTTP_QUERY_FLAG_NUMBER, &dwValue, &dwSize, nullptr) != FALSE;
}

std::string QueryText(HINTERNET hRequest, DWORD dwInfo) {
    DWORD dwSize = 0;
    HttpQueryInfoA(hRequest, dwInfo, nullptr, &dwSize, nullptr);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || dwSize == 0) {
        return {};
    }
    std::vector<char> text(dwSize + 1, '\0');
    if (!HttpQueryInfoA(hRequest, dwInfo, text.data(), &dwSize, nullptr)) {
        return {};
    }
    return std::string(text.data(), dwSize);
}

// The address a Location value names, seen from the address that answered with it.
std::string CombineUrl(const std::string& strBase, const std::string& strLocation) {
    DWORD dwSize = static_cast<DWORD>(strBase.size() + strLocation.size() + 64);
    std::vector<char> combined(dwSize, '\0');
    if (!InternetCombineUrlA(strBase.c_str(), strLocation.c_str(), combined.data(), &dwSize, ICU_NO_ENCODE)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            return {};
        }
        combined.assign(dwSize + 1, '\0');
        if (!InternetCombineUrlA(strBase.c_str(), strLocation.c_str(), combined.data(), &dwSize,
                                 ICU_NO_ENCODE)) {
            return {};
        }
    }
    return std::string(combined.data());
}

bool IsFollowedRedirect(DWORD dwStatus) {
    return dwStatus == 301 || dwStatus == 302 || dwStatus == 303 || dwStatus == 307 || dwStatus == 308;
}

class CWinInetSession : public IHttpSession {
public:
    CWinInetSession(HINTERNET hSession, CHttpBounds bounds) : m_session(hSession), m_bounds(bounds) {}

    CHttpResult Get(const std::string& strUrl) override {
        // Redirects are followed here, a bounded number of times (WinInet's own following has no bound
        // that holds everywhere).
        std::string strCurrent = AfxEncodeBlanksForWire(strUrl);
        for (int nRedirects = 0;; ++nRedirects) {
            std::string strLocation;
            CHttpResult result = GetOnce(strCurrent, strLocation);
            if (strLocation.empty()) {
                return result;
            }
            if (nRedirects == m_bounds.nMaxRedirects) {
                return Failure(EHttpOutcome::OpenFailed, ERROR_HTTP_REDIRECT_FAILED);
            }
            strCurrent = CombineUrl(strCurrent, strLocation);
            if (strCurrent.empty()) {
                return Failure(EHttpOutcome::OpenFailed, ERROR_HTTP_REDIRECT_FAILED);
            }
        }
    }

private:
    // One request. A redirect to follow leaves its Location in strLocation and reads nothing.
    CHttpResult GetOnce(const std::string& strWireUrl, std::string& strLocation) {
        char szHost[INTERNET_MAX_HOST_NAME_LENGTH + 1] = {};
        std::vector<char> path(strWireUrl.size() + 2, '\0');
        std::vector<char> extra(strWireUrl.size() + 2, '\0');
        URL_COMPONENTSA parts{};
        parts.dwStructSize = sizeof(parts);
        parts.lpszHostName = szHost;
        parts.dwHostNameLength = sizeof(szHost);
        parts.lpszUrlPath = path.data();
        parts.dwUrlPathLength = static_cast<DWORD>(path.size());
        parts.lpszExtraInfo = extra.data();
        parts.dwExtraInfoLength = static_cast<DWORD>(extra.size());
        if (!InternetCrackUrlA(strWireUrl.c_str(), 0, 0, &parts)) {
            return Failure(EHttpOutcome::OpenFailed, GetLastError());
        }
        if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
            return Failure(EHttpOutcome::OpenFailed, ERROR_INTERNET_UNRECOGNIZED_SCHEME);
        }
        CInternetHandle connection(InternetConnectA(m_session.Get(), szHost, parts.nPort, nullptr, nullptr,
                                                    INTERNET_SERVICE_HTTP, 0, 1));
        if (connection.Get() == nullptr) {
            return Failure(EHttpOutcome::OpenFailed, GetLastError());
        }
        const std::string strObject = parts.dwUrlPathLength + parts.dwExtraInfoLength == 0
                                          ? std::string(1, '/')
                                          : std::string(path.data()) + extra.data();
        DWORD dwFlags = INTERNET_FLAG_TRANSFER_ASCII | INTERNET_FLAG_NO_AUTO_REDIRECT;
        if (parts.nScheme == INTERNET_SCHEME_HTTPS) {
            dwFlags |= INTERNET_FLAG_SECURE;
        }
        CInternetHandle request(HttpOpenRequestA(connection.Get(), "GET", strObject.c_str(), nullptr, nullptr,
                                                 nullptr, dwFlags, 1));
        if (request.Get() == nullptr) {
            return Failure(EHttpOutcome::OpenFailed, GetLastError());
        }
        // Timeouts take effect on the request handle only (those of the session handle are not honoured).
        DWORD dwConnect = static_cast<DWORD>(m_bounds.nConnectSeconds * 1000);
        DWORD dwIdle = static_cast<DWORD>(m_bounds.nIdleSeconds * 1000);
        InternetSetOptionA(request.Get(), INTERNET_OPTION_CONNECT_TIMEOUT, &dwConnect, sizeof(dwConnect));
        InternetSetOptionA(request.Get(), INTERNET_OPTION_SEND_TIMEOUT, &dwIdle, sizeof(dwIdle));
        InternetSetOptionA(request.Get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &dwIdle, sizeof(dwIdle));
        if (!HttpSendRequestA(request.Get(), nullptr, 0, nullptr, 0)) {
            return Failure(EHttpOutcome::OpenFailed, GetLastError());
        }
        DWORD dwStatus = 0;
        if (QueryNumber(request.Get(), HTTP_QUERY_STATUS_CODE, dwStatus) && IsFollowedRedirect(dwStatus)) {
            strLocation = QueryText(request.Get(), HTTP_QUERY_LOCATION);
            if (!strLocation.empty()) {
                return Failure(EHttpOutcome::OpenFailed, 0);
            }
        }
        std::string strBody;
        char buffer[16384];
        for (;;) {
            // Asking what is available first hands over what arrived before a stall.
            DWORD nAvailable = 0;
            if (!InternetQueryDataAvailable(request.Get(), &nAvailable, 0, 0)) {
                return Failure(EHttpOutcome::ReadFailed, GetLastError(), std::move(strBody));
            }
            if (nAvailable == 0) {
                break;
            }
            const DWORD nWant = std::min<DWORD>(sizeof(buffer), nAvailable);
            DWORD nRead = 0;
            if (!InternetReadFile(request.Get(), buffer, nWant, &nRead)) {
                return Failure(EHttpOutcome::ReadFailed, GetLastError(), std::move(strBody));
            }
            if (nRead == 0 || !AfxAppendBounded(strBody, buffer, nRead, m_bounds.nMaxBodyBytes)) {
                return CHttpResult{EHttpOutcome::Completed, 0, std::move(strBody)};
            }
        }
        // The end came before the length the head announced: the connection broke.
        DWORD dwLength = 0;
        if (QueryNumber(request.Get(), HTTP_QUERY_CONTENT_LENGTH, dwLength) && strBody.size() < dwLength) {
            return Failure(EHttpOutcome::ReadFailed, ERROR_INTERNET_CONNECTION_RESET, std::move(strBody));
        }
        return CHttpResult{EHttpOutcome::Completed, 0, std::move(strBody)};
    }

    CInternetHandle m_session;
    CHttpBounds m_bounds;
};

} // namespace

CWinInetHttpService::CWinInetHttpService(CHttpBounds bounds) : m_bounds(bounds) {}

std::unique_ptr<IHttpSession> CWinInetHttpService::OpenSession(const std::string& strUserAgent,
                                                               DWORD& dwError) {
    HINTERNET hSession =
        InternetOpenA(strUserAgent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (hSession == nullptr) {
        dwError = GetLastError();
        return nullptr;
    }
    dwError = 0;
    return std::make_unique<CWinInetSession>(hSession, m_bounds);
}

std::string CWinInetHttpService::DescribeError(DWORD dwError) {
    // WinInet's texts live in its own module; other numbers are the system's.
    char* pszText = nullptr;
    DWORD nLength = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE |
                                       FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   GetModuleHandleA("wininet.dll"), dwError, 0,
                                   reinterpret_cast<char*>(&pszText), 0, nullptr);
    std::string strText = nLength > 0 && pszText != nullptr ? std::string(pszText, nLength) : std::string();
    if (pszText != nullptr) {
        LocalFree(pszText);
    }
    while (!strText.empty() && (strText.back() == '\n' || strText.back() == '\r' || strText.back() == ' ')) {
        strText.pop_back();
    }
    return strText;
}
