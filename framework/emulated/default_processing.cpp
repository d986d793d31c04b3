// The model's default processing of messages: what the platform does for a window, a dialog and a
// push button when the window's own handler lets a message through (CWnd::Default()).
//
// Realises: WM_NCHITTEST, the system commands (close, move, minimise, maximise, restore) and the
// non-client presses and double-clicks that lead to them, WM_NCACTIVATE, WM_CLOSE, painting and
// erasing with the brush WM_CTLCOLORDLG answers, WM_CTLCOLOR* defaults, the icons (WM_SETICON,
// WM_GETICON), WM_SETTEXT, push buttons (pressed while held, BN_CLICKED on release over them, owner
// drawing). Does not realise: WM_NCPAINT (a window paints its own frame), keyboard navigation
// between items, scroll bars, menus other than the system menu.
#include "framework/emulated/surfaces.h"
#include "framework/emulated/window_record.h"
#include "framework/window_system.h"

#include "framework/gdi.h"
#include "framework/wnd.h"

namespace {

// The dialog manager's processing (what the platform does for a dialog window).
bool IsDialog(const CWindowRecord* pRecord) { return pRecord->strClass == "#32770"; }

// The platform's classification: the client area is client; in a sizable window the outer edges
// and corners resize; the rest of the frame above the client area is the caption.
LRESULT DefaultHitTest(CWindowRecord* pRecord, LPARAM lParam) {
    const CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    const CRect window = pRecord->ScreenRect();
    if (!window.PtInRect(pt)) {
        return HTNOWHERE;
    }
    CRect client = pRecord->rcClient;
    client.OffsetRect(window.left, window.top);
    if (client.PtInRect(pt)) {
        return HTCLIENT;
    }
    if ((pRecord->dwStyle & WS_THICKFRAME) != 0 && !pRecord->bZoomed) {
        constexpr int kEdge = 5;
        const bool bLeft = pt.x < window.left + kEdge;
        const bool bRight = pt.x >= window.right - kEdge;
        const bool bTop = pt.y < window.top + kEdge;
        const bool bBottom = pt.y >= window.bottom - kEdge;
        if (bTop) {
            return bLeft ? HTTOPLEFT : bRight ? HTTOPRIGHT : HTTOP;
        }
        if (bBottom) {
            return bLeft ? HTBOTTOMLEFT : bRight ? HTBOTTOMRIGHT : HTBOTTOM;
        }
        if (bLeft && pt.y >= client.top) {
            return HTLEFT;
        }
        if (bRight && pt.y >= client.top) {
            return HTRIGHT;
        }
    }
    if ((pRecord->dwStyle & WS_CAPTION) == WS_CAPTION && pt.y < client.top) {
        return HTCAPTION;
    }
    return (pRecord->dwStyle & WS_CAPTION) == WS_CAPTION ? HTBORDER : HTCLIENT;
}

void DefaultSysCommand(CWindowRecord* pRecord, WPARAM wParam, LPARAM lParam) {
    switch (wParam & 0xFFF0) {
    case SC_CLOSE:
        AfxSendMessage(pRecord, WM_CLOSE, 0, 0);
        break;
    case SC_MOVE:
        BackendBeginMoveDrag(pRecord, CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        break;
    case SC_MINIMIZE:
    case SC_MAXIMIZE:
    case SC_RESTORE: {
        // A window without an object of its own is shown through a plain wrapper.
        CWnd wrapper;
        CWnd* pWnd = CWnd::FromHandle(pRecord);
        if (pWnd == nullptr) {
            wrapper.m_hWnd = pRecord;
            pWnd = &wrapper;
        }
        const int nShow = (wParam & 0xFFF0) == SC_MINIMIZE   ? SW_MINIMIZE
                          : (wParam & 0xFFF0) == SC_MAXIMIZE ? SW_SHOWMAXIMIZED
                                                             : SW_RESTORE;
        pWnd->ShowWindow(nShow);
        wrapper.m_hWnd = nullptr;
        break;
    }
    default:
        break;
    }
}

// The background of a window: the brush its WM_CTLCOLORDLG answers for a dialog.
void EraseBackground(CWindowRecord* pRecord, CDC* pDC) {
    HBRUSH hBrush = AfxGetDialogBrush();
    if (IsDialog(pRecord)) {
        const auto hAnswer = reinterpret_cast<HBRUSH>(
            AfxSendMessage(pRecord, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(pDC->GetSafeHdc()),
                           reinterpret_cast<LPARAM>(pRecord)));
        if (hAnswer != nullptr) {
            hBrush = hAnswer;
        }
    }
    const CRect client(0, 0, pRecord->rcClient.Width(), pRecord->rcClient.Height());
    pDC->FillSolidRect(&client, ModelBrushObject(hBrush)->crColor);
}

// A push button: pressed while the mouse button is held over it, BN_CLICKED on release over it.
LRESULT ButtonProc(CWindowRecord* pRecord, UINT message, WPARAM wParam, LPARAM lParam) {
    const CRect client(0, 0, pRecord->rcWindow.Width(), pRecord->rcWindow.Height());
    const CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    const auto setPushed = [pRecord](bool bPushed) {
        if (pRecord->bPushed != bPushed) {
            pRecord->bPushed = bPushed;
            WsInvalidateRect(pRecord, nullptr, true);
        }
    };
    switch (message) {
    case WM_LBUTTONDOWN:
        pRecord->bTrackingPress = true;
        setPushed(true);
        return 0;
    case WM_MOUSEMOVE:
        if (pRecord->bTrackingPress) {
            setPushed(client.PtInRect(pt));
        }
        return 0;
    case WM_LBUTTONUP: {
        const bool bClicked = pRecord->bTrackingPress && client.PtInRect(pt);
        pRecord->bTrackingPress = false;
        setPushed(false);
        if (bClicked) {
            AfxSendMessage(pRecord->hParent, WM_COMMAND, MAKEWPARAM(pRecord->nID, BN_CLICKED),
                           reinterpret_cast<LPARAM>(pRecord));
        }
        return 0;
    }
    case WM_PAINT: {
        if (pRecord->hPaintDC == nullptr || (pRecord->dwStyle & 0x0F) != BS_OWNERDRAW) {
            return 0;
        }
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.CtlID = pRecord->nID;
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = pRecord->bPushed ? ODS_SELECTED : 0;
        item.hwndItem = pRecord;
        item.hDC = pRecord->hPaintDC;
        item.rcItem = client;
        AfxSendMessage(pRecord->hParent, WM_DRAWITEM, pRecord->nID, reinterpret_cast<LPARAM>(&item));
        return 0;
    }
    default:
        return 0;
    }
    (void)wParam;
}

} // namespace

LRESULT WsDefWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    if (pRecord == nullptr) {
        return 0;
    }
    if (pRecord->strClass == "Button" && message != WM_NCHITTEST && message != WM_NCCREATE) {
        return ButtonProc(pRecord, message, wParam, lParam);
    }
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_NCHITTEST:
        return DefaultHitTest(pRecord, lParam);
    case WM_SYSCOMMAND:
        DefaultSysCommand(pRecord, wParam, lParam);
        return 0;
    case WM_NCLBUTTONDOWN:
        if (wParam == HTCAPTION) {
            BackendBeginMoveDrag(pRecord, CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        } else if (wParam >= HTLEFT && wParam <= HTBOTTOMRIGHT) {
            BackendBeginResizeDrag(pRecord, static_cast<int>(wParam),
                                   CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        } else if (wParam == HTCLOSE || wParam == HTMINBUTTON || wParam == HTMAXBUTTON) {
            const UINT nCommand = wParam == HTCLOSE       ? SC_CLOSE
                                  : wParam == HTMINBUTTON ? SC_MINIMIZE
                                  : pRecord->bZoomed      ? SC_RESTORE
                                                          : SC_MAXIMIZE;
            AfxSendMessage(hWnd, WM_SYSCOMMAND, nCommand, lParam);
        }
        return 0;
    case WM_NCLBUTTONDBLCLK:
        if (wParam == HTCAPTION) {
            AfxSendMessage(hWnd, WM_SYSCOMMAND, pRecord->bZoomed ? SC_RESTORE : SC_MAXIMIZE, lParam);
        }
        return 0;
    case WM_NCACTIVATE:
        return TRUE;
    case WM_CLOSE:
        if (IsDialog(pRecord)) {
            AfxSendMessage(hWnd, WM_COMMAND, IDCANCEL, 0);
        } else {
            WsDestroyWindow(hWnd);
        }
        return 0;
    case WM_PAINT:
        if (pRecord->hPaintDC != nullptr) {
            AfxSendMessage(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(pRecord->hPaintDC), 0);
        }
        return 0;
    case WM_ERASEBKGND:
        EraseBackground(pRecord, CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
        return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(AfxGetDialogBrush());
    case WM_SETICON: {
        HICON& hSlot = wParam == ICON_BIG ? pRecord->hIconBig : pRecord->hIconSmall;
        HICON hOld = hSlot;
        hSlot = reinterpret_cast<HICON>(lParam);
        return reinterpret_cast<LRESULT>(hOld);
    }
    case WM_GETICON:
        return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? pRecord->hIconBig : pRecord->hIconSmall);
    case WM_SETTEXT:
        pRecord->strText = lParam != 0 ? reinterpret_cast<const char*>(lParam) : "";
        BackendTextChanged(pRecord);
        // A captioned window's caption is drawn again (the themed caption request).
        if ((pRecord->dwStyle & WS_CAPTION) == WS_CAPTION) {
            AfxSendMessage(hWnd, WM_NCUAHDRAWCAPTION, 0, 0);
        }
        return TRUE;
    default:
        return 0;
    }
}
