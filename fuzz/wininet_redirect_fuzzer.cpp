// The Windows HTTP client's redirects and address checks (WinInetGetFollowingRedirects), for any
// starting address, answers, status codes and Location values. WinInet's InternetCrackUrlA and
// InternetCombineUrlA are stood in for by a small model written here: an http(s) address splitter
// and a joiner of relative references, both keeping WinInet's buffer rules (a buffer's size comes in
// and the length goes out; too small a buffer fails with ERROR_INSUFFICIENT_BUFFER and the size
// needed). The model fills every buffer it is given to the size it is told, so a size that is larger
// than the buffer is an overflow that AddressSanitizer reports.
//
// Input: byte 0: the redirect bound (byte % 24 - 2, so also none and below none); byte 1: the joiner's
// manner: bit 0 it escapes blanks, control and non-ASCII bytes (its answer grows past what the caller
// first offers), bit 1 the size it asks for does not count the NUL; then the starting address up to a
// LF; then the answers, each one byte and a Location value up to a LF:
//   bits 0-3: the status (301 302 303 307 308 300 304 305 306 309 200 204 404 500 399, 15: none);
//   bit 4:    no answer (the request fails, error number by bits 5-6);
//   bit 5:    the body breaks off (ReadFailed) when it is read;
//   bit 7:    the joiner refuses to join this answer's Location.
// The last answer repeats once the input is used up.
// Checks: only http and https addresses are requested, each with the host, port, object and security
// its address gives; the first address is the given one with blanks as %20, every later one the
// joiner's answer for the address before and its Location; a Location is asked for only after a
// status that is followed, a body read only when the answer is not followed, and nothing after it;
// at most the bound of redirects is followed, and a redirect that the bound stops comes exactly after
// it; a join the joiner can make is never lost; the outcome is the body read, or a failure to open
// with the number of what ended the walk.
#include "fuzz/fuzz_support.h"

#include "framework/win32/win32_redirects.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr DWORD kStatuses[16] = {301, 302, 303, 307, 308, 300, 304, 305,
                                 306, 309, 200, 204, 404, 500, 399, 0};
constexpr DWORD kSendErrors[4] = {12029, 12002, 12007, 12030}; // cannot connect, timeout, name, aborted

bool IsFollowed(DWORD dwStatus) {
    return dwStatus == 301 || dwStatus == 302 || dwStatus == 303 || dwStatus == 307 || dwStatus == 308;
}

std::string Lower(std::string strText) {
    for (char& ch : strText) {
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    }
    return strText;
}

// An address as the model splits it.
struct CModelUrl {
    std::string strScheme; // as written
    INTERNET_SCHEME nScheme = INTERNET_SCHEME_UNKNOWN;
    bool bAuthority = false; // "//" after the scheme
    std::string strUser;
    std::string strPassword;
    std::string strHost;
    INTERNET_PORT nPort = 0;
    std::string strPath;
    std::string strExtra; // from the first '?' or '#'
};

// The length of a scheme at the start of the text (letters, digits, + - . after a first letter, then
// ':'); 0 when there is none.
std::size_t SchemeLength(const std::string& strUrl) {
    if (strUrl.empty() || !std::isalpha(static_cast<unsigned char>(strUrl[0]))) {
        return 0;
    }
    std::size_t i = 1;
    while (i < strUrl.size() && (std::isalnum(static_cast<unsigned char>(strUrl[i])) || strUrl[i] == '+' ||
                                 strUrl[i] == '-' || strUrl[i] == '.')) {
        ++i;
    }
    return i < strUrl.size() && strUrl[i] == ':' ? i : 0;
}

// Splits an address; the WinInet error number when it cannot.
std::optional<CModelUrl> SplitUrl(const std::string& strUrl, DWORD& dwError) {
    CModelUrl url;
    const std::size_t nScheme = SchemeLength(strUrl);
    if (nScheme == 0) {
        dwError = ERROR_INTERNET_UNRECOGNIZED_SCHEME;
        return std::nullopt;
    }
    url.strScheme = strUrl.substr(0, nScheme);
    const std::string strLower = Lower(url.strScheme);
    INTERNET_PORT nDefaultPort = 0;
    if (strLower == "http") {
        url.nScheme = INTERNET_SCHEME_HTTP;
        nDefaultPort = 80;
    } else if (strLower == "https") {
        url.nScheme = INTERNET_SCHEME_HTTPS;
        nDefaultPort = 443;
    } else if (strLower == "ftp") {
        url.nScheme = INTERNET_SCHEME_FTP;
        nDefaultPort = 21;
    } else if (strLower == "file") {
        url.nScheme = INTERNET_SCHEME_FILE;
    }
    std::string strRest = strUrl.substr(nScheme + 1);
    url.bAuthority = strRest.starts_with("//");
    const bool bHttp = url.nScheme == INTERNET_SCHEME_HTTP || url.nScheme == INTERNET_SCHEME_HTTPS;
    if (bHttp && !url.bAuthority) {
        dwError = ERROR_INTERNET_INVALID_URL;
        return std::nullopt;
    }
    url.nPort = nDefaultPort;
    if (url.bAuthority) {
        strRest.erase(0, 2);
        const std::size_t nEnd = std::min(strRest.find_first_of("/?#"), strRest.size());
        std::string strAuthority = strRest.substr(0, nEnd);
        strRest.erase(0, nEnd);
        const std::size_t nAt = strAuthority.rfind('@');
        if (nAt != std::string::npos) {
            const std::string strUserInfo = strAuthority.substr(0, nAt);
            const std::size_t nColon = strUserInfo.find(':');
            url.strUser = strUserInfo.substr(0, nColon);
            url.strPassword = nColon == std::string::npos ? std::string() : strUserInfo.substr(nColon + 1);
            strAuthority.erase(0, nAt + 1);
        }
        std::size_t nPortColon = std::string::npos;
        if (strAuthority.starts_with("[")) {
            const std::size_t nClose = strAuthority.find(']');
            if (nClose == std::string::npos) {
                dwError = ERROR_INTERNET_INVALID_URL;
                return std::nullopt;
            }
            url.strHost = strAuthority.substr(0, nClose + 1);
            if (nClose + 1 < strAuthority.size()) {
                if (strAuthority[nClose + 1] != ':') {
                    dwError = ERROR_INTERNET_INVALID_URL;
                    return std::nullopt;
                }
                nPortColon = nClose + 1;
            }
        } else {
            nPortColon = strAuthority.find(':');
            url.strHost = strAuthority.substr(0, nPortColon);
        }
        if (nPortColon != std::string::npos && nPortColon + 1 < strAuthority.size()) {
            const std::string strPort = strAuthority.substr(nPortColon + 1);
            unsigned long nPort = 0;
            for (char ch : strPort) {
                if (!std::isdigit(static_cast<unsigned char>(ch)) || nPort > 65535) {
                    dwError = ERROR_INTERNET_INVALID_URL;
                    return std::nullopt;
                }
                nPort = nPort * 10 + static_cast<unsigned long>(ch - '0');
            }
            if (nPort > 65535) {
                dwError = ERROR_INTERNET_INVALID_URL;
                return std::nullopt;
            }
            url.nPort = static_cast<INTERNET_PORT>(nPort);
        }
        if (bHttp && url.strHost.empty()) {
            dwError = ERROR_INTERNET_INVALID_URL;
            return std::nullopt;
        }
    }
    const std::size_t nExtra = std::min(strRest.find_first_of("?#"), strRest.size());
    url.strPath = strRest.substr(0, nExtra);
    url.strExtra = strRest.substr(nExtra);
    return url;
}

// A path without its "." and ".." segments (RFC 3986, 5.2.4).
std::string RemoveDotSegments(std::string strIn) {
    std::string strOut;
    while (!strIn.empty()) {
        if (strIn.starts_with("../")) {
            strIn.erase(0, 3);
        } else if (strIn.starts_with("./")) {
            strIn.erase(0, 2);
        } else if (strIn.starts_with("/./")) {
            strIn.erase(0, 2);
        } else if (strIn == "/.") {
            strIn = "/";
        } else if (strIn.starts_with("/../") || strIn == "/..") {
            strIn = strIn.size() == 3 ? std::string("/") : strIn.substr(3);
            const std::size_t nSlash = strOut.rfind('/');
            strOut.erase(nSlash == std::string::npos ? 0 : nSlash);
        } else if (strIn == "." || strIn == "..") {
            strIn.clear();
        } else {
            const std::size_t nNext = strIn.find('/', 1);
            const std::size_t nLength = nNext == std::string::npos ? strIn.size() : nNext;
            strOut += strIn.substr(0, nLength);
            strIn.erase(0, nLength);
        }
    }
    return strOut;
}

// The address a relative reference names from a base; nothing when the base has no authority.
std::optional<std::string> JoinUrl(const std::string& strBase, const std::string& strRelative,
                                   DWORD& dwError) {
    const std::optional<CModelUrl> base = SplitUrl(strBase, dwError);
    if (!base || !base->bAuthority) {
        dwError = ERROR_INTERNET_INVALID_URL;
        return std::nullopt;
    }
    if (SchemeLength(strRelative) != 0) {
        return strRelative;
    }
    if (strRelative.starts_with("//")) {
        return base->strScheme + ":" + strRelative;
    }
    const std::string strPrefix =
        strBase.substr(0, strBase.size() - base->strPath.size() - base->strExtra.size());
    const std::size_t nFragment = base->strExtra.find('#');
    const std::string strQuery = base->strExtra.substr(0, nFragment);
    if (strRelative.empty()) {
        return strPrefix + base->strPath + strQuery;
    }
    if (strRelative[0] == '#') {
        return strPrefix + base->strPath + strQuery + strRelative;
    }
    if (strRelative[0] == '?') {
        return strPrefix + base->strPath + strRelative;
    }
    const std::size_t nExtra = std::min(strRelative.find_first_of("?#"), strRelative.size());
    std::string strPath = strRelative.substr(0, nExtra);
    if (!strPath.starts_with("/")) {
        const std::size_t nSlash = base->strPath.rfind('/');
        strPath =
            (nSlash == std::string::npos ? std::string("/") : base->strPath.substr(0, nSlash + 1)) + strPath;
    }
    return strPrefix + RemoveDotSegments(strPath) + strRelative.substr(nExtra);
}

std::string Escape(const std::string& strText) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string strOut;
    for (char ch : strText) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte <= 0x20 || byte >= 0x7F) {
            strOut += '%';
            strOut += kHex[byte >> 4];
            strOut += kHex[byte & 15];
        } else {
            strOut += ch;
        }
    }
    return strOut;
}

// Fills a caller's buffer as WinInet does: all of its stated size may be written, the answer ends
// with a NUL. False with the size needed when the answer does not fit.
bool FillBuffer(const std::string& strAnswer, char* pBuffer, DWORD& dwLength, bool bNeedCountsNul) {
    if (strAnswer.size() + 1 > dwLength) {
        dwLength = static_cast<DWORD>(strAnswer.size() + (bNeedCountsNul ? 1 : 0));
        return false;
    }
    FUZZ_CHECK(pBuffer != nullptr);
    std::memset(pBuffer, 'Z', dwLength);
    std::memcpy(pBuffer, strAnswer.data(), strAnswer.size());
    pBuffer[strAnswer.size()] = '\0';
    dwLength = static_cast<DWORD>(strAnswer.size());
    return true;
}

enum class EEvent { None, CrackFailed, NotHttp, Sent, SendFailed, Redirect, Body };

// What one GET did, in order, as the stand-ins and the scripted requests saw it.
struct CWalk {
    int nMaxRedirects = 0;
    std::string strStart;
    EEvent eLast = EEvent::None;
    DWORD dwLastError = 0;
    int nCracks = 0;
    int nSends = 0;
    int nRedirectAnswers = 0;              // answers with a followed status and a Location
    std::string strCracked;                // the last address cracked
    std::optional<CModelUrl> lastCracked;  // and what the model made of it
    std::optional<std::string> expectNext; // the address the next crack must be given
    std::string strLocation;               // the last Location handed over
    bool bStatusFollowed = false;
    bool bLocationAsked = false;
    bool bJoinRefused = false;
    bool bJoinAsked = false;    // the last redirect's Location went to the joiner
    bool bJoinPossible = false; // and the model has an answer for it
    bool bBodyRead = false;
    CHttpResult body;
};

class CModelAddresses : public IWinInetAddresses {
public:
    CModelAddresses(CWalk& walk, unsigned char flags)
        : m_walk(walk), m_bEscape((flags & 1) != 0), m_bNeedCountsNul((flags & 2) == 0) {}

    BOOL CrackUrl(const char* pszUrl, DWORD dwUrlLength, DWORD dwFlags, URL_COMPONENTSA* pParts) override {
        FUZZ_CHECK(pszUrl != nullptr && pParts != nullptr);
        FUZZ_CHECK(dwUrlLength == 0 && dwFlags == 0);
        FUZZ_CHECK(pParts->dwStructSize == sizeof(URL_COMPONENTSA));
        FUZZ_CHECK(!m_walk.bBodyRead);
        const std::string strUrl(pszUrl);
        if (m_walk.nCracks == 0) {
            std::string strWire;
            for (char ch : std::string(m_walk.strStart.c_str())) {
                strWire += ch == ' ' ? std::string("%20") : std::string(1, ch);
            }
            FUZZ_CHECK(strUrl == strWire);
        } else {
            // Every later address is the joiner's answer, asked for after a followed redirect.
            FUZZ_CHECK(m_walk.expectNext.has_value() && strUrl == *m_walk.expectNext);
        }
        m_walk.expectNext.reset();
        m_walk.eLast = EEvent::None;
        ++m_walk.nCracks;
        m_walk.strCracked = strUrl;
        m_walk.lastCracked.reset();
        DWORD dwError = 0;
        const std::optional<CModelUrl> url = SplitUrl(strUrl, dwError);
        if (!url) {
            return Fail(dwError);
        }
        if (!Put(url->strScheme, pParts->lpszScheme, pParts->dwSchemeLength, pszUrl) ||
            !Put(url->strHost, pParts->lpszHostName, pParts->dwHostNameLength, pszUrl) ||
            !Put(url->strUser, pParts->lpszUserName, pParts->dwUserNameLength, pszUrl) ||
            !Put(url->strPassword, pParts->lpszPassword, pParts->dwPasswordLength, pszUrl) ||
            !Put(url->strPath, pParts->lpszUrlPath, pParts->dwUrlPathLength, pszUrl) ||
            !Put(url->strExtra, pParts->lpszExtraInfo, pParts->dwExtraInfoLength, pszUrl)) {
            return Fail(ERROR_INSUFFICIENT_BUFFER);
        }
        pParts->nScheme = url->nScheme;
        pParts->nPort = url->nPort;
        m_walk.lastCracked = url;
        m_walk.eLast = url->nScheme == INTERNET_SCHEME_HTTP || url->nScheme == INTERNET_SCHEME_HTTPS
                           ? EEvent::None
                           : EEvent::NotHttp;
        return TRUE;
    }

    BOOL CombineUrl(const char* pszBase, const char* pszRelative, char* pszBuffer, DWORD* pdwBufferLength,
                    DWORD dwFlags) override {
        FUZZ_CHECK(pszBase != nullptr && pszRelative != nullptr && pdwBufferLength != nullptr);
        FUZZ_CHECK(dwFlags == ICU_NO_ENCODE);
        // Only after a followed redirect with a Location, while the bound allows one more.
        FUZZ_CHECK(m_walk.eLast == EEvent::Redirect);
        FUZZ_CHECK(m_walk.nRedirectAnswers <= m_walk.nMaxRedirects);
        m_walk.bJoinAsked = true;
        FUZZ_CHECK(std::string(pszBase) == m_walk.strCracked);
        FUZZ_CHECK(std::string(pszRelative) == std::string(m_walk.strLocation.c_str()));
        DWORD dwError = 0;
        std::optional<std::string> joined = JoinUrl(pszBase, pszRelative, dwError);
        if (m_walk.bJoinRefused) {
            joined.reset();
            dwError = ERROR_INTERNET_INVALID_URL;
        }
        m_walk.bJoinPossible = joined.has_value() && !joined->empty();
        if (!joined) {
            return Fail(dwError);
        }
        const std::string strAnswer = m_bEscape ? Escape(*joined) : *joined;
        if (!FillBuffer(strAnswer, pszBuffer, *pdwBufferLength, m_bNeedCountsNul)) {
            return Fail(ERROR_INSUFFICIENT_BUFFER);
        }
        m_walk.expectNext = strAnswer;
        return TRUE;
    }

    DWORD LastError() override { return m_dwLastError; }

private:
    BOOL Fail(DWORD dwError) {
        m_dwLastError = dwError;
        if (m_walk.eLast != EEvent::Redirect) {
            m_walk.eLast = EEvent::CrackFailed;
            m_walk.dwLastError = dwError;
        }
        return FALSE;
    }

    // One part of a cracked address: into the caller's buffer, or as a pointer into the address when
    // the caller gives a length and no buffer, or not at all when it gives neither.
    bool Put(const std::string& strPart, char*& pszBuffer, DWORD& dwLength, const char* pszUrl) {
        if (pszBuffer == nullptr) {
            if (dwLength != 0) {
                const char* pszAt = std::strstr(pszUrl, strPart.c_str());
                pszBuffer = const_cast<char*>(pszAt != nullptr ? pszAt : pszUrl);
                dwLength = static_cast<DWORD>(strPart.size());
            }
            return true;
        }
        return FillBuffer(strPart, pszBuffer, dwLength, m_bNeedCountsNul);
    }

    CWalk& m_walk;
    bool m_bEscape;
    bool m_bNeedCountsNul;
    DWORD m_dwLastError = 0;
};

// The answers of the servers, from the input.
class CScriptedRequests : public IWinInetRequests {
public:
    CScriptedRequests(CWalk& walk, CFuzzInput& input) : m_walk(walk), m_input(input) {}

    bool Send(const CWinInetTarget& target, DWORD& dwError) override {
        FUZZ_CHECK(!m_walk.bBodyRead);
        // Only an address that cracked as http or https is requested, as the model split it.
        FUZZ_CHECK(m_walk.lastCracked.has_value() && m_walk.eLast == EEvent::None);
        const CModelUrl& url = *m_walk.lastCracked;
        const std::string strLower = Lower(m_walk.strCracked);
        FUZZ_CHECK(strLower.starts_with("http://") || strLower.starts_with("https://"));
        FUZZ_CHECK(url.nScheme == INTERNET_SCHEME_HTTP || url.nScheme == INTERNET_SCHEME_HTTPS);
        FUZZ_CHECK(target.bSecure == (url.nScheme == INTERNET_SCHEME_HTTPS));
        FUZZ_CHECK(target.strHost == url.strHost && !target.strHost.empty());
        FUZZ_CHECK(target.nPort == url.nPort);
        const std::string strObject = url.strPath + url.strExtra;
        FUZZ_CHECK(target.strObject == (strObject.empty() ? std::string("/") : strObject));
        ++m_walk.nSends;
        FUZZ_CHECK(m_walk.nSends <= std::max(m_walk.nMaxRedirects, 0) + 1);
        m_walk.lastCracked.reset();
        m_walk.bStatusFollowed = false;
        m_walk.bLocationAsked = false;

        NextAnswer();
        m_walk.bJoinRefused = (m_kind & 0x80) != 0;
        if ((m_kind & 0x10) != 0) {
            dwError = kSendErrors[(m_kind >> 5) & 3];
            m_walk.eLast = EEvent::SendFailed;
            m_walk.dwLastError = dwError;
            return false;
        }
        m_walk.eLast = EEvent::Sent;
        return true;
    }

    bool QueryStatus(DWORD& dwStatus) override {
        FUZZ_CHECK(m_walk.eLast == EEvent::Sent);
        const DWORD dwScripted = kStatuses[m_kind & 15];
        m_walk.bStatusFollowed = IsFollowed(dwScripted);
        if (dwScripted == 0) {
            return false;
        }
        dwStatus = dwScripted;
        return true;
    }

    std::string QueryLocation() override {
        FUZZ_CHECK(m_walk.eLast == EEvent::Sent && m_walk.bStatusFollowed && !m_walk.bLocationAsked);
        m_walk.bLocationAsked = true;
        m_walk.strLocation = m_strLocation;
        if (!m_strLocation.empty()) {
            m_walk.eLast = EEvent::Redirect;
            ++m_walk.nRedirectAnswers;
            m_walk.bJoinAsked = false;
            m_walk.bJoinPossible = false;
        }
        return m_strLocation;
    }

    CHttpResult ReadBody() override {
        FUZZ_CHECK(m_walk.eLast == EEvent::Sent && !m_walk.bBodyRead);
        // A followed status with a Location is never read as the answer.
        FUZZ_CHECK(!m_walk.bStatusFollowed || (m_walk.bLocationAsked && m_strLocation.empty()));
        m_walk.bBodyRead = true;
        m_walk.eLast = EEvent::Body;
        const bool bBroken = (m_kind & 0x20) != 0;
        m_walk.body = CHttpResult{bBroken ? EHttpOutcome::ReadFailed : EHttpOutcome::Completed,
                                  bBroken ? DWORD{12030} : DWORD{0}, "body " + std::to_string(m_walk.nSends)};
        return m_walk.body;
    }

private:
    void NextAnswer() {
        if (m_input.AtEnd() && m_bHaveAnswer) {
            return; // the last answer again
        }
        m_kind = m_input.AtEnd() ? static_cast<unsigned char>(10) : m_input.Byte();
        m_strLocation = m_input.Field('\n');
        m_bHaveAnswer = true;
    }

    CWalk& m_walk;
    CFuzzInput& m_input;
    unsigned char m_kind = 10;
    std::string m_strLocation;
    bool m_bHaveAnswer = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    CFuzzInput input(pData, nSize);
    CWalk walk;
    walk.nMaxRedirects = static_cast<int>(input.Byte() % 24) - 2;
    const unsigned char flags = input.Byte();
    walk.strStart = input.Field('\n');
    CModelAddresses addresses(walk, flags);
    CScriptedRequests requests(walk, input);
    const CHttpResult result =
        WinInetGetFollowingRedirects(walk.strStart, walk.nMaxRedirects, addresses, requests);

    FUZZ_CHECK(walk.nCracks ==
               walk.nSends + (walk.eLast == EEvent::CrackFailed || walk.eLast == EEvent::NotHttp));
    FUZZ_CHECK(walk.nSends <= std::max(walk.nMaxRedirects, 0) + 1);
    switch (walk.eLast) {
    case EEvent::Body:
        FUZZ_CHECK(result.eOutcome == walk.body.eOutcome && result.dwError == walk.body.dwError &&
                   result.strBody == walk.body.strBody);
        return 0;
    case EEvent::CrackFailed:
    case EEvent::SendFailed:
        FUZZ_CHECK(result.eOutcome == EHttpOutcome::OpenFailed && result.dwError == walk.dwLastError);
        break;
    case EEvent::NotHttp:
        FUZZ_CHECK(result.eOutcome == EHttpOutcome::OpenFailed &&
                   result.dwError == ERROR_INTERNET_UNRECOGNIZED_SCHEME);
        break;
    case EEvent::Redirect:
        FUZZ_CHECK(result.eOutcome == EHttpOutcome::OpenFailed &&
                   result.dwError == ERROR_HTTP_REDIRECT_FAILED);
        FUZZ_CHECK(walk.nRedirectAnswers == walk.nSends);
        if (walk.nSends == std::max(walk.nMaxRedirects, 0) + 1) {
            FUZZ_CHECK(!walk.bJoinAsked); // stopped by the bound, exactly there
            break;
        }
        // Not the bound: the last Location could not be joined, and not for want of buffer.
        FUZZ_CHECK(walk.bJoinAsked && !walk.bJoinPossible);
        break;
    case EEvent::None:
    case EEvent::Sent:
        FUZZ_CHECK(false); // every walk ends in one of the outcomes above
    }
    FUZZ_CHECK(result.dwError != 0 && result.strBody.empty());
    return 0;
}
