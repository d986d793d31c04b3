// The framework's internet session: an HTTP GET read line by line, in the shape of the classic
// framework's CInternetSession / CStdioFile pair. Failures are reported as CInternetException.
#pragma once

#include "framework/exception.h"
#include "framework/services.h"
#include "framework/windefs.h"

#include <cstddef>
#include <memory>
#include <string>

#if defined(_WIN32)
#include <wininet.h>
#else
#define INTERNET_OPEN_TYPE_PRECONFIG 0
#define INTERNET_FLAG_TRANSFER_ASCII 0x00000001
#endif

// Whether an address is a web address, the only kind the program hands on to a game client, a game
// window or the desktop: "http://" or "https://", in any case, after any leading blanks.
bool AfxIsWebAddress(const std::string& strAddress);

// An HTTP failure; its description is the platform's text for the error number.
class CInternetException : public CException {
public:
    explicit CInternetException(DWORD dwError) : m_dwError(dwError) {}
    BOOL GetErrorMessage(char* lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;
    DWORD m_dwError;
};

// A response opened by CInternetSession::OpenURL.
class CStdioFile {
public:
    explicit CStdioFile(CHttpResult result);
    virtual ~CStdioFile() = default;
    // Reads the next line without its line end. FALSE at the end of the response; throws
    // CInternetException when the transfer failed after the lines already delivered.
    virtual BOOL ReadString(std::string& rString);
    virtual void Close();

private:
    CHttpResult m_result;
    std::size_t m_nPosition = 0;
    bool m_bClosed = false;
};

// A session with the system's proxy configuration. Only INTERNET_OPEN_TYPE_PRECONFIG is offered;
// the proxy name, bypass list and flags are accepted for the classic signature and not used.
class CInternetSession {
public:
    // Throws CInternetException when no session can be opened.
    explicit CInternetSession(const char* pstrAgent = nullptr, DWORD_PTR dwContext = 1,
                              DWORD dwAccessType = INTERNET_OPEN_TYPE_PRECONFIG,
                              const char* pstrProxyName = nullptr, const char* pstrProxyBypass = nullptr,
                              DWORD dwFlags = 0);
    virtual ~CInternetSession();

    // Sends a GET for an HTTP or HTTPS address and receives the response. The caller owns the result.
    // Throws CInternetException when the address cannot be opened.
    CStdioFile* OpenURL(const char* pstrURL, DWORD_PTR dwContext = 1,
                        DWORD dwFlags = INTERNET_FLAG_TRANSFER_ASCII, const char* pstrHeaders = nullptr,
                        DWORD dwHeadersLength = 0);
    void Close();

private:
    std::unique_ptr<IHttpSession> m_pSession;
};

// Adds what arrived to a response body that may hold at most nMaxBytes. False once the bound is
// reached: the bytes beyond it are dropped and the rest of the response is not to be read.
bool AfxAppendBounded(std::string& strBody, const char* pData, std::size_t nBytes, std::size_t nMaxBytes);

// The address as it goes on the wire: a blank is sent as %20; nothing else is changed.
std::string AfxEncodeBlanksForWire(const std::string& strUrl);
