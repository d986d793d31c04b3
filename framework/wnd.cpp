// CWnd: the portable half of every window. Messages are decoded here and handed to the virtual
// On... handlers; what a window is and does on the screen is asked of the window system's seam.
#include "framework/wnd.h"

#include "framework/app.h"
#include "framework/browser.h"
#include "framework/codepage.h"
#include "framework/exception.h"
#include "framework/gdi.h"
#include "framework/internet.h"
#include "framework/run_log.h"
#include "framework/window_system.h"

#include <cstdarg>
#include <vector>

void AfxReportHandlerFailure(HWND hWnd, const CException* pException) noexcept {
    try {
        char szText[512] = {};
        const bool bDescribed = pException != nullptr && pException->GetErrorMessage(szText, sizeof(szText));
        const CWinApp* pApp = AfxGetApp();
        const char* pszCaption = pApp != nullptr && pApp->m_pszAppName != nullptr ? pApp->m_pszAppName : "";
        AfxLog(std::string("error box: ") + (bDescribed ? szText : kInternalFailureText));
        AfxFlushRunLog();
        WsShowMessageBox(WsIsWindow(hWnd) ? hWnd : nullptr, bDescribed ? szText : kInternalFailureText,
                         pszCaption, MB_OK | MB_ICONSTOP);
    } catch (...) {
        // Nothing more can be shown; the program goes on.
    }
}

namespace {
int g_nDispatchDepth = 0;
} // namespace

LRESULT AfxCallWindowProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const MSG msg{hWnd, message, wParam, lParam, 0, {0, 0}};
    const MSG* pPrevious = pWnd->m_pCurrentMsg;
    pWnd->m_pCurrentMsg = &msg;
    ++g_nDispatchDepth;
    const LRESULT result = AfxCallAtBoundary(hWnd, LRESULT(message == WM_CREATE ? -1 : 0),
                                             [&] { return pWnd->WindowProc(message, wParam, lParam); });
    if (--g_nDispatchDepth == 0) {
        // Wrappers handed out for the message's foreign handles live as long as its handling.
        AfxDeleteTemporaryObjects();
    }
    pWnd->m_pCurrentMsg = pPrevious;
    return result;
}

// ---- CWnd ----

CWnd::CWnd() = default;

CWnd::~CWnd() { WsDetachWindowObject(m_hWnd, this); }

CWnd* CWnd::FromHandle(HWND hWnd) { return WsWindowObject(hWnd); }

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
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wParam));
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
void CWnd::OnTimer(UINT_PTR) { Default(); }

int CWnd::SetWindowRgn(HRGN hRgn, BOOL bRedraw) { return WsSetWindowRgn(m_hWnd, hRgn, bRedraw); }

CMenu* CWnd::GetSystemMenu(BOOL) {
    if (!WsIsWindow(m_hWnd) || (GetStyle() & WS_SYSMENU) == 0) {
        return nullptr;
    }
    static CMenu s_menu(nullptr); // one menu object, as the platform hands out
    s_menu = CMenu(m_hWnd);
    return &s_menu;
}

BOOL CMenu::TrackPopupMenu(UINT, int x, int y, CWnd* pWnd, LPCRECT) {
    HWND hWnd = pWnd != nullptr ? pWnd->m_hWnd : m_hOwner;
    if (!WsIsWindow(hWnd)) {
        return FALSE;
    }
    const UINT nCommand = WsTrackSystemMenu(hWnd, CPoint(x, y));
    AfxSendMessage(hWnd, WM_UNINITMENUPOPUP, 0, 0);
    if (nCommand != 0 && WsIsWindow(hWnd)) {
        AfxSendMessage(hWnd, WM_SYSCOMMAND, nCommand, MAKELPARAM(x, y));
    }
    return TRUE;
}

BOOL CWnd::DestroyWindow() {
    if (!WsIsWindow(m_hWnd)) {
        return FALSE;
    }
    WsDestroyWindow(m_hWnd);
    return TRUE;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!WsAttachWindowObject(hWnd, this)) {
        return FALSE;
    }
    m_hWnd = hWnd;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    return pParent != nullptr && SubclassWindow(pParent->GetDlgItemHandle(static_cast<int>(nID)));
}

HWND CWnd::UnsubclassWindow() {
    HWND hWnd = m_hWnd;
    WsDetachWindowObject(hWnd, this);
    m_hWnd = nullptr;
    return hWnd;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return AfxSendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return AfxPostMessage(m_hWnd, message, wParam, lParam);
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse) {
    return WsSetTimer(m_hWnd, nIDEvent, nElapse) ? nIDEvent : 0;
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent) { return WsKillTimer(m_hWnd, nIDEvent) ? TRUE : FALSE; }

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
    WsMoveWindow(m_hWnd, CRect(x, y, x + nWidth, y + nHeight), bRepaint != FALSE);
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint) {
    MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top,
               bRepaint);
}

void CWnd::GetWindowRect(LPRECT lpRect) const { *lpRect = WsGetWindowRect(m_hWnd); }
void CWnd::GetClientRect(LPRECT lpRect) const { *lpRect = WsGetClientRect(m_hWnd); }

void CWnd::ScreenToClient(LPPOINT lpPoint) const {
    const CPoint ptOrigin = WsClientOrigin(m_hWnd);
    lpPoint->x -= ptOrigin.x;
    lpPoint->y -= ptOrigin.y;
}

void CWnd::ClientToScreen(LPPOINT lpPoint) const {
    const CPoint ptOrigin = WsClientOrigin(m_hWnd);
    lpPoint->x += ptOrigin.x;
    lpPoint->y += ptOrigin.y;
}

BOOL CWnd::ShowWindow(int nCmdShow) { return WsShowWindow(m_hWnd, nCmdShow); }
BOOL CWnd::IsWindowVisible() const { return WsIsWindowVisible(m_hWnd) ? TRUE : FALSE; }
BOOL CWnd::IsIconic() const { return WsIsIconic(m_hWnd) ? TRUE : FALSE; }
BOOL CWnd::IsZoomed() const { return WsIsZoomed(m_hWnd) ? TRUE : FALSE; }
void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase) { WsInvalidateRect(m_hWnd, lpRect, bErase != FALSE); }
void CWnd::UpdateWindow() { WsUpdateWindow(m_hWnd); }

HWND CWnd::GetDlgItemHandle(int nID) const { return WsGetDlgItem(m_hWnd, nID); }

CWnd* CWnd::GetDlgItem(int nID) const {
    HWND hItem = GetDlgItemHandle(nID);
    if (hItem == nullptr) {
        return nullptr;
    }
    CWnd* pWnd = FromHandle(hItem);
    return pWnd != nullptr ? pWnd : WsPlainWindowObject(hItem);
}

int CWnd::GetDlgCtrlID() const { return WsGetDlgCtrlID(m_hWnd); }
CWnd* CWnd::GetParent() const { return FromHandle(WsGetParentOrOwner(m_hWnd)); }

void CWnd::SetWindowText(const char* lpszString) {
    SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpszString));
}

std::string CWnd::GetWindowText() const { return WsGetWindowText(m_hWnd); }

DWORD CWnd::GetStyle() const { return static_cast<DWORD>(GetWindowLong(GWL_STYLE)); }
DWORD CWnd::GetExStyle() const { return static_cast<DWORD>(GetWindowLong(GWL_EXSTYLE)); }

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT) {
    const DWORD dwStyle = GetExStyle();
    SetWindowLong(GWL_EXSTYLE, static_cast<LONG>((dwStyle & ~dwRemove) | dwAdd));
    return dwStyle != ((dwStyle & ~dwRemove) | dwAdd);
}

LONG CWnd::GetWindowLong(int nIndex) const { return WsGetWindowLong(m_hWnd, nIndex); }
LONG CWnd::SetWindowLong(int nIndex, LONG dwNewLong) { return WsSetWindowLong(m_hWnd, nIndex, dwNewLong); }

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}

HICON CWnd::GetIcon(BOOL bBigIcon) const {
    return reinterpret_cast<HICON>(AfxSendMessage(m_hWnd, WM_GETICON, bBigIcon ? ICON_BIG : ICON_SMALL, 0));
}

BOOL CWnd::SetLayeredWindowAttributes(COLORREF crKey, BYTE bAlpha, DWORD dwFlags) {
    return WsSetLayeredWindowAttributes(m_hWnd, crKey, bAlpha, dwFlags);
}

BOOL CWnd::UpdateLayeredWindow(CDC*, POINT* pptDst, SIZE* psize, CDC* pDCSrc, POINT* pptSrc, COLORREF,
                               BLENDFUNCTION*, DWORD dwFlags) {
    if (pDCSrc == nullptr || psize == nullptr || psize->cx <= 0 || psize->cy <= 0) {
        return FALSE;
    }
    return WsUpdateLayeredWindow(m_hWnd, pptDst, psize, pDCSrc->GetSafeHdc(), pptSrc, dwFlags);
}

CDC* CWnd::GetDC() {
    auto* pDC = new CDC;
    pDC->Attach(WsGetDC(m_hWnd));
    return pDC;
}

int CWnd::ReleaseDC(CDC* pDC) {
    if (pDC == nullptr) {
        return 0;
    }
    WsReleaseDC(m_hWnd, pDC->Detach());
    delete pDC;
    return 1;
}

void CWnd::SetFocus() { WsSetFocus(m_hWnd); }

int CWnd::MessageBox(const char* lpszText, const char* lpszCaption, UINT nType) {
    AfxFlushRunLog(); // a box may wait long, and the player may end the process meanwhile
    return WsShowMessageBox(m_hWnd, lpszText != nullptr ? lpszText : "",
                            lpszCaption != nullptr ? lpszCaption : "", nType);
}

BOOL CWnd::CreateControl(REFCLSID clsid, const char*, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                         UINT nID) {
    if (!(clsid == CLSID_DrelkWebBrowser) || pParentWnd == nullptr) {
        return FALSE;
    }
    HWND hWnd = WsCreateBrowserHost(pParentWnd->m_hWnd, nID, dwStyle, rect);
    return hWnd != nullptr && SubclassWindow(hWnd);
}

void CWnd::InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet, const BYTE* pbParamInfo,
                        ...) {
    va_list arguments;
    va_start(arguments, pbParamInfo);
    std::vector<VARIANT> values;
    std::vector<BSTR> owned;
    for (const BYTE* p = pbParamInfo; p != nullptr && *p != 0; ++p) {
        VARIANT v{};
        switch (*p) {
        case 0x08: { // VTS_BSTR: 8-bit text of the process code page
            const char* psz = va_arg(arguments, const char*);
            v.vt = VT_BSTR;
            v.bstrVal = AfxSysAllocString(AfxCodePageToUtf16(CP_ACP, psz != nullptr ? psz : ""));
            owned.push_back(v.bstrVal);
            break;
        }
        case 0x0B: // VTS_BOOL
            v.vt = VT_BOOL;
            v.boolVal = va_arg(arguments, BOOL) != FALSE ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        case 0x4C: // VTS_PVARIANT
            v.vt = VT_BYREF | VT_VARIANT;
            v.pvarVal = va_arg(arguments, VARIANT*);
            break;
        default:
            v.vt = VT_EMPTY;
            break;
        }
        values.push_back(v);
    }
    va_end(arguments);
    VARIANT result{};
    WsInvokeBrowser(m_hWnd, dwDispID, wFlags, values, &result);
    for (BSTR bstr : owned) {
        AfxSysFreeString(bstr);
    }
    if (vtRet == VT_DISPATCH && pvRet != nullptr) {
        *static_cast<IDispatch**>(pvRet) = result.vt == VT_DISPATCH ? result.pdispVal : nullptr;
    }
}

INT_PTR AfxShellExecute(HWND, const char* lpOperation, const char* lpFile, const char*, const char*, int) {
    const std::string strFile = lpFile != nullptr ? lpFile : "";
    const std::string strVerb = lpOperation != nullptr ? lpOperation : "open";
    if (strVerb != "open" || !AfxIsWebAddress(strFile)) {
        return ERROR_FILE_NOT_FOUND;
    }
    return WsShellOpen(strFile) ? 42 : ERROR_FILE_NOT_FOUND;
}

LRESULT AfxDefWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return WsDefWindowProc(hWnd, message, wParam, lParam);
}
LRESULT AfxSendMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return WsSendMessage(hWnd, message, wParam, lParam);
}
BOOL AfxPostMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return WsPostMessage(hWnd, message, wParam, lParam);
}
LRESULT AfxDispatchMessage(const MSG* pMsg) { return WsDispatchMessage(pMsg); }
BOOL AfxTrackMouseEvent(TRACKMOUSEEVENT* lpEventTrack) { return WsTrackMouseEvent(lpEventTrack); }
int AfxGetSystemMetrics(int nIndex) { return WsGetSystemMetrics(nIndex); }
unsigned long long AfxGetTickCount() { return WsGetTickCount(); }
BOOL AfxWatchNetwork(HWND hWnd, UINT message) { return WsWatchNetwork(hWnd, message); }
void AfxUnwatchNetwork(HWND hWnd) { WsUnwatchNetwork(hWnd); }
CRect AfxGetWorkArea() { return WsGetWorkArea(); }
void AfxInitCommonControls(DWORD dwICC) { WsInitCommonControls(dwICC); }
BOOL AfxEnableControlContainer() { return WsEnableControlContainer(); }
void AfxPostQuitMessage(int nExitCode) { WsPostQuitMessage(nExitCode); }
