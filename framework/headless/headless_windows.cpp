// The headless window system: the window model with nothing under it. Windows are records, drawing
// happens for real on cairo image surfaces, and what the player would see and do is recorded and
// scripted through CHeadlessPlatform.
//
// Window-system checklist (the same names open every realisation's main file; x = realised):
//   [x] windows       top-level and child windows, owners, styles, text, focus
//   [x] messages      send, post, dispatch, the quit message, PreTranslateMessage
//   [x] dialogs       from the framework's templates, their items, modal loops, EndDialog
//   [x] non-client    WM_NCCALCSIZE, WM_NCHITTEST, WM_NCPAINT, non-client mouse and leave
//   [x] painting      WM_PAINT, InvalidateRect (client area), UpdateWindow, window and client DCs
//   [x] layered       colour key, per-pixel alpha (UpdateLayeredWindow)
//   [x] regions       a window's shape (SetWindowRgn)
//   [x] input         mouse press, release, move, double-click, keys, move and size drags
//   [x] states        maximise, minimise, restore, activation, the system menu
//   [x] timers        WM_TIMER, the network's return
//   [x] drawing       DCs, bitmaps, BitBlt, AlphaBlend, icons, clipping; Gdi:: images and text
//   [x] resources     dialog templates, bitmaps, pictures, icons, HTML pages
//   [x] browser       the WebBrowser item: calls, events 250 / 259 / 271, title, UI handler, own pages
//   [x] page process  the page's process ending (DISPID_PAGEPROCESSENDED)
//   [x] desktop       message boxes, shell open, work area, system metrics
//   [x] URL cache     the browser's cache entries, enumerated and deleted
// Differences:
//   - non-client: WM_NCCALCSIZE is asked when the frame is recalculated (SWP_FRAMECHANGED), not at
//     creation; the default hit test answers HTCAPTION for the whole caption band.
//   - non-client: WM_NCPAINT is never sent, as in every realisation of the model.
//   - nothing is shown and no native input exists: tests send the input and read the windows, the
//     pixels (drawn for real on cairo surfaces) and the scripted desktop.
//   - browser: no engine; tests fire its events and set its title.
//
// Realises: every hook of display_backend.h, the URL cache, a clock that tests move (timers fall due as it
// passes them), the network's return when a test says so. Does not realise: a screen (nothing is shown),
// native input (tests send it), a browser engine (tests fire its events), a message-box or menu user (tests
// script the answers).
#include "framework/emulated/browser_model.h"
#include "framework/emulated/window_core.h"
#include "framework/headless/headless_platform.h"

#include <algorithm>

void HeadlessResetWindows() { ModelResetMessageQueue(); }

void BackendWindowCreated(HWND) {}
void BackendWindowDestroyed(HWND hWnd) { Headless().destroyed.push_back({hWnd, ModelBackendData(hWnd)}); }
void BackendWindowMoved(HWND) {}
void BackendWindowShown(HWND) {}
void BackendWindowInvalidated(HWND hWnd) { Headless().invalidated.push_back(hWnd); }
void BackendPaintNow(HWND hWnd) {
    ++Headless().nImmediatePaints;
    const CRect rect = ModelWindowRect(hWnd);
    ModelPaintWindow(hWnd, ModelCreateSurface(rect.Width(), rect.Height()));
}
void BackendLayeredChanged(HWND) {}
void BackendTextChanged(HWND) {}
void BackendSetFocus(HWND) {}
void BackendBeginMoveDrag(HWND hWnd, CPoint) { Headless().moveDrags.push_back(hWnd); }
void BackendBeginResizeDrag(HWND, int nHitTest, CPoint) { Headless().resizeDrags.push_back(nHitTest); }
void BackendFrameChanged(HWND) { ++Headless().nFramePaints; }
void BackendShapeChanged(HWND) {}
void BackendStateChanged(HWND) {}

UINT BackendTrackSystemMenu(HWND, CPoint ptScreen) {
    Headless().systemMenus.push_back(ptScreen);
    return Headless().nSystemMenuChoice;
}

std::vector<CUrlCacheEntry> BackendUrlCacheEntries() {
    ++Headless().nUrlCacheEnumerations;
    return Headless().urlCache;
}

bool BackendDeleteUrlCacheEntry(const std::string& strUrl) {
    auto& entries = Headless().urlCache;
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (it->strUrl == strUrl) {
            entries.erase(it);
            Headless().deletedUrls.push_back(strUrl);
            return true;
        }
    }
    return false;
}

bool BackendWaitForEvents() {
    const std::function<bool()> onIdle = Headless().onIdle;
    return onIdle && onIdle();
}

void BackendWakeUp() {}

int BackendMessageBox(HWND hOwner, const std::string& strText, const std::string& strCaption, UINT nType) {
    CHeadlessPlatform& platform = Headless();
    platform.messageBoxes.push_back({hOwner, strText, strCaption, nType});
    if (platform.messageBoxAnswers.empty()) {
        return IDNO;
    }
    const int nAnswer = platform.messageBoxAnswers.front();
    platform.messageBoxAnswers.pop_front();
    return nAnswer;
}

bool BackendShellOpen(const std::string& strUrl) {
    Headless().shellOpened.push_back(strUrl);
    return true;
}

CRect BackendWorkArea() { return Headless().workArea; }

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

unsigned long long BackendTickCount() { return Headless().nTickCount; }
void BackendTimersChanged() {}
bool BackendWatchNetwork() {
    Headless().bNetworkWatched = true;
    return true;
}

void HeadlessAdvanceClock(unsigned long long nMilliseconds) {
    const unsigned long long nEnd = Headless().nTickCount + nMilliseconds;
    unsigned long long nDue = 0;
    while (ModelNextTimerDue(nDue) && nDue <= nEnd) {
        Headless().nTickCount = std::max(Headless().nTickCount, nDue);
        ModelRunDueTimers();
    }
    Headless().nTickCount = nEnd;
}

void HeadlessNetworkAvailable() { ModelNativeNetworkAvailable(); }

void BackendBrowserShowPage(CBrowserControl*, const std::string& strHtml, const std::u16string& strUrl) {
    Headless().shownPages.push_back({strHtml, strUrl});
}

void BackendBrowserCreated(CBrowserControl*) {}
void BackendBrowserDestroyed(CBrowserControl*) {}
void BackendBrowserNavigate(CBrowserControl*, const std::u16string& strUrl) {
    Headless().navigations.push_back(strUrl);
}
void BackendBrowserStop(CBrowserControl*) { ++Headless().nStops; }
void BackendBrowserHostPolicyChanged(CBrowserControl*) {}
