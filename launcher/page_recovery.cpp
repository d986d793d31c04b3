#include "launcher/page_recovery.h"

#include "framework/browser.h"
#include "framework/codepage.h"
#include "framework/run_log.h"
#include "res/resource.h"

std::string BrowserEventText(const VARIANT* pText) {
    if (pText == nullptr || pText->vt != VT_BSTR) {
        return {};
    }
    return AfxUtf16ToCodePage(CP_ACP, AfxBstrText(pText->bstrVal));
}

HRESULT BrowserEventStatus(const VARIANT* pStatus) {
    return pStatus != nullptr && pStatus->vt == VT_I4 ? pStatus->lVal : S_OK;
}

CPageRecovery::CPageRecovery(CWnd* pOwner, const char* pszLogName,
                             std::function<void(const std::string&)> fnNavigate)
    : m_pOwner(pOwner), m_pszLogName(pszLogName), m_fnNavigate(std::move(fnNavigate)) {}

void CPageRecovery::Start(HWND hBrowser) {
    m_hBrowser = hBrowser;
    AfxWatchNetwork(m_pOwner->m_hWnd, kNetworkAvailableMessage);
}

void CPageRecovery::Stop() {
    End();
    if (m_pOwner->m_hWnd != nullptr) {
        AfxUnwatchNetwork(m_pOwner->m_hWnd);
    }
    m_hBrowser = nullptr;
}

EPageFailure CPageRecovery::ShownFailure() const {
    return m_eState == EState::PageRequested || m_eState == EState::PageShown ? m_eFailure
                                                                              : EPageFailure::None;
}

// On Windows the program's page comes by a res: address of its own; in the model it keeps the
// failed address.
bool CPageRecovery::IsOwnPageAddress(const std::string& strUrl) const {
    return strUrl.rfind("res:", 0) == 0 || strUrl == m_strFailedUrl;
}

bool CPageRecovery::OnNavigateError(IDispatch* pDisp, const std::string& strUrl, HRESULT hrStatus) {
    if (m_hBrowser == nullptr || !AfxIsTopLevelBrowserEvent(m_hBrowser, pDisp)) {
        return false; // a frame's failure leaves the page as it is
    }
    if (strUrl.rfind("res:", 0) == 0) {
        // The program's page itself could not be shown: the control's own error page would say
        // nothing of the failed address, so it is cancelled and the retries go on all the same.
        if (m_eState != EState::PageRequested) {
            return false;
        }
        m_eState = EState::PageShown;
        ArmRetry();
        return true;
    }
    const EPageFailure eFailure = ClassifyNavigateError(hrStatus);
    if (eFailure == EPageFailure::None) {
        return false;
    }
    if (m_eState == EState::Retrying && strUrl == m_strFailedUrl && eFailure == m_eFailure) {
        ++m_nRepeatedFailures;
    } else {
        LogRepeatedFailures();
        AfxLogFormat("%s: cannot be shown (%s, status 0x%08lX): %s", m_pszLogName, PageFailureCode(eFailure),
                     static_cast<unsigned long>(hrStatus), AfxLogAddress(strUrl).c_str());
    }
    if (m_eState == EState::Idle || strUrl != m_strFailedUrl) {
        m_nRetry = 0; // a new failure starts the schedule from its beginning
    }
    ShowFailurePage(eFailure, strUrl);
    return true;
}

void CPageRecovery::ShowFailurePage(EPageFailure eFailure, const std::string& strUrl) {
    m_pOwner->KillTimer(kPageRetryTimer);
    m_eFailure = eFailure;
    m_strFailedUrl = strUrl;
    m_eState = EState::PageRequested;
    const std::string strParameters = ComposeFailurePageParameters(eFailure, strUrl);
    if (FAILED(AfxShowBrowserPage(m_hBrowser, IDR_PAGE_FAILURE, strParameters.c_str(), strUrl.c_str()))) {
        // Nothing will complete: the retries go on all the same.
        m_eState = EState::PageShown;
        ArmRetry();
    }
}

void CPageRecovery::OnBeforeNavigate2(const std::string& strUrl) {
    switch (m_eState) {
    case EState::Idle:
        return;
    case EState::PageRequested:
    case EState::PageShown:
        if (strUrl.rfind("res:", 0) == 0) {
            return; // the program's page itself
        }
        if (strUrl == m_strFailedUrl) {
            // 重试 on the page (or the window's own command for the same address).
            m_pOwner->KillTimer(kPageRetryTimer);
            m_nRetry = 0;
            m_eState = EState::Retrying;
            return;
        }
        End(); // the player went elsewhere
        return;
    case EState::Retrying:
        if (strUrl != m_strFailedUrl) {
            End();
        }
        return;
    }
}

void CPageRecovery::OnDocumentComplete(IDispatch* pDisp, const std::string& strUrl) {
    if (m_hBrowser == nullptr || !AfxIsTopLevelBrowserEvent(m_hBrowser, pDisp)) {
        return;
    }
    switch (m_eState) {
    case EState::PageRequested:
        if (IsOwnPageAddress(strUrl)) {
            m_eState = EState::PageShown;
            ArmRetry();
        }
        return;
    case EState::PageShown:
        return;
    case EState::Retrying:
    case EState::Idle:
        if (strUrl.rfind("res:", 0) != 0) {
            m_strCurrentUrl = strUrl;
            End(); // the page has loaded
            AfxLogFormat("%s: document %s", m_pszLogName, AfxLogAddress(strUrl).c_str());
        }
        return;
    }
}

void CPageRecovery::ArmRetry() {
    if (m_eFailure == EPageFailure::PageStopped) {
        return; // a page that keeps ending is loaded again only by the player's 重试
    }
    m_pOwner->SetTimer(kPageRetryTimer, RetryDelaySeconds(m_nRetry) * 1000);
}

void CPageRecovery::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent != kPageRetryTimer) {
        return;
    }
    m_pOwner->KillTimer(kPageRetryTimer);
    if (m_eState != EState::PageShown) {
        return;
    }
    if (!m_pOwner->IsWindowVisible()) {
        ArmRetry(); // nobody sees it: the schedule waits
        return;
    }
    Retry();
}

void CPageRecovery::OnNetworkAvailable() {
    if (m_eState == EState::PageShown && m_eFailure != EPageFailure::PageStopped) {
        Retry();
    }
}

void CPageRecovery::Retry() {
    m_pOwner->KillTimer(kPageRetryTimer);
    ++m_nRetry;
    m_eState = EState::Retrying;
    m_fnNavigate(m_strFailedUrl);
}

void CPageRecovery::OnPageProcessEnded() {
    const unsigned long long nNow = AfxGetTickCount();
    const bool bSecond = m_bProcessEnded && nNow - m_nLastProcessEnd < kPageProcessEndsWindowMs;
    AfxLogFormat("%s: the page's process ended%s", m_pszLogName, bSecond ? " again within a minute" : "");
    m_bProcessEnded = true;
    m_nLastProcessEnd = nNow;
    if (m_eState == EState::PageRequested || m_eState == EState::PageShown) {
        ShowFailurePage(m_eFailure, m_strFailedUrl); // the program's page went with the process
        return;
    }
    const std::string strUrl = m_eState == EState::Retrying ? m_strFailedUrl : m_strCurrentUrl;
    if (strUrl.empty() || m_hBrowser == nullptr) {
        return;
    }
    if (bSecond) {
        m_nRetry = 0;
        ShowFailurePage(EPageFailure::PageStopped, strUrl);
        return;
    }
    m_fnNavigate(strUrl);
}

void CPageRecovery::LogRepeatedFailures() {
    if (m_nRepeatedFailures > 0) {
        AfxLogFormat("%s: the same failure came back on %u retr%s", m_pszLogName, m_nRepeatedFailures,
                     m_nRepeatedFailures == 1 ? "y" : "ies");
        m_nRepeatedFailures = 0;
    }
}

void CPageRecovery::End() {
    LogRepeatedFailures();
    if (m_pOwner->m_hWnd != nullptr) {
        m_pOwner->KillTimer(kPageRetryTimer);
    }
    m_eState = EState::Idle;
    m_eFailure = EPageFailure::None;
    m_nRetry = 0;
}
