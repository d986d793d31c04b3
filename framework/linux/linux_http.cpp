// HTTP GET on Linux with libcurl, opened on the first request.
//
// Realises: IHttpService (bounded connect, idle and size waits, redirects to the shared bound, the
// platform's error texts). Does not realise: proxies configured outside the environment, POST.
#include "framework/linux/linux_services.h"

#include "framework/linux/linux_http_head.h"

#include "framework/internet.h"
#include "framework/startup_trace.h"

#include <curl/curl.h>
#include <dlfcn.h>

#include <string_view>

namespace {

// libcurl with its TLS, LDAP and SSH libraries costs every start of the program about 20 ms and
// 5 MiB when it is linked, and most starts make no request; so it is opened when the first request
// is made and stays open for the rest of the process.
struct CCurlLibrary {
    decltype(&curl_easy_init) pEasyInit = nullptr;
    decltype(&curl_easy_setopt) pEasySetopt = nullptr;
    decltype(&curl_easy_perform) pEasyPerform = nullptr;
    decltype(&curl_easy_cleanup) pEasyCleanup = nullptr;
    decltype(&curl_easy_strerror) pEasyStrerror = nullptr;
    bool bReady = false;
};

template <typename TFunction>
bool Resolve(void* pLibrary, const char* pszName, TFunction& pFunction) {
    pFunction = reinterpret_cast<TFunction>(dlsym(pLibrary, pszName));
    return pFunction != nullptr;
}

const CCurlLibrary& Curl() {
    static const CCurlLibrary s_library = [] {
        CCurlLibrary library;
        void* pLibrary = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
        if (pLibrary == nullptr) {
            return library;
        }
        decltype(&curl_global_init) pGlobalInit = nullptr;
        library.bReady = Resolve(pLibrary, "curl_global_init", pGlobalInit) &&
                         Resolve(pLibrary, "curl_easy_init", library.pEasyInit) &&
                         Resolve(pLibrary, "curl_easy_setopt", library.pEasySetopt) &&
                         Resolve(pLibrary, "curl_easy_perform", library.pEasyPerform) &&
                         Resolve(pLibrary, "curl_easy_cleanup", library.pEasyCleanup) &&
                         Resolve(pLibrary, "curl_easy_strerror", library.pEasyStrerror) &&
                         pGlobalInit(CURL_GLOBAL_DEFAULT) == CURLE_OK;
        return library;
    }();
    return s_library;
}

struct CTransfer {
    std::string strBody;
    std::size_t nMaxBody = 0;
    CHttpHeadLines head; // the final response's head is received (not an interim or followed redirect's)
    bool bCapped = false;
};

std::size_t OnHeader(char* pData, std::size_t nSize, std::size_t nCount, void* pUser) {
    const std::size_t nBytes = nSize * nCount;
    static_cast<CTransfer*>(pUser)->head.OnLine(std::string_view(pData, nBytes));
    return nBytes;
}

std::size_t OnBody(char* pData, std::size_t nSize, std::size_t nCount, void* pUser) {
    auto* pTransfer = static_cast<CTransfer*>(pUser);
    pTransfer->head.OnBody();
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
        const CCurlLibrary& curl = Curl();
        CURL* pCurl = curl.bReady ? curl.pEasyInit() : nullptr;
        if (pCurl == nullptr) {
            result.dwError = CURLE_FAILED_INIT;
            return result;
        }
        CTransfer transfer;
        transfer.nMaxBody = m_bounds.nMaxBodyBytes;
        const std::string strWireUrl = AfxEncodeBlanksForWire(strUrl);
        curl.pEasySetopt(pCurl, CURLOPT_URL, strWireUrl.c_str());
        curl.pEasySetopt(pCurl, CURLOPT_USERAGENT, m_strAgent.c_str());
        curl.pEasySetopt(pCurl, CURLOPT_PROTOCOLS_STR, "http,https");
        curl.pEasySetopt(pCurl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl.pEasySetopt(pCurl, CURLOPT_FOLLOWLOCATION, 1L);
        curl.pEasySetopt(pCurl, CURLOPT_MAXREDIRS, static_cast<long>(m_bounds.nMaxRedirects));
        curl.pEasySetopt(pCurl, CURLOPT_NOSIGNAL, 1L);
        curl.pEasySetopt(pCurl, CURLOPT_CONNECTTIMEOUT, m_bounds.nConnectSeconds);
        // Less than one byte per second over the idle time ends the transfer.
        curl.pEasySetopt(pCurl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl.pEasySetopt(pCurl, CURLOPT_LOW_SPEED_TIME, m_bounds.nIdleSeconds);
        curl.pEasySetopt(pCurl, CURLOPT_HEADERFUNCTION, OnHeader);
        curl.pEasySetopt(pCurl, CURLOPT_HEADERDATA, &transfer);
        curl.pEasySetopt(pCurl, CURLOPT_WRITEFUNCTION, OnBody);
        curl.pEasySetopt(pCurl, CURLOPT_WRITEDATA, &transfer);
        AfxTraceStartup("http-get", strWireUrl.c_str());
        const CURLcode code = curl.pEasyPerform(pCurl);
        curl.pEasyCleanup(pCurl);
        AfxTraceStartup("http-done");

        result.strBody = std::move(transfer.strBody);
        if (code == CURLE_OK || transfer.bCapped) {
            result.eOutcome = EHttpOutcome::Completed;
        } else {
            result.eOutcome =
                transfer.head.AnswerHeadReceived() ? EHttpOutcome::ReadFailed : EHttpOutcome::OpenFailed;
            result.dwError = static_cast<DWORD>(code);
        }
        return result;
    }

private:
    std::string m_strAgent;
    CHttpBounds m_bounds;
};

} // namespace

CCurlHttpService::CCurlHttpService(CHttpBounds bounds) : m_bounds(bounds) {}

std::unique_ptr<IHttpSession> CCurlHttpService::OpenSession(const std::string& strUserAgent, DWORD& dwError) {
    dwError = 0;
    return std::make_unique<CCurlHttpSession>(strUserAgent, m_bounds);
}

std::string CCurlHttpService::DescribeError(DWORD dwError) {
    if (dwError == 0) {
        return std::string();
    }
    const CCurlLibrary& curl = Curl();
    return curl.bReady ? curl.pEasyStrerror(static_cast<CURLcode>(dwError))
                       : "libcurl (libcurl.so.4) could not be loaded";
}
