// HTTP GET on Linux with libcurl.
//
// Realises: IHttpService (bounded connect, idle and size waits, redirects to the shared bound, the
// platform's error texts). Does not realise: proxies configured outside the environment, POST.
#include "framework/linux/linux_services.h"

#include "framework/internet.h"

#include <curl/curl.h>

#include <cctype>
#include <cstdlib>
#include <string_view>

namespace {

struct CTransfer {
    std::string strBody;
    std::size_t nMaxBody = 0;
    bool bHeadReceived = false; // the final response's head (not an interim or followed redirect's)
    bool bCapped = false;
    int nStatus = 0;        // of the head being received
    bool bLocation = false; // that head names a new location
};

bool StartsWithNoCase(std::string_view line, std::string_view prefix) {
    if (line.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(line[i])) != prefix[i]) {
            return false;
        }
    }
    return true;
}

std::size_t OnHeader(char* pData, std::size_t nSize, std::size_t nCount, void* pUser) {
    auto* pTransfer = static_cast<CTransfer*>(pUser);
    const std::size_t nBytes = nSize * nCount;
    const std::string_view line(pData, nBytes);
    if (StartsWithNoCase(line, "http/")) {
        const std::size_t nBlank = line.find(' ');
        pTransfer->nStatus =
            nBlank == std::string_view::npos ? 0 : std::atoi(std::string(line.substr(nBlank + 1, 3)).c_str());
        pTransfer->bLocation = false;
    } else if (StartsWithNoCase(line, "location:")) {
        pTransfer->bLocation = true;
    } else if (nBytes <= 2 && (nBytes == 0 || pData[0] == '\r' || pData[0] == '\n')) {
        // The end of a head: interim (1xx) heads and redirects that are followed are not the answer.
        const bool bInterim = pTransfer->nStatus / 100 == 1;
        const bool bFollowed = pTransfer->nStatus / 100 == 3 && pTransfer->bLocation;
        if (!bInterim && !bFollowed) {
            pTransfer->bHeadReceived = true;
        }
    }
    return nBytes;
}

std::size_t OnBody(char* pData, std::size_t nSize, std::size_t nCount, void* pUser) {
    auto* pTransfer = static_cast<CTransfer*>(pUser);
    pTransfer->bHeadReceived = true;
    const std::size_t nBytes = nSize * nCount;
    if (!AfxAppendBounded(pTransfer->strBody, pData, nBytes, pTransfer->nMaxBody)) {
        pTransfer->bCapped = true;
        return 0; // ends the transfer: the rest is not read
    }
    return nBytes;
}

class CCurlHttpSession : public IHttpSession {
public:
    CCurlHttpSession(std::string strAgent, CHttpBounds bounds)
        : m_strAgent(std::move(strAgent)), m_bounds(bounds) {}

    CHttpResult Get(const std::string& strUrl) override {
        CHttpResult result;
        CURL* pCurl = curl_easy_init();
        if (pCurl == nullptr) {
            result.dwError = CURLE_FAILED_INIT;
            return result;
        }
        CTransfer transfer;
        transfer.nMaxBody = m_bounds.nMaxBodyBytes;
        const std::string strWireUrl = AfxEncodeBlanksForWire(strUrl);
        curl_easy_setopt(pCurl, CURLOPT_URL, strWireUrl.c_str());
        curl_easy_setopt(pCurl, CURLOPT_USERAGENT, m_strAgent.c_str());
        curl_easy_setopt(pCurl, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(pCurl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(pCurl, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(pCurl, CURLOPT_MAXREDIRS, static_cast<long>(m_bounds.nMaxRedirects));
        curl_easy_setopt(pCurl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(pCurl, CURLOPT_CONNECTTIMEOUT, m_bounds.nConnectSeconds);
        // Less than one byte per second over the idle time ends the transfer.
        curl_easy_setopt(pCurl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(pCurl, CURLOPT_LOW_SPEED_TIME, m_bounds.nIdleSeconds);
        curl_easy_setopt(pCurl, CURLOPT_HEADERFUNCTION, OnHeader);
        curl_easy_setopt(pCurl, CURLOPT_HEADERDATA, &transfer);
        curl_easy_setopt(pCurl, CURLOPT_WRITEFUNCTION, OnBody);
        curl_easy_setopt(pCurl, CURLOPT_WRITEDATA, &transfer);
        const CURLcode code = curl_easy_perform(pCurl);
        curl_easy_cleanup(pCurl);

        result.strBody = std::move(transfer.strBody);
        if (code == CURLE_OK || transfer.bCapped) {
            result.eOutcome = EHttpOutcome::Completed;
        } else {
            result.eOutcome = transfer.bHeadReceived ? EHttpOutcome::ReadFailed : EHttpOutcome::OpenFailed;
            result.dwError = static_cast<DWORD>(code);
        }
        return result;
    }

private:
    std::string m_strAgent;
    CHttpBounds m_bounds;
};

} // namespace

CCurlHttpService::CCurlHttpService(CHttpBounds bounds) : m_bounds(bounds) {
    static const bool s_bInitialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)s_bInitialised;
}

std::unique_ptr<IHttpSession> CCurlHttpService::OpenSession(const std::string& strUserAgent, DWORD& dwError) {
    dwError = 0;
    return std::make_unique<CCurlHttpSession>(strUserAgent, m_bounds);
}

std::string CCurlHttpService::DescribeError(DWORD dwError) {
    return dwError == 0 ? std::string() : curl_easy_strerror(static_cast<CURLcode>(dwError));
}
