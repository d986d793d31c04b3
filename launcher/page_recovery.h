// What a window with a browser does when its page cannot be shown: the program's own page in place
// of the failed one, naming the failure, with 重试; the failed address loaded again by itself after
// 3, 10, 30 and 60 s and then every 60 s while that page shows and the window is visible, and at
// once when the network comes back, one load at a time; a page whose process ended is loaded again
// once, and a second end within 60 s shows the page instead.
//
// The window passes its browser's events on (after its own rules have had them) and its timer and
// network messages; pages that load are left exactly as they are. The run's log gets each top-level
// document, each failure with its reason (a retry that fails the same way is counted, and the count
// written when the retries end) and each end of the page's process.
#pragma once

#include "launcher/page_failure.h"

#include "framework/wnd.h"

#include <functional>
#include <string>

// The message a watching window receives when the network is available again.
constexpr UINT kNetworkAvailableMessage = WM_APP + 0x51;
// The timer of the next retry.
constexpr UINT_PTR kPageRetryTimer = 0x5152;
// A second end of the page's process within this time shows the program's page.
constexpr unsigned long long kPageProcessEndsWindowMs = 60 * 1000;

// An event's text parameter (a BSTR) as 8-bit text of the process code page; "" when there is none.
std::string BrowserEventText(const VARIANT* pText);
// NavigateError's status code (S_OK when there is none).
HRESULT BrowserEventStatus(const VARIANT* pStatus);

class CPageRecovery {
public:
    // pOwner is the window whose timer and visibility count; fnNavigate loads an address in its
    // browser the way the window always does; pszLogName names the window's page in the log.
    CPageRecovery(CWnd* pOwner, const char* pszLogName, std::function<void(const std::string&)> fnNavigate);

    // The browser exists: the network is watched from now on.
    void Start(HWND hBrowser);
    // The window ends: no more retries.
    void Stop();

    // NavigateError; true when the program's page is shown instead (the browser's own is cancelled).
    bool OnNavigateError(IDispatch* pDisp, const std::string& strUrl, HRESULT hrStatus);
    // A navigation that goes ahead (after the window's own rules).
    void OnBeforeNavigate2(const std::string& strUrl);
    void OnDocumentComplete(IDispatch* pDisp, const std::string& strUrl);
    void OnPageProcessEnded();
    void OnTimer(UINT_PTR nIDEvent);
    void OnNetworkAvailable();

    // What the program's page shows now (None while no such page is on show or on its way).
    EPageFailure ShownFailure() const;
    const std::string& FailedUrl() const { return m_strFailedUrl; }

private:
    enum class EState {
        Idle,          // the page is the one the player asked for
        PageRequested, // the program's page is on its way
        PageShown,     // the program's page shows; the next retry is timed
        Retrying,      // the failed address is loading again
    };
    void ShowFailurePage(EPageFailure eFailure, const std::string& strUrl);
    void ArmRetry();
    void Retry();
    void End();
    void LogRepeatedFailures();
    bool IsOwnPageAddress(const std::string& strUrl) const;

    CWnd* m_pOwner;
    const char* m_pszLogName;
    std::function<void(const std::string&)> m_fnNavigate;
    HWND m_hBrowser = nullptr;
    EState m_eState = EState::Idle;
    EPageFailure m_eFailure = EPageFailure::None;
    std::string m_strFailedUrl;
    std::string m_strCurrentUrl;      // the last document completed
    unsigned m_nRetry = 0;            // the next retry's place in the schedule
    unsigned m_nRepeatedFailures = 0; // retries that failed as the first load did, not logged yet
    unsigned long long m_nLastProcessEnd = 0;
    bool m_bProcessEnded = false;
};
