#include "framework/internet.h"

#include "framework/app.h"

#include <string_view>
#include <utility>

bool AfxIsWebAddress(const std::string& strAddress) {
    std::size_t nStart = 0;
    while (nStart < strAddress.size() && (strAddress[nStart] == ' ' || strAddress[nStart] == '\t')) {
        ++nStart;
    }
    const auto startsWith = [&](std::string_view scheme) {
        if (strAddress.size() - nStart < scheme.size()) {
            return false;
        }
        for (std::size_t i = 0; i < scheme.size(); ++i) {
            const char c = strAddress[nStart + i];
            if ((c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c) != scheme[i]) {
                return false;
            }
        }
        return true;
    };
    return startsWith("http://") || startsWith("https://");
}

BOOL CInternetException::GetErrorMessage(char* lpszError, UINT nMaxError, UINT* pnHelpContext) const {
    if (pnHelpContext != nullptr) {
        *pnHelpContext = 0;
    }
    return CopyErrorText(AfxGetPlatformServices().http.DescribeError(m_dwError), lpszError, nMaxError);
}

CStdioFile::CStdioFile(CHttpResult result) : m_result(std::move(result)) {}

BOOL CStdioFile::ReadString(std::string& rString) {
    const std::string& body = m_result.strBody;
    if (m_bClosed || m_nPosition >= body.size()) {
        if (!m_bClosed && m_result.eOutcome == EHttpOutcome::ReadFailed) {
            throw CInternetException(m_result.dwError);
        }
        rString.clear();
        return FALSE;
    }
    std::size_t nEnd = body.find('\n', m_nPosition);
    const std::size_t nNext = nEnd == std::string::npos ? body.size() : nEnd + 1;
    if (nEnd == std::string::npos) {
        nEnd = body.size();
    }
    if (nEnd > m_nPosition && body[nEnd - 1] == '\r') {
        --nEnd;
    }
    rString.assign(body, m_nPosition, nEnd - m_nPosition);
    m_nPosition = nNext;
    return TRUE;
}

void CStdioFile::Close() { m_bClosed = true; }

CInternetSession::CInternetSession(const char* pstrAgent, DWORD_PTR, DWORD, const char*, const char*, DWORD) {
    std::string strAgent;
    if (pstrAgent != nullptr) {
        strAgent = pstrAgent;
    } else if (AfxGetApp() != nullptr && AfxGetApp()->m_pszExeName != nullptr) {
        strAgent = AfxGetApp()->m_pszExeName;
    }
    DWORD dwError = 0;
    m_pSession = AfxGetPlatformServices().http.OpenSession(strAgent, dwError);
    if (!m_pSession) {
        throw CInternetException(dwError);
    }
}

CInternetSession::~CInternetSession() = default;

CStdioFile* CInternetSession::OpenURL(const char* pstrURL, DWORD_PTR, DWORD, const char*, DWORD) {
    if (!m_pSession || pstrURL == nullptr) {
        throw CInternetException(0);
    }
    CHttpResult result = m_pSession->Get(pstrURL);
    if (result.eOutcome == EHttpOutcome::OpenFailed) {
        throw CInternetException(result.dwError);
    }
    return new CStdioFile(std::move(result));
}

void CInternetSession::Close() { m_pSession.reset(); }

bool AfxAppendBounded(std::string& strBody, const char* pData, std::size_t nBytes, std::size_t nMaxBytes) {
    const std::size_t nRoom = strBody.size() < nMaxBytes ? nMaxBytes - strBody.size() : 0;
    if (nBytes >= nRoom) {
        strBody.append(pData, nRoom);
        return false;
    }
    strBody.append(pData, nBytes);
    return true;
}

std::string AfxEncodeBlanksForWire(const std::string& strUrl) {
    std::string result;
    result.reserve(strUrl.size());
    for (char ch : strUrl) {
        if (ch == ' ') {
            result += "%20";
        } else {
            result += ch;
        }
    }
    return result;
}
