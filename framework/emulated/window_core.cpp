// The window model: records, creation and destruction, geometry, input routing and the message
// loop. Backends realise what happens here.
#include "framework/emulated/window_record.h"
#include "framework/window_system.h"

#include "framework/emulated/browser_model.h"
#include "framework/exception.h"
#include "framework/run_log.h"
#include "framework/services.h"

#include <algorithm>
#include <deque>
#include <set>

namespace {

std::set<CWindowRecord*>& LiveRecords() {
    static std::set<CWindowRecord*> s_records;
    return s_records;
}

// A record still kept: live, or being destroyed (its backend lets go of its data then).
CWindowRecord* KeptRecord(HWND hWnd) {
    auto* pRecord = static_cast<CWindowRecord*>(hWnd);
    return pRecord != nullptr && LiveRecords().count(pRecord) != 0 ? pRecord : nullptr;
}

struct CMessageQueue {
    std::deque<MSG> posted;
    bool bQuit = false;
    int nQuitCode = 0;
};

CMessageQueue& Queue() {
    static CMessageQueue s_queue;
    return s_queue;
}

CNativeEventScope*& CurrentNativeEvent() {
    static CNativeEventScope* s_pCurrent = nullptr;
    return s_pCurrent;
}

// The window with the point (client coordinates of hParent) among its visible children, topmost first.
HWND ChildFromPoint(CWindowRecord* pParent, CPoint pt) {
    for (auto it = pParent->children.rbegin(); it != pParent->children.rend(); ++it) {
        CWindowRecord* pChild = ModelGetRecord(*it);
        if (pChild != nullptr && pChild->bVisible && pChild->rcWindow.PtInRect(pt)) {
            return *it;
        }
    }
    return nullptr;
}

} // namespace

CRect CWindowRecord::ScreenRect() const {
    CRect rect = rcWindow;
    for (CWindowRecord* pParent = ModelGetRecord(hParent); pParent != nullptr;
         pParent = ModelGetRecord(pParent->hParent)) {
        // A child's rectangle is in its parent's client coordinates, which start inside the frame.
        rect.OffsetRect(pParent->rcWindow.left + pParent->rcClient.left,
                        pParent->rcWindow.top + pParent->rcClient.top);
    }
    return rect;
}

CRect ModelShapeRow(const CRect& rcAsked, int nEllipse, int y) {
    // As GDI makes a rounded region, its right and bottom edges are outside it.
    const CRect rcRegion =
        nEllipse > 0 ? CRect(rcAsked.left, rcAsked.top, rcAsked.right - 1, rcAsked.bottom - 1) : rcAsked;
    if (y < rcRegion.top || y >= rcRegion.bottom) {
        return CRect();
    }
    const int nRadius = nEllipse / 2;
    const int nFromEdge = std::min(y - rcRegion.top, rcRegion.bottom - 1 - y);
    const int nInset = nFromEdge < nRadius ? nRadius - nFromEdge : 0;
    if (rcRegion.Width() - 2 * nInset <= 0) {
        return CRect();
    }
    return CRect(rcRegion.left + nInset, y, rcRegion.right - nInset, y + 1);
}

CWindowRecord* ModelGetRecord(HWND hWnd) {
    CWindowRecord* pRecord = KeptRecord(hWnd);
    return pRecord != nullptr && !pRecord->bDestroyed ? pRecord : nullptr;
}

void* ModelBackendData(HWND hWnd) {
    const CWindowRecord* pRecord = KeptRecord(hWnd);
    return pRecord != nullptr ? pRecord->pNative : nullptr;
}

void ModelSetBackendData(HWND hWnd, void* pData) {
    if (CWindowRecord* pRecord = KeptRecord(hWnd)) {
        pRecord->pNative = pData;
    }
}

std::vector<HWND> ModelOwnedWindows(HWND hOwner) {
    std::vector<HWND> owned;
    for (CWindowRecord* pOther : LiveRecords()) {
        if (pOther->hOwner == hOwner && !pOther->bDestroyed) {
            owned.push_back(pOther);
        }
    }
    return owned;
}

HWND ModelCreateWindow(const CWindowCreate& create, CWnd* pWnd) {
    auto* pRecord = new CWindowRecord;
    pRecord->strClass = create.strClass;
    pRecord->strText = create.strText;
    pRecord->dwStyle = create.dwStyle & ~static_cast<DWORD>(WS_VISIBLE);
    pRecord->dwExStyle = create.dwExStyle;
    pRecord->rcWindow = create.rect;
    pRecord->hParent = create.hParent;
    pRecord->hOwner = create.hOwner;
    pRecord->nID = create.nID;
    pRecord->pWnd = pWnd;
    LiveRecords().insert(pRecord);
    if (pWnd != nullptr) {
        pWnd->m_hWnd = pRecord;
    }
    if (CWindowRecord* pParent = ModelGetRecord(create.hParent)) {
        pParent->children.push_back(pRecord);
    }
    BackendWindowCreated(pRecord);

    CREATESTRUCTA cs{};
    cs.hwndParent = create.hParent != nullptr ? create.hParent : create.hOwner;
    cs.x = create.rect.left;
    cs.y = create.rect.top;
    cs.cx = create.rect.Width();
    cs.cy = create.rect.Height();
    cs.style = static_cast<LONG>(create.dwStyle);
    cs.dwExStyle = create.dwExStyle;
    cs.lpszName = pRecord->strText.c_str();
    cs.lpszClass = pRecord->strClass.c_str();
    const LPARAM lParam = reinterpret_cast<LPARAM>(&cs);
    pRecord->rcClient = CRect(0, 0, create.rect.Width(), create.rect.Height());
    if (AfxSendMessage(pRecord, WM_NCCREATE, 0, lParam) == 0) {
        WsDestroyWindow(pRecord);
        return nullptr;
    }
    // The first calculation asks for no valid rectangles.
    NCCALCSIZE_PARAMS params{};
    params.rgrc[0] = pRecord->ScreenRect();
    AfxSendMessage(pRecord, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&params));
    if (ModelGetRecord(pRecord) == nullptr || AfxSendMessage(pRecord, WM_CREATE, 0, lParam) == -1) {
        WsDestroyWindow(pRecord);
        return nullptr;
    }
    if (ModelGetRecord(pRecord) == nullptr) {
        return nullptr;
    }
    AfxSendMessage(pRecord, WM_SIZE, SIZE_RESTORED,
                   MAKELPARAM(pRecord->rcClient.Width(), pRecord->rcClient.Height()));
    AfxSendMessage(pRecord, WM_MOVE, 0, MAKELPARAM(pRecord->rcWindow.left, pRecord->rcWindow.top));
    if ((create.dwStyle & WS_VISIBLE) != 0) {
        ModelSetVisible(pRecord, true);
    }
    return pRecord;
}

void WsDestroyWindow(HWND hWnd) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    if (pRecord == nullptr) {
        return;
    }
    // Owned windows go first, then the window itself, then its children.
    for (HWND hOwned : ModelOwnedWindows(hWnd)) {
        WsDestroyWindow(hOwned);
    }
    AfxSendMessage(hWnd, WM_DESTROY, 0, 0);
    for (HWND hChild : std::vector<HWND>(pRecord->children)) {
        WsDestroyWindow(hChild);
    }
    AfxSendMessage(hWnd, WM_NCDESTROY, 0, 0);
    pRecord->bDestroyed = true;
    ModelForgetWindowTimers(hWnd);
    AfxUnwatchNetwork(hWnd);
    if (pRecord->pControl) {
        BackendBrowserDestroyed(pRecord->pControl.get());
    }
    BackendWindowDestroyed(pRecord);
    pRecord->pControl.reset();
    if (CWindowRecord* pParent = ModelGetRecord(pRecord->hParent)) {
        auto& siblings = pParent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), hWnd), siblings.end());
    }
    if (pRecord->pWnd != nullptr && pRecord->pWnd->m_hWnd == hWnd) {
        pRecord->pWnd->m_hWnd = nullptr;
    }
    LiveRecords().erase(pRecord);
    if (pRecord->pWrapper) {
        pRecord->pWrapper->m_hWnd = nullptr;
    }
    delete pRecord;
}

void ModelRecalculateClient(HWND hWnd) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    if (pRecord == nullptr) {
        return;
    }
    // WM_NCCALCSIZE gets the proposed window rectangle and answers the client rectangle in its place.
    NCCALCSIZE_PARAMS params{};
    const CRect screen = pRecord->ScreenRect();
    params.rgrc[0] = screen;
    AfxSendMessage(hWnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
    if (CWindowRecord* pNow = ModelGetRecord(hWnd)) {
        CRect client = params.rgrc[0];
        client.OffsetRect(-screen.left, -screen.top);
        pNow->rcClient = client;
    }
}

namespace {

void ChangeWindowRect(HWND hWnd, const CRect& rect, bool bRepaint, bool bFromNative) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    if (pRecord == nullptr) {
        return;
    }
    const CRect old = pRecord->rcWindow;
    pRecord->rcWindow = rect;
    if (!bFromNative) {
        BackendWindowMoved(pRecord);
    }
    if (old.left != rect.left || old.top != rect.top) {
        AfxSendMessage(hWnd, WM_MOVE, 0, MAKELPARAM(rect.left, rect.top));
    }
    if (old.Width() != rect.Width() || old.Height() != rect.Height()) {
        ModelRecalculateClient(hWnd);
        if (CWindowRecord* pNow = ModelGetRecord(hWnd)) {
            const WPARAM nType = pNow->bIconic   ? SIZE_MINIMIZED
                                 : pNow->bZoomed ? SIZE_MAXIMIZED
                                                 : SIZE_RESTORED;
            AfxSendMessage(hWnd, WM_SIZE, nType, MAKELPARAM(pNow->rcClient.Width(), pNow->rcClient.Height()));
        }
    }
    if (bRepaint && ModelGetRecord(hWnd) != nullptr) {
        WsInvalidateRect(hWnd, nullptr, true);
    }
}

} // namespace

void ModelSetWindowRect(HWND hWnd, const CRect& rect, bool bRepaint) {
    ChangeWindowRect(hWnd, rect, bRepaint, false);
}

void ModelNativeMoved(HWND hWnd, const CRect& rect) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    if (pRecord == nullptr || pRecord->rcWindow == rect) {
        return;
    }
    // A window the player cannot size has the size the program asked for: a report of another size
    // is a window manager's step on the way (it may place a new window before it sizes it), not
    // where the window ends up, and the system does not see it.
    if (!ModelIsSizable(hWnd) &&
        (rect.Width() != pRecord->rcWindow.Width() || rect.Height() != pRecord->rcWindow.Height())) {
        return;
    }
    ChangeWindowRect(hWnd, rect, false, true);
}

void ModelSetVisible(HWND hWnd, bool bVisible) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    if (pRecord == nullptr || pRecord->bVisible == bVisible) {
        return;
    }
    pRecord->bVisible = bVisible;
    if (bVisible) {
        pRecord->dwStyle |= WS_VISIBLE;
    } else {
        pRecord->dwStyle &= ~static_cast<DWORD>(WS_VISIBLE);
    }
    AfxSendMessage(hWnd, WM_SHOWWINDOW, bVisible ? TRUE : FALSE, 0);
    BackendWindowShown(pRecord);
}

// ---- Mouse input ----

namespace {

HWND g_hPressTarget = nullptr;    // the window that got a client press (it keeps the mouse until the release)
HWND g_hNonClientPress = nullptr; // the window whose frame got the press

// A screen point in the window's client coordinates.
CPoint ClientPoint(HWND hWnd, CPoint ptScreen) {
    const CWindowRecord* pRecord = ModelGetRecord(hWnd);
    const CRect rect = pRecord->ScreenRect();
    return CPoint(ptScreen.x - rect.left - pRecord->rcClient.left,
                  ptScreen.y - rect.top - pRecord->rcClient.top);
}

LPARAM PointParam(CPoint pt) { return MAKELPARAM(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y)); }

} // namespace

void ModelMousePress(HWND hWnd, CPoint ptScreen) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    if (pRecord == nullptr) {
        return;
    }
    // The deepest visible child under the point gets the press.
    for (HWND hChild; (hChild = ChildFromPoint(pRecord, ClientPoint(pRecord, ptScreen))) != nullptr;) {
        pRecord = ModelGetRecord(hChild);
    }
    const LRESULT nHit = AfxSendMessage(pRecord, WM_NCHITTEST, 0, PointParam(ptScreen));
    if (ModelGetRecord(pRecord) == nullptr) {
        return;
    }
    // A press starts a new gesture: the release of the last one may never have come (a move drag run
    // by the window manager swallows it).
    g_hPressTarget = nullptr;
    g_hNonClientPress = nullptr;
    if (nHit == HTCLIENT) {
        g_hPressTarget = pRecord;
        MSG msg{pRecord, WM_LBUTTONDOWN, 0x0001, PointParam(ClientPoint(pRecord, ptScreen)), 0, ptScreen};
        ModelTranslateAndDispatch(&msg);
    } else if (nHit != HTNOWHERE && nHit != HTTRANSPARENT && nHit != HTERROR) {
        g_hNonClientPress = pRecord;
        MSG msg{pRecord, WM_NCLBUTTONDOWN, static_cast<WPARAM>(nHit), PointParam(ptScreen), 0, ptScreen};
        ModelTranslateAndDispatch(&msg);
    }
}

void ModelMouseDoubleClick(HWND hWnd, CPoint ptScreen) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    if (pRecord == nullptr) {
        return;
    }
    const LRESULT nHit = AfxSendMessage(pRecord, WM_NCHITTEST, 0, PointParam(ptScreen));
    if (nHit == HTCLIENT || ModelGetRecord(hWnd) == nullptr) {
        ModelMousePress(hWnd, ptScreen);
        return;
    }
    if (nHit != HTNOWHERE && nHit != HTTRANSPARENT && nHit != HTERROR) {
        g_hNonClientPress = pRecord;
        MSG msg{pRecord, WM_NCLBUTTONDBLCLK, static_cast<WPARAM>(nHit), PointParam(ptScreen), 0, ptScreen};
        ModelTranslateAndDispatch(&msg);
    }
}

void ModelMouseHover(HWND hWnd, CPoint ptScreen) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    if (pRecord == nullptr) {
        return;
    }
    const LRESULT nHit = AfxSendMessage(pRecord, WM_NCHITTEST, 0, PointParam(ptScreen));
    if (ModelGetRecord(hWnd) == nullptr) {
        return;
    }
    if (nHit == HTCLIENT) {
        ModelMouseLeftFrame(hWnd);
    } else if (nHit != HTNOWHERE) {
        MSG msg{pRecord, WM_NCMOUSEMOVE, static_cast<WPARAM>(nHit), PointParam(ptScreen), 0, ptScreen};
        ModelTranslateAndDispatch(&msg);
    }
}

void ModelMouseLeftFrame(HWND hWnd) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    if (pRecord != nullptr && pRecord->bTrackingLeave) {
        pRecord->bTrackingLeave = false;
        AfxSendMessage(hWnd, WM_NCMOUSELEAVE, 0, 0);
    }
}

void ModelNativeActivated(HWND hWnd, bool bActive) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    if (pRecord == nullptr || pRecord->bActive == bActive) {
        return;
    }
    pRecord->bActive = bActive;
    AfxSendMessage(hWnd, WM_NCACTIVATE, bActive ? TRUE : FALSE, 0);
    AfxSendMessage(hWnd, WM_ACTIVATE, MAKEWPARAM(bActive ? WA_ACTIVE : WA_INACTIVE, pRecord->bIconic ? 1 : 0),
                   0);
}

void ModelNativeStateChanged(HWND hWnd, bool bIconic, bool bZoomed) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    if (pRecord == nullptr || (pRecord->bIconic == bIconic && pRecord->bZoomed == bZoomed)) {
        return;
    }
    pRecord->bIconic = bIconic;
    pRecord->bZoomed = bZoomed;
    const WPARAM nType = bIconic ? SIZE_MINIMIZED : bZoomed ? SIZE_MAXIMIZED : SIZE_RESTORED;
    AfxSendMessage(hWnd, WM_SIZE, nType, MAKELPARAM(pRecord->rcClient.Width(), pRecord->rcClient.Height()));
}

CSize ModelMinTrackSize(HWND hWnd) {
    MINMAXINFO info{};
    info.ptMinTrackSize = POINT{AfxGetSystemMetrics(SM_CXMINTRACK), AfxGetSystemMetrics(SM_CYMINTRACK)};
    AfxSendMessage(hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    return CSize(info.ptMinTrackSize.x, info.ptMinTrackSize.y);
}

void ModelMouseMove(HWND hWnd, CPoint ptScreen) {
    if (ModelGetRecord(g_hPressTarget) != nullptr) {
        MSG msg{g_hPressTarget, WM_MOUSEMOVE, 0x0001, PointParam(ClientPoint(g_hPressTarget, ptScreen)), 0,
                ptScreen};
        ModelTranslateAndDispatch(&msg);
        return;
    }
    // After a press in the frame nothing holds the mouse: the moves go on as they would without the
    // button held (WM_NCMOUSEMOVE with their hit codes), as on Windows.
    if (ModelGetRecord(g_hNonClientPress) != nullptr) {
        ModelMouseHover(hWnd, ptScreen);
    }
}

void ModelMouseRelease(HWND, CPoint ptScreen) {
    HWND hTarget = g_hPressTarget;
    g_hPressTarget = nullptr;
    if (HWND hFrame = g_hNonClientPress; ModelGetRecord(hFrame) != nullptr) {
        g_hNonClientPress = nullptr;
        const LRESULT nHit = AfxSendMessage(hFrame, WM_NCHITTEST, 0, PointParam(ptScreen));
        if (ModelGetRecord(hFrame) != nullptr) {
            MSG msg{hFrame, WM_NCLBUTTONUP, static_cast<WPARAM>(nHit), PointParam(ptScreen), 0, ptScreen};
            ModelTranslateAndDispatch(&msg);
        }
        return;
    }
    if (ModelGetRecord(hTarget) != nullptr) {
        MSG msg{hTarget, WM_LBUTTONUP, 0, PointParam(ClientPoint(hTarget, ptScreen)), 0, ptScreen};
        ModelTranslateAndDispatch(&msg);
    }
}

// ---- Messages ----

LRESULT WsSendMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    if (pRecord == nullptr) {
        return 0;
    }
    CWnd* pWnd = pRecord->pWnd;
    if (pWnd == nullptr) {
        return AfxDefWindowProc(hWnd, message, wParam, lParam);
    }
    return AfxCallWindowProc(pWnd, hWnd, message, wParam, lParam);
}

BOOL WsPostMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (ModelGetRecord(hWnd) == nullptr) {
        return FALSE;
    }
    Queue().posted.push_back(MSG{hWnd, message, wParam, lParam, 0, {0, 0}});
    BackendWakeUp();
    return TRUE;
}

void WsPostQuitMessage(int nExitCode) {
    Queue().bQuit = true;
    Queue().nQuitCode = nExitCode;
    BackendWakeUp();
}

bool ModelQuitPosted() { return Queue().bQuit; }
int ModelQuitCode() { return Queue().nQuitCode; }
void ModelResetMessageQueue() { Queue() = CMessageQueue{}; }

CNativeEventScope::CNativeEventScope(const MSG* pEventMsg)
    : pMsg(pEventMsg), pPrevious(CurrentNativeEvent()) {
    CurrentNativeEvent() = this;
}

CNativeEventScope::~CNativeEventScope() { CurrentNativeEvent() = pPrevious; }

LRESULT WsDispatchMessage(const MSG* pMsg) {
    CNativeEventScope* pNative = CurrentNativeEvent();
    if (pNative != nullptr && pNative->pMsg == pMsg) {
        pNative->bDeliverNatively = true;
    }
    return AfxSendMessage(pMsg->hwnd, pMsg->message, pMsg->wParam, pMsg->lParam);
}

void ModelTranslateAndDispatch(MSG* pMsg) {
    // The window and its parents see the message before it is dispatched.
    for (CWindowRecord* pRecord = ModelGetRecord(pMsg->hwnd); pRecord != nullptr;
         pRecord = ModelGetRecord(pRecord->hParent)) {
        CWnd* pWnd = pRecord->pWnd;
        if (pWnd != nullptr &&
            AfxCallAtBoundary(pRecord, TRUE, [pWnd, pMsg] { return pWnd->PreTranslateMessage(pMsg); })) {
            return;
        }
    }
    AfxDispatchMessage(pMsg);
}

bool ModelRunMessageLoop(bool (*pfnContinue)(void*), void* pContext) {
    while (pfnContinue(pContext)) {
        if (Queue().bQuit) {
            return true;
        }
        if (!Queue().posted.empty()) {
            MSG msg = Queue().posted.front();
            Queue().posted.pop_front();
            ModelTranslateAndDispatch(&msg);
            continue;
        }
        AfxFlushRunLog(); // the end of a burst of events
        if (!BackendWaitForEvents()) {
            return false;
        }
    }
    return true;
}

int WsGetSystemMetrics(int nIndex) {
    // Icon sizes are the classic ones on every platform; the rest is the window system's.
    switch (nIndex) {
    case SM_CXICON:
    case SM_CYICON:
        return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return 16;
    default:
        return BackendSystemMetric(nIndex);
    }
}
CRect WsGetWorkArea() { return BackendWorkArea(); }
void WsInitCommonControls(DWORD) {}
BOOL WsEnableControlContainer() { return TRUE; }
