#include "framework/wnd.h"

#include "framework/app.h"
#include "framework/browser.h"
#include "framework/exception.h"
#include "framework/gdi.h"
#include "framework/emulated/window_core.h"

#include <cstdarg>

void AfxReportHandlerFailure(HWND hWnd, const CException* pException) noexcept {
    try {
        char szText[512] = {};
        const bool bDescribed = pException != nullptr && pException->GetErrorMessage(szText, sizeof(szText));
        const CWinApp* pApp = AfxGetApp();
        const char* pszCaption = pApp != nullptr && pApp->m_pszAppName != nullptr ? pApp->m_pszAppName : "";
        BackendMessageBox(AfxGetRecord(hWnd), bDescribed ? szText : kInternalFailureText, pszCaption,
                          MB_OK | MB_ICONSTOP);
    } catch (...) {
        // Nothing more can be shown; the program goes on.
    }
}

LRESULT AfxCallWindowProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const MSG msg{hWnd, message, wParam, lParam, 0, {0, 0}};
    const MSG* pPrevious = pWnd->m_pCurrentMsg;
    pWnd->m_pCurrentMsg = &msg;
    const LRESULT result = AfxCallAtBoundary(hWnd, LRESULT(message == WM_CREATE ? -1 : 0),
                                             [&] { return pWnd->WindowProc(message, wParam, lParam); });
    pWnd->m_pCurrentMsg = pPrevious;
    return result;
}

// ---- CWnd ----

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (CWindowRecord* pRecord = AfxGetRecord(m_hWnd); pRecord != nullptr && pRecord->pWnd == this) {
        pRecord->pWnd = nullptr;
    }
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    CWindowRecord* pRecord = AfxGetRecord(hWnd);
    return pRecord != nullptr ? pRecord->pWnd : nullptr;
}

LRESULT CWnd::Default() {
    if (m_pCurrentMsg == nullptr) {
        return 0;
    }
    return AfxDefWindowProc(m_hWnd, m_pCurrentMsg->message, m_pCurrentMsg->wParam, m_pCurrentMsg->lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam));
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_MOVE:
        OnMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
    case WM_SYSCOMMAND:
        OnSysCommand(static_cast<UINT>(wParam), lParam);
        return 0;
    case WM_NCHITTEST:
        return OnNcHitTest(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC: {
        const UINT nKind = message == WM_CTLCOLORDLG   ? CTLCOLOR_DLG
                           : message == WM_CTLCOLORBTN ? CTLCOLOR_BTN
                                                       : CTLCOLOR_STATIC;
        return reinterpret_cast<LRESULT>(OnCtlColor(CDC::FromHandle(reinterpret_cast<HDC>(wParam)),
                                                    FromHandle(reinterpret_cast<HWND>(lParam)), nKind));
    }
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(OnQueryDragIcon());
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_COMMAND:
        if (OnCommand(wParam, lParam)) {
            return 0;
        }
        break;
    case WM_DRAWITEM: {
        auto* pItem = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
        if (CWnd* pControl = FromHandle(pItem->hwndItem)) {
            pControl->DrawItem(pItem);
            return TRUE;
        }
        break;
    }
    case WM_LBUTTONDOWN:
        OnLButtonDown(static_cast<UINT>(wParam), CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(static_cast<UINT>(wParam), CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(static_cast<UINT>(wParam), CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    case WM_NCCREATE:
        return OnNcCreate(reinterpret_cast<LPCREATESTRUCT>(lParam));
    case WM_NCCALCSIZE:
        OnNcCalcSize(static_cast<BOOL>(wParam), reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam));
        return 0;
    case WM_NCPAINT:
        OnNcPaint();
        return 0;
    case WM_NCACTIVATE:
        return OnNcActivate(static_cast<BOOL>(wParam));
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam), FromHandle(reinterpret_cast<HWND>(lParam)), HIWORD(wParam));
        return 0;
    case WM_GETMINMAXINFO:
        OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_NCLBUTTONDOWN:
        OnNcLButtonDown(static_cast<UINT>(wParam), CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    case WM_NCLBUTTONUP:
        OnNcLButtonUp(static_cast<UINT>(wParam), CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    case WM_NCLBUTTONDBLCLK:
        OnNcLButtonDblClk(static_cast<UINT>(wParam), CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    case WM_NCMOUSEMOVE:
        OnNcMouseMove(static_cast<UINT>(wParam), CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    case WM_NCMOUSELEAVE:
        OnNcMouseLeave();
        return 0;
    default:
        break;
    }
    return Default();
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }
BOOL CWnd::OnCommand(WPARAM, LPARAM) { return FALSE; }
BOOL CWnd::OnEvent(UINT, DISPID, DISPPARAMS*) { return FALSE; }
void CWnd::DrawItem(LPDRAWITEMSTRUCT) {}

int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }
HCURSOR CWnd::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
void CWnd::OnClose() { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
BOOL CWnd::OnNcCreate(LPCREATESTRUCT) { return static_cast<BOOL>(Default()); }
void CWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { Default(); }
void CWnd::OnNcPaint() { Default(); }
BOOL CWnd::OnNcActivate(BOOL) { return static_cast<BOOL>(Default()); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
void CWnd::OnNcLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnNcMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnNcMouseLeave() { Default(); }

int CWnd::SetWindowRgn(HRGN hRgn, BOOL) {
    CWindowRecord* pRecord = AfxGetRecord(m_hWnd);
    if (pRecord == nullptr) {
        return 0;
    }
    const auto* pRgn = reinterpret_cast<const CRgn*>(hRgn);
    pRecord->bHasRegion = pRgn != nullptr;
    if (pRgn != nullptr) {
        pRecord->rcRegion = pRgn->m_rect;
        pRecord->nRegionEllipse = pRgn->m_nEllipse;
    }
    BackendFrameChanged(pRecord);
    return 1;
}

CMenu* CWnd::GetSystemMenu(BOOL) {
    CWindowRecord* pRecord = AfxGetRecord(m_hWnd);
    if (pRecord == nullptr || (pRecord->dwStyle & WS_SYSMENU) == 0) {
        return nullptr;
    }
    static CMenu s_menu(nullptr); // one menu object, as the platform hands out
    s_menu = CMenu(m_hWnd);
    return &s_menu;
}

BOOL CRgn::CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int) {
    m_rect = CRect(x1, y1, x2, y2);
    m_nEllipse = x3;
    m_bCreated = true;
    return TRUE;
}

BOOL CRgn::DeleteObject() {
    m_bCreated = false;
    return TRUE;
}

BOOL CMenu::TrackPopupMenu(UINT, int x, int y, CWnd* pWnd, LPCRECT) {
    CWindowRecord* pRecord = AfxGetRecord(pWnd != nullptr ? pWnd->m_hWnd : m_hOwner);
    if (pRecord == nullptr) {
        return FALSE;
    }
    const UINT nCommand = BackendTrackSystemMenu(pRecord, CPoint(x, y));
    AfxSendMessage(pRecord, WM_UNINITMENUPOPUP, 0, 0);
    if (nCommand != 0 && AfxGetRecord(pRecord) != nullptr) {
        AfxSendMessage(pRecord, WM_SYSCOMMAND, nCommand, MAKELPARAM(x, y));
    }
    return TRUE;
}

BOOL AfxTrackMouseEvent(TRACKMOUSEEVENT* lpEventTrack) {
    CWindowRecord* pRecord = lpEventTrack != nullptr ? AfxGetRecord(lpEventTrack->hwndTrack) : nullptr;
    if (pRecord == nullptr) {
        return FALSE;
    }
    pRecord->bTrackingLeave = (lpEventTrack->dwFlags & TME_LEAVE) != 0;
    return TRUE;
}

BOOL CWnd::DestroyWindow() {
    if (AfxGetRecord(m_hWnd) == nullptr) {
        return FALSE;
    }
    AfxDestroyWindow(m_hWnd);
    return TRUE;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    CWindowRecord* pRecord = AfxGetRecord(hWnd);
    if (pRecord == nullptr || pRecord->pWnd != nullptr) {
        return FALSE;
    }
    pRecord->pWnd = this;
    m_hWnd = hWnd;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    return pParent != nullptr && SubclassWindow(pParent->GetDlgItemHandle(static_cast<int>(nID)));
}

HWND CWnd::UnsubclassWindow() {
    HWND hWnd = m_hWnd;
    if (CWindowRecord* pRecord = AfxGetRecord(hWnd); pRecord != nullptr && pRecord->pWnd == this) {
        pRecord->pWnd = nullptr;
    }
    m_hWnd = nullptr;
    return hWnd;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return AfxSendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return AfxPostMessage(m_hWnd, message, wParam, lParam);
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
    AfxSetWindowRect(m_hWnd, CRect(x, y, x + nWidth, y + nHeight), bRepaint != FALSE);
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint) {
    MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top,
               bRepaint);
}

void CWnd::GetWindowRect(LPRECT lpRect) const {
    CWindowRecord* pRecord = AfxGetRecord(m_hWnd);
    *lpRect = pRecord != nullptr ? pRecord->ScreenRect() : CRect();
}

void CWnd::GetClientRect(LPRECT lpRect) const {
    CWindowRecord* pRecord = AfxGetRecord(m_hWnd);
    *lpRect =
        pRecord != nullptr ? CRect(0, 0, pRecord->rcClient.Width(), pRecord->rcClient.Height()) : CRect();
}

void CWnd::ScreenToClient(LPPOINT lpPoint) const {
    CRect rect;
    GetWindowRect(&rect);
    lpPoint->x -= rect.left;
    lpPoint->y -= rect.top;
}

void CWnd::ClientToScreen(LPPOINT lpPoint) const {
    CRect rect;
    GetWindowRect(&rect);
    lpPoint->x += rect.left;
    lpPoint->y += rect.top;
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    CWindowRecord* pRecord = AfxGetRecord(m_hWnd);
    if (pRecord == nullptr) {
        return FALSE;
    }
    const BOOL bWasVisible = pRecord->bVisible ? TRUE : FALSE;
    if (nCmdShow == SW_HIDE) {
        AfxSetVisible(m_hWnd, false);
        return bWasVisible;
    }
    AfxSetVisible(m_hWnd, true);
    const bool bWasIconic = pRecord->bIconic;
    const bool bWasZoomed = pRecord->bZoomed;
    switch (nCmdShow) {
    case SW_MINIMIZE:
        if (!bWasIconic) {
            AfxNativeStateChanged(m_hWnd, true, bWasZoomed);
            BackendStateChanged(pRecord);
        }
        break;
    case SW_SHOWMAXIMIZED:
        if (!bWasZoomed || bWasIconic) {
            if (!bWasZoomed) {
                pRecord->rcRestore = pRecord->rcWindow;
            }
            pRecord->bIconic = false;
            pRecord->bZoomed = true;
            BackendStateChanged(pRecord);
            AfxSetWindowRect(m_hWnd, AfxGetWorkArea(), true);
            if (AfxGetRecord(m_hWnd) != nullptr && pRecord->rcWindow == AfxGetWorkArea() && bWasZoomed) {
                AfxNativeStateChanged(m_hWnd, false, true);
            }
        }
        break;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
        if (bWasIconic || bWasZoomed) {
            pRecord->bIconic = false;
            pRecord->bZoomed = bWasIconic && bWasZoomed;
            BackendStateChanged(pRecord);
            const CSize sizeBefore = pRecord->rcWindow.Size();
            if (!pRecord->bZoomed && !pRecord->rcRestore.IsRectEmpty()) {
                AfxSetWindowRect(m_hWnd, pRecord->rcRestore, true);
            }
            // A change of size has reported itself; otherwise the new state is reported here.
            if (AfxGetRecord(m_hWnd) != nullptr && pRecord->rcWindow.Width() == sizeBefore.cx &&
                pRecord->rcWindow.Height() == sizeBefore.cy) {
                const WPARAM nType = pRecord->bZoomed ? SIZE_MAXIMIZED : SIZE_RESTORED;
                AfxSendMessage(m_hWnd, WM_SIZE, nType,
                               MAKELPARAM(pRecord->rcClient.Width(), pRecord->rcClient.Height()));
            }
        }
        break;
    default:
        break;
    }
    return bWasVisible;
}

BOOL CWnd::IsWindowVisible() const {
    CWindowRecord* pRecord = AfxGetRecord(m_hWnd);
    return pRecord != nullptr && pRecord->bVisible ? TRUE : FALSE;
}

BOOL CWnd::IsIconic() const {
    CWindowRecord* pRecord = AfxGetRecord(m_hWnd);
    return pRecord != nullptr && pRecord->bIconic ? TRUE : FALSE;
}

BOOL CWnd::IsZoomed() const {
    CWindowRecord* pRecord = AfxGetRecord(m_hWnd);
    return pRecord != nullptr && pRecord->bZoomed ? TRUE : FALSE;
}

void CWnd::InvalidateRect(LPCRECT, BOOL) {
    if (CWindowRecord* pRecord = AfxGetRecord(m_hWnd)) {
        BackendWindowInvalidated(pRecord);
    }
}

void CWnd::UpdateWindow() {}

HWND CWnd::GetDlgItemHandle(int nID) const {
    CWindowRecord* pRecord = AfxGetRecord(m_hWnd);
    if (pRecord == nullptr) {
        return nullptr;
    }
    for (HWND hChild : pRecord->children) {
        if (AfxGetRecord(hChild)->nID == static_cast<UINT>(nID)) {
            return hChild;
        }
    }
    return nullptr;
}

CWnd* CWnd::GetDlgItem(int nID) const {
    HWND hItem = GetDlgItemHandle(nID);
    if (hItem == nullptr) {
        return nullptr;
    }
    // An item without an object of its own gets a plain wrapper that lives as long as the item.
    if (CWnd* pWnd = FromHandle(hItem)) {
        return pWnd;
    }
    CWindowRecord* pRecord = AfxGetRecord(hItem);
    pRecord->pWrapper = std::make_unique<CWnd>();
    pRecord->pWrapper->SubclassWindow(hItem);
    return pRecord->pWrapper.get();
}

int CWnd::GetDlgCtrlID() const {
    CWindowRecord* pRecord = AfxGetRecord(m_hWnd);
    return pRecord != nullptr ? static_cast<int>(pRecord->nID) : 0;
}

CWnd* CWnd::GetParent() const {
    CWindowRecord* pRecord = AfxGetRecord(m_hWnd);
    if (pRecord == nullptr) {
        return nullptr;
    }
    return FromHandle(pRecord->hParent != nullptr ? pRecord->hParent : pRecord->hOwner);
}

void CWnd::SetWindowText(const char* lpszString) {
    SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpszString));
}

std::string CWnd::GetWindowText() const {
    CWindowRecord* pRecord = AfxGetRecord(m_hWnd);
    return pRecord != nullptr ? pRecord->strText : std::string();
}

DWORD CWnd::GetStyle() const { return static_cast<DWORD>(GetWindowLong(GWL_STYLE)); }
DWORD CWnd::GetExStyle() const { return static_cast<DWORD>(GetWindowLong(GWL_EXSTYLE)); }

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT) {
    const DWORD dwStyle = GetStyle();
    SetWindowLong(GWL_STYLE, static_cast<LONG>((dwStyle & ~dwRemove) | dwAdd));
    return dwStyle != ((dwStyle & ~dwRemove) | dwAdd);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT) {
    const DWORD dwStyle = GetExStyle();
    SetWindowLong(GWL_EXSTYLE, static_cast<LONG>((dwStyle & ~dwRemove) | dwAdd));
    return dwStyle != ((dwStyle & ~dwRemove) | dwAdd);
}

LONG CWnd::GetWindowLong(int nIndex) const {
    CWindowRecord* pRecord = AfxGetRecord(m_hWnd);
    if (pRecord == nullptr) {
        return 0;
    }
    return static_cast<LONG>(nIndex == GWL_EXSTYLE ? pRecord->dwExStyle
                             : nIndex == GWL_STYLE ? pRecord->dwStyle
                                                   : 0);
}

LONG CWnd::SetWindowLong(int nIndex, LONG dwNewLong) {
    CWindowRecord* pRecord = AfxGetRecord(m_hWnd);
    if (pRecord == nullptr) {
        return 0;
    }
    DWORD& dwSlot = nIndex == GWL_EXSTYLE ? pRecord->dwExStyle : pRecord->dwStyle;
    const LONG nOld = static_cast<LONG>(dwSlot);
    dwSlot = static_cast<DWORD>(dwNewLong);
    return nOld;
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}

HICON CWnd::GetIcon(BOOL bBigIcon) const {
    return reinterpret_cast<HICON>(AfxSendMessage(m_hWnd, WM_GETICON, bBigIcon ? ICON_BIG : ICON_SMALL, 0));
}

BOOL CWnd::SetLayeredWindowAttributes(COLORREF crKey, BYTE, DWORD dwFlags) {
    CWindowRecord* pRecord = AfxGetRecord(m_hWnd);
    if (pRecord == nullptr || (pRecord->dwExStyle & WS_EX_LAYERED) == 0) {
        return FALSE;
    }
    pRecord->bColorKey = (dwFlags & LWA_COLORKEY) != 0;
    pRecord->crKey = crKey;
    BackendLayeredChanged(pRecord);
    return TRUE;
}

BOOL CWnd::UpdateLayeredWindow(CDC*, POINT* pptDst, SIZE* psize, CDC* pDCSrc, POINT* pptSrc, COLORREF,
                               BLENDFUNCTION*, DWORD dwFlags) {
    CWindowRecord* pRecord = AfxGetRecord(m_hWnd);
    if (pRecord == nullptr || (pRecord->dwExStyle & WS_EX_LAYERED) == 0 || pDCSrc == nullptr ||
        pDCSrc->Target() == nullptr || psize == nullptr || (dwFlags & ULW_ALPHA) == 0) {
        return FALSE;
    }
    const CPixels& source = *pDCSrc->Target();
    const int xSrc = pptSrc != nullptr ? pptSrc->x : 0;
    const int ySrc = pptSrc != nullptr ? pptSrc->y : 0;
    auto pSurface = std::make_shared<CPixels>(psize->cx, psize->cy);
    for (int y = 0; y < psize->cy; ++y) {
        for (int x = 0; x < psize->cx; ++x) {
            const int sx = x + xSrc;
            const int sy = y + ySrc;
            if (sx >= 0 && sy >= 0 && sx < source.nWidth && sy < source.nHeight) {
                pSurface->At(x, y) = source.At(sx, sy);
            }
        }
    }
    pRecord->pLayeredSurface = pSurface;
    CRect rect = pRecord->rcWindow;
    if (pptDst != nullptr) {
        rect = CRect(pptDst->x, pptDst->y, pptDst->x + psize->cx, pptDst->y + psize->cy);
    } else {
        rect.right = rect.left + psize->cx;
        rect.bottom = rect.top + psize->cy;
    }
    BackendLayeredChanged(pRecord);
    AfxSetWindowRect(m_hWnd, rect, false);
    return TRUE;
}

CDC* CWnd::GetDC() { return new CDC(nullptr); }
int CWnd::ReleaseDC(CDC* pDC) {
    delete pDC;
    return 1;
}

void CWnd::SetFocus() {
    if (CWindowRecord* pRecord = AfxGetRecord(m_hWnd)) {
        BackendSetFocus(pRecord);
    }
}

int CWnd::MessageBox(const char* lpszText, const char* lpszCaption, UINT nType) {
    return BackendMessageBox(AfxGetRecord(m_hWnd), lpszText != nullptr ? lpszText : "",
                             lpszCaption != nullptr ? lpszCaption : "", nType);
}

BOOL CWnd::CreateControl(REFCLSID clsid, const char* lpszWindowName, DWORD dwStyle, const RECT& rect,
                         CWnd* pParentWnd, UINT nID) {
    if (!(clsid == CLSID_DrelkWebBrowser) || pParentWnd == nullptr) {
        return FALSE;
    }
    m_hWnd = AfxCreateBrowserControl(pParentWnd->m_hWnd, nID, dwStyle, rect, lpszWindowName);
    if (m_hWnd == nullptr) {
        return FALSE;
    }
    AfxGetRecord(m_hWnd)->pWnd = this;
    return TRUE;
}

void CWnd::InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet, const BYTE* pbParamInfo,
                        ...) {
    va_list arguments;
    va_start(arguments, pbParamInfo);
    AfxInvokeControl(m_hWnd, dwDispID, wFlags, vtRet, pvRet, pbParamInfo, arguments);
    va_end(arguments);
}
