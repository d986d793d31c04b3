// The redirects the Windows HTTP client follows itself, and the checks on every address it requests:
// which answers redirect, how a Location is joined to the address that gave it, which addresses are
// requested at all (http and https only) and how many redirects are followed.
//
// WinInet's two address calls (InternetCrackUrlA, InternetCombineUrlA) and the requests themselves
// come in through interfaces, called exactly as WinInet's own functions are called, so this part
// needs neither WinInet nor a network: the fuzz target runs it on Linux with stand-ins for both.
#pragma once

#include "framework/services.h"
#include "framework/windefs.h"

#include <string>

#if defined(_WIN32)
#include <wininet.h>
#else
// The WinInet names used here, with WinInet's values and members.
#define INTERNET_MAX_HOST_NAME_LENGTH 256
#define ICU_NO_ENCODE 0x20000000
#define ERROR_INTERNET_INVALID_URL 12005L
#define ERROR_INTERNET_UNRECOGNIZED_SCHEME 12006L
#define ERROR_HTTP_REDIRECT_FAILED 12156L
typedef WORD INTERNET_PORT;
typedef enum {
    INTERNET_SCHEME_PARTIAL = -2,
    INTERNET_SCHEME_UNKNOWN = -1,
    INTERNET_SCHEME_DEFAULT = 0,
    INTERNET_SCHEME_FTP,
    INTERNET_SCHEME_GOPHER,
    INTERNET_SCHEME_HTTP,
    INTERNET_SCHEME_HTTPS,
    INTERNET_SCHEME_FILE
} INTERNET_SCHEME;
typedef struct {
    DWORD dwStructSize;
    char* lpszScheme;
    DWORD dwSchemeLength;
    INTERNET_SCHEME nScheme;
    char* lpszHostName;
    DWORD dwHostNameLength;
    INTERNET_PORT nPort;
    char* lpszUserName;
    DWORD dwUserNameLength;
    char* lpszPassword;
    DWORD dwPasswordLength;
    char* lpszUrlPath;
    DWORD dwUrlPathLength;
    char* lpszExtraInfo;
    DWORD dwExtraInfoLength;
} URL_COMPONENTSA;
#endif

// WinInet's address calls: on Windows the real ones, in the fuzz target a model of them.
class IWinInetAddresses {
public:
    virtual ~IWinInetAddresses() = default;
    // InternetCrackUrlA.
    virtual BOOL CrackUrl(const char* pszUrl, DWORD dwUrlLength, DWORD dwFlags, URL_COMPONENTSA* pParts) = 0;
    // InternetCombineUrlA.
    virtual BOOL CombineUrl(const char* pszBase, const char* pszRelative, char* pszBuffer,
                            DWORD* pdwBufferLength, DWORD dwFlags) = 0;
    // GetLastError, asked right after a call above failed.
    virtual DWORD LastError() = 0;
};

// Where one request goes: what InternetConnectA and HttpOpenRequestA are given.
struct CWinInetTarget {
    std::string strHost;
    INTERNET_PORT nPort = 0;
    std::string strObject; // the path and what follows it; "/" when the address has neither
    bool bSecure = false;  // https (INTERNET_FLAG_SECURE)
};

// The requests of one GET, one at a time; a new Send ends the request before it.
class IWinInetRequests {
public:
    virtual ~IWinInetRequests() = default;
    // Sends a GET to the target, WinInet not following redirects. False with the platform's error
    // number when no answer came.
    virtual bool Send(const CWinInetTarget& target, DWORD& dwError) = 0;
    // The answer's status code; false when its head has none.
    virtual bool QueryStatus(DWORD& dwStatus) = 0;
    // The answer's Location; empty when it has none.
    virtual std::string QueryLocation() = 0;
    // Reads the answer's body: Completed, or ReadFailed with what came before the failure.
    virtual CHttpResult ReadBody() = 0;
};

// The status codes whose Location is followed: 301, 302, 303, 307 and 308.
bool WinInetIsFollowedRedirect(DWORD dwStatus);

// Splits an address (as it goes on the wire) into a request target. False with the error number when
// WinInet cannot split it, or ERROR_INTERNET_UNRECOGNIZED_SCHEME when it is neither http nor https.
bool WinInetRequestTarget(IWinInetAddresses& addresses, const std::string& strWireUrl, CWinInetTarget& target,
                          DWORD& dwError);

// The address a Location value names, seen from the address that answered with it (joined by
// WinInet without encoding); empty when WinInet cannot join them.
std::string WinInetCombineLocation(IWinInetAddresses& addresses, const std::string& strBase,
                                   const std::string& strLocation);

// A GET of strUrl (blanks sent as %20) that follows the Location of a redirect at most nMaxRedirects
// times (none when the bound is below one). The answer's body when an answer is not followed;
// otherwise OpenFailed with:
//   - WinInet's error number when it cannot split an address;
//   - ERROR_INTERNET_UNRECOGNIZED_SCHEME for an address that is neither http nor https (nothing is sent);
//   - the request's error number when a request brings no answer;
//   - ERROR_HTTP_REDIRECT_FAILED for one redirect too many, or a Location that cannot be joined.
CHttpResult WinInetGetFollowingRedirects(const std::string& strUrl, int nMaxRedirects,
                                         IWinInetAddresses& addresses, IWinInetRequests& requests);
