// The headless window system: the window model with nothing under it. Windows are records, drawing
// happens for real on cairo image surfaces, and what the player would see and do is recorded and
// scripted through CHeadlessPlatform.
//
// Realises: every backend hook of the model (window_core.h, browser_model.h), the URL cache, a clock
// that tests move (timers fall due as it passes them), the network's return when a test says so.
// Does not realise: a screen (nothing is shown), native input (tests send it), a browser engine
// (tests fire its events), a message-box or menu user (tests script the answers).
#include "framework/emulated/browser_model.h"
#include "framework/emulated/window_core.h"
#include "framework/headless/headless_platform.h"

#include <algorithm>

void AfxResetHeadlessWindows() { AfxResetMessageQueue(); }

void BackendWindowCreated(CWindowRecord*) {}
void BackendWindowDestroyed(CWindowRecord*) {}
void BackendWindowMoved(CWindowRecord*) {}
void BackendWindowShown(CWindowRecord*) {}
void BackendWindowInvalidated(CWindowRecord* pRecord) { AfxHeadless().invalidated.push_back(pRecord); }
void BackendLayeredChanged(CWindowRecord*) {}
void BackendTextChanged(CWindowRecord*) {}
void BackendSetFocus(CWindowRecord*) {}
void BackendBeginMoveDrag(CWindowRecord* pRecord, CPoint) { AfxHeadless().moveDrags.push_back(pRecord); }
void BackendBeginResizeDrag(CWindowRecord*, int nHitTest, CPoint) {
    AfxHeadless().resizeDrags.push_back(nHitTest);
}
void BackendFrameChanged(CWindowRecord*) { ++AfxHeadless().nFramePaints; }
void BackendShapeChanged(CWindowRecord*) {}
void BackendStateChanged(CWindowRecord*) {}

UINT BackendTrackSystemMenu(CWindowRecord*, CPoint ptScreen) {
    AfxHeadless().systemMenus.push_back(ptScreen);
    return AfxHeadless().nSystemMenuChoice;
}

std::vector<CUrlCacheEntry> BackendUrlCacheEntries() {
    ++AfxHeadless().nUrlCacheEnumerations;
    return AfxHeadless().urlCache;
}

bool BackendDeleteUrlCacheEntry(const std::string& strUrl) {
    auto& entries = AfxHeadless().urlCache;
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (it->strUrl == strUrl) {
            entries.erase(it);
            AfxHeadless().deletedUrls.push_back(strUrl);
            return true;
        }
    }
    return false;
}

bool BackendWaitForEvents() {
    const std::function<bool()> onIdle = AfxHeadless().onIdle;
    return onIdle && onIdle();
}

void BackendWakeUp() {}

int BackendMessageBox(CWindowRecord* pOwner, const std::string& strText, const std::string& strCaption,
                      UINT nType) {
    CHeadlessPlatform& platform = AfxHeadless();
    platform.messageBoxes.push_back({pOwner, strText, strCaption, nType});
    if (platform.messageBoxAnswers.empty()) {
        return IDNO;
    }
    const int nAnswer = platform.messageBoxAnswers.front();
    platform.messageBoxAnswers.pop_front();
    return nAnswer;
}

bool BackendShellOpen(const std::string& strUrl) {
    AfxHeadless().shellOpened.push_back(strUrl);
    return true;
}

CRect BackendWorkArea() { return AfxHeadless().workArea; }

int BackendSystemMetric(int nIndex) {
    switch (nIndex) {
    case SM_CXSCREEN:
        return 1280;
    case SM_CYSCREEN:
        return 800;
    default:
        return 0;
    }
}

unsigned long long BackendTickCount() { return AfxHeadless().nTickCount; }
void BackendTimersChanged() {}
bool BackendWatchNetwork() {
    AfxHeadless().bNetworkWatched = true;
    return true;
}

void AfxHeadlessAdvanceClock(unsigned long long nMilliseconds) {
    const unsigned long long nEnd = AfxHeadless().nTickCount + nMilliseconds;
    unsigned long long nDue = 0;
    while (AfxNextTimerDue(nDue) && nDue <= nEnd) {
        AfxHeadless().nTickCount = std::max(AfxHeadless().nTickCount, nDue);
        AfxRunDueTimers();
    }
    AfxHeadless().nTickCount = nEnd;
}

void AfxHeadlessNetworkAvailable() { AfxNativeNetworkAvailable(); }

void BackendBrowserShowPage(CBrowserControl*, const std::string& strHtml, const std::u16string& strUrl) {
    AfxHeadless().shownPages.push_back({strHtml, strUrl});
}

void BackendBrowserCreated(CBrowserControl*) {}
void BackendBrowserDestroyed(CBrowserControl*) {}
void BackendBrowserNavigate(CBrowserControl*, const std::u16string& strUrl) {
    AfxHeadless().navigations.push_back(strUrl);
}
void BackendBrowserStop(CBrowserControl*) { ++AfxHeadless().nStops; }
void BackendBrowserHostPolicyChanged(CBrowserControl*) {}
