// The Windows HTTP client's redirects and address checks (see win32_redirects.h).
#include "framework/win32/win32_redirects.h"

#include "framework/internet.h"

#include <cstring>
#include <limits>
#include <utility>
#include <vector>

namespace {

CHttpResult OpenFailure(DWORD dwError) { return CHttpResult{EHttpOutcome::OpenFailed, dwError, {}}; }

// The text WinInet wrote into a buffer, up to its terminating NUL and never past the buffer's end.
std::string BufferText(const std::vector<char>& buffer) {
    return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

} // namespace

bool WinInetIsFollowedRedirect(DWORD dwStatus) {
    return dwStatus == 301 || dwStatus == 302 || dwStatus == 303 || dwStatus == 307 || dwStatus == 308;
}

bool WinInetRequestTarget(IWinInetAddresses& addresses, const std::string& strWireUrl, CWinInetTarget& target,
                          DWORD& dwError) {
    // Path and extra information are parts of the address: its length (and the NUL) always holds them.
    std::vector<char> host(INTERNET_MAX_HOST_NAME_LENGTH + 1, '\0');
    std::vector<char> path(strWireUrl.size() + 2, '\0');
    std::vector<char> extra(strWireUrl.size() + 2, '\0');
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host.data();
    parts.dwHostNameLength = static_cast<DWORD>(host.size());
    parts.lpszUrlPath = path.data();
    parts.dwUrlPathLength = static_cast<DWORD>(path.size());
    parts.lpszExtraInfo = extra.data();
    parts.dwExtraInfoLength = static_cast<DWORD>(extra.size());
    if (!addresses.CrackUrl(strWireUrl.c_str(), 0, 0, &parts)) {
        dwError = addresses.LastError();
        return false;
    }
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
        dwError = ERROR_INTERNET_UNRECOGNIZED_SCHEME;
        return false;
    }
    target.strHost = BufferText(host);
    target.nPort = parts.nPort;
    std::string strObject = BufferText(path) + BufferText(extra);
    target.strObject = strObject.empty() ? std::string(1, '/') : std::move(strObject);
    target.bSecure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    return true;
}

std::string WinInetCombineLocation(IWinInetAddresses& addresses, const std::string& strBase,
                                   const std::string& strLocation) {
    std::vector<char> combined(strBase.size() + strLocation.size() + 64, '\0');
    DWORD dwSize = static_cast<DWORD>(combined.size());
    if (!addresses.CombineUrl(strBase.c_str(), strLocation.c_str(), combined.data(), &dwSize,
                              ICU_NO_ENCODE)) {
        if (addresses.LastError() != ERROR_INSUFFICIENT_BUFFER) {
            return {};
        }
        // dwSize is the size asked for; one byte more holds the NUL whether or not it was counted.
        if (dwSize == std::numeric_limits<DWORD>::max()) {
            return {};
        }
        combined.assign(std::size_t{dwSize} + 1, '\0');
        dwSize = static_cast<DWORD>(combined.size());
        if (!addresses.CombineUrl(strBase.c_str(), strLocation.c_str(), combined.data(), &dwSize,
                                  ICU_NO_ENCODE)) {
            return {};
        }
    }
    return BufferText(combined);
}

CHttpResult WinInetGetFollowingRedirects(const std::string& strUrl, int nMaxRedirects,
                                         IWinInetAddresses& addresses, IWinInetRequests& requests) {
    std::string strCurrent = AfxEncodeBlanksForWire(strUrl);
    for (int nRedirects = 0;; ++nRedirects) {
        CWinInetTarget target;
        DWORD dwError = 0;
        if (!WinInetRequestTarget(addresses, strCurrent, target, dwError)) {
            return OpenFailure(dwError);
        }
        if (!requests.Send(target, dwError)) {
            return OpenFailure(dwError);
        }
        DWORD dwStatus = 0;
        std::string strLocation;
        if (requests.QueryStatus(dwStatus) && WinInetIsFollowedRedirect(dwStatus)) {
            strLocation = requests.QueryLocation();
        }
        if (strLocation.empty()) {
            return requests.ReadBody();
        }
        // A bound below one follows nothing.
        if (nRedirects >= nMaxRedirects) {
            return OpenFailure(ERROR_HTTP_REDIRECT_FAILED);
        }
        strCurrent = WinInetCombineLocation(addresses, strCurrent, strLocation);
        if (strCurrent.empty()) {
            return OpenFailure(ERROR_HTTP_REDIRECT_FAILED);
        }
    }
}
