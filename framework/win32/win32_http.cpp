// HTTP GET on Windows with WinInet.
//
// Realises: IHttpService (PRECONFIG proxies, timeouts on the request handle, redirects followed here
// to the shared bound, a body cut short of its length reported as a failure, the platform's error
// texts). Which redirects are followed and which addresses are requested is decided in
// win32_redirects.cpp. Does not realise: POST, authentication.
#include <windows.h>
#include <wininet.h>

#include "framework/win32/scoped_handle.h"
#include "framework/win32/win32_redirects.h"
#include "framework/win32/win32_services.h"

#include "framework/internet.h"

#include <algorithm>
#include <optional>
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

// WinInet's own address calls.
class CWinInetAddressCalls : public IWinInetAddresses {
public:
    BOOL CrackUrl(const char* pszUrl, DWORD dwUrlLength, DWORD dwFlags, URL_COMPONENTSA* pParts) override {
        return InternetCrackUrlA(pszUrl, dwUrlLength, dwFlags, pParts);
    }
    BOOL CombineUrl(const char* pszBase, const char* pszRelative, char* pszBuffer, DWORD* pdwBufferLength,
                    DWORD dwFlags) override {
        return InternetCombineUrlA(pszBase, pszRelative, pszBuffer, pdwBufferLength, dwFlags);
    }
    DWORD LastError() override { return GetLastError(); }
};

// The requests of one GET on the session; the handles of a request live until the next one is sent.
class CWinInetRequests : public IWinInetRequests {
public:
    CWinInetRequests(HINTERNET hSession, CHttpBounds bounds) : m_hSession(hSession), m_bounds(bounds) {}

    bool Send(const CWinInetTarget& target, DWORD& dwError) override {
        m_request.reset();
        m_connection.reset();
        m_connection.emplace(InternetConnectA(m_hSession, target.strHost.c_str(), target.nPort, nullptr,
                                              nullptr, INTERNET_SERVICE_HTTP, 0, 1));
        if (m_connection->Get() == nullptr) {
            dwError = GetLastError();
            return false;
        }
        DWORD dwFlags = INTERNET_FLAG_TRANSFER_ASCII | INTERNET_FLAG_NO_AUTO_REDIRECT;
        if (target.bSecure) {
            dwFlags |= INTERNET_FLAG_SECURE;
        }
        m_request.emplace(HttpOpenRequestA(m_connection->Get(), "GET", target.strObject.c_str(), nullptr,
                                           nullptr, nullptr, dwFlags, 1));
        if (m_request->Get() == nullptr) {
            dwError = GetLastError();
            return false;
        }
        // Timeouts take effect on the request handle only (those of the session handle are not honoured).
        DWORD dwConnect = static_cast<DWORD>(m_bounds.nConnectSeconds * 1000);
        DWORD dwIdle = static_cast<DWORD>(m_bounds.nIdleSeconds * 1000);
        InternetSetOptionA(m_request->Get(), INTERNET_OPTION_CONNECT_TIMEOUT, &dwConnect, sizeof(dwConnect));
        InternetSetOptionA(m_request->Get(), INTERNET_OPTION_SEND_TIMEOUT, &dwIdle, sizeof(dwIdle));
        InternetSetOptionA(m_request->Get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &dwIdle, sizeof(dwIdle));
        if (!HttpSendRequestA(m_request->Get(), nullptr, 0, nullptr, 0)) {
            dwError = GetLastError();
            return false;
        }
        return true;
    }

    bool QueryStatus(DWORD& dwStatus) override {
        return QueryNumber(m_request->Get(), HTTP_QUERY_STATUS_CODE, dwStatus);
    }

    std::string QueryLocation() override { return QueryText(m_request->Get(), HTTP_QUERY_LOCATION); }

    CHttpResult ReadBody() override {
        HINTERNET hRequest = m_request->Get();
        std::string strBody;
        char buffer[16384];
        for (;;) {
            // Asking what is available first hands over what arrived before a stall.
            DWORD nAvailable = 0;
            if (!InternetQueryDataAvailable(hRequest, &nAvailable, 0, 0)) {
                return Failure(EHttpOutcome::ReadFailed, GetLastError(), std::move(strBody));
            }
            if (nAvailable == 0) {
                break;
            }
            const DWORD nWant = std::min<DWORD>(sizeof(buffer), nAvailable);
            DWORD nRead = 0;
            if (!InternetReadFile(hRequest, buffer, nWant, &nRead)) {
                return Failure(EHttpOutcome::ReadFailed, GetLastError(), std::move(strBody));
            }
            if (nRead == 0 || !AfxAppendBounded(strBody, buffer, nRead, m_bounds.nMaxBodyBytes)) {
                return CHttpResult{EHttpOutcome::Completed, 0, std::move(strBody)};
            }
        }
        // The end came before the length the head announced: the connection broke.
        DWORD dwLength = 0;
        if (QueryNumber(hRequest, HTTP_QUERY_CONTENT_LENGTH, dwLength) && strBody.size() < dwLength) {
            return Failure(EHttpOutcome::ReadFailed, ERROR_INTERNET_CONNECTION_RESET, std::move(strBody));
        }
        return CHttpResult{EHttpOutcome::Completed, 0, std::move(strBody)};
    }

private:
    HINTERNET m_hSession;
    CHttpBounds m_bounds;
    // Declared in this order so that the request is closed before its connection.
    std::optional<CInternetHandle> m_connection;
    std::optional<CInternetHandle> m_request;
};

class CWinInetSession : public IHttpSession {
public:
    CWinInetSession(HINTERNET hSession, CHttpBounds bounds) : m_session(hSession), m_bounds(bounds) {}

    CHttpResult Get(const std::string& strUrl) override {
        // Redirects are followed here, a bounded number of times (WinInet's own following has no bound
        // that holds everywhere).
        CWinInetAddressCalls addresses;
        CWinInetRequests requests(m_session.Get(), m_bounds);
        return WinInetGetFollowingRedirects(strUrl, m_bounds.nMaxRedirects, addresses, requests);
    }

private:
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
    return Win32ErrorText(GetModuleHandleA("wininet.dll"), dwError);
}
