// The window model's realisation of the window-system seam: windows, their state, painting
// contexts, modal loops and the desktop, on the model's window records.
//
// Realises every call of window_system.h. Owner disabling during a modal loop is not modelled
// (the GTK windows of the launcher are never modal to each other).
#include "framework/emulated/browser_model.h"
#include "framework/emulated/window_record.h"
#include "framework/gdi.h"
#include "framework/resources.h"
#include "framework/window_system.h"

// ---- Windows and their objects ----

bool WsIsWindow(HWND hWnd) { return ModelIsWindow(hWnd); }

CWnd* WsWindowObject(HWND hWnd) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    return pRecord != nullptr ? pRecord->pWnd : nullptr;
}

bool WsAttachWindowObject(HWND hWnd, CWnd* pWnd) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    if (pRecord == nullptr || pRecord->pWnd != nullptr) {
        return false;
    }
    pRecord->pWnd = pWnd;
    return true;
}

void WsDetachWindowObject(HWND hWnd, CWnd* pWnd) {
    if (CWindowRecord* pRecord = ModelGetRecord(hWnd); pRecord != nullptr && pRecord->pWnd == pWnd) {
        pRecord->pWnd = nullptr;
    }
}

CWnd* WsPlainWindowObject(HWND hWnd) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    if (pRecord == nullptr) {
        return nullptr;
    }
    if (!pRecord->pWrapper) {
        pRecord->pWrapper = std::make_unique<CWnd>();
        pRecord->pWrapper->SubclassWindow(hWnd);
    }
    return pRecord->pWrapper.get();
}

// ---- Creation ----

CRect WsMapDialogRect(HWND hDialog, int x, int y, int cx, int cy) {
    const CWindowRecord* pRecord = ModelGetRecord(hDialog);
    if (pRecord == nullptr || pRecord->pTemplate == nullptr) {
        return CRect(x, y, x + cx, y + cy);
    }
    return AfxDialogUnitsToPixels(*pRecord->pTemplate, x, y, cx, cy);
}

HWND WsCreateDialogWindow(const CDialogTemplate& dialogTemplate, CWnd* pWnd, HWND hOwner) {
    CWindowCreate create;
    create.strClass = "#32770";
    create.strText = dialogTemplate.pszTitle;
    create.dwStyle = dialogTemplate.dwStyle & ~static_cast<DWORD>(WS_VISIBLE);
    create.dwExStyle = dialogTemplate.dwExStyle;
    create.rect = AfxDialogUnitsToPixels(dialogTemplate, dialogTemplate.x, dialogTemplate.y,
                                         dialogTemplate.cx, dialogTemplate.cy);
    create.hOwner = hOwner;
    HWND hWnd = ModelCreateWindow(create, pWnd);
    if (hWnd == nullptr) {
        return nullptr;
    }
    ModelGetRecord(hWnd)->pTemplate = &dialogTemplate;
    for (const CDialogItemTemplate& item : dialogTemplate.items) {
        if (std::string(item.pszClass) == "WebBrowser") {
            continue; // the framework's control host makes it
        }
        CWindowCreate child;
        child.strClass = item.pszClass;
        child.dwStyle = item.dwStyle | WS_CHILD;
        child.rect = AfxDialogUnitsToPixels(dialogTemplate, item.x, item.y, item.cx, item.cy);
        child.hParent = hWnd;
        child.nID = item.nID;
        ModelCreateWindow(child, nullptr);
    }
    AfxSendMessage(hWnd, WM_INITDIALOG, 0, 0);
    return WsIsWindow(hWnd) ? hWnd : nullptr;
}

// ---- Geometry and state ----

CRect WsGetWindowRect(HWND hWnd) { return ModelScreenRect(hWnd); }

CRect WsGetClientRect(HWND hWnd) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    return pRecord != nullptr ? CRect(0, 0, pRecord->rcClient.Width(), pRecord->rcClient.Height()) : CRect();
}

void WsMoveWindow(HWND hWnd, const CRect& rect, bool bRepaint) { ModelSetWindowRect(hWnd, rect, bRepaint); }

BOOL WsShowWindow(HWND hWnd, int nCmdShow) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    if (pRecord == nullptr) {
        return FALSE;
    }
    const BOOL bWasVisible = pRecord->bVisible ? TRUE : FALSE;
    if (nCmdShow == SW_HIDE) {
        ModelSetVisible(hWnd, false);
        return bWasVisible;
    }
    ModelSetVisible(hWnd, true);
    const bool bWasIconic = pRecord->bIconic;
    const bool bWasZoomed = pRecord->bZoomed;
    switch (nCmdShow) {
    case SW_MINIMIZE:
        if (!bWasIconic) {
            ModelNativeStateChanged(hWnd, true, bWasZoomed);
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
            ModelSetWindowRect(hWnd, AfxGetWorkArea(), true);
            if (ModelGetRecord(hWnd) != nullptr && pRecord->rcWindow == AfxGetWorkArea() && bWasZoomed) {
                ModelNativeStateChanged(hWnd, false, true);
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
                ModelSetWindowRect(hWnd, pRecord->rcRestore, true);
            }
            // A change of size has reported itself; otherwise the new state is reported here.
            if (ModelGetRecord(hWnd) != nullptr && pRecord->rcWindow.Width() == sizeBefore.cx &&
                pRecord->rcWindow.Height() == sizeBefore.cy) {
                const WPARAM nType = pRecord->bZoomed ? SIZE_MAXIMIZED : SIZE_RESTORED;
                AfxSendMessage(hWnd, WM_SIZE, nType,
                               MAKELPARAM(pRecord->rcClient.Width(), pRecord->rcClient.Height()));
            }
        }
        break;
    default:
        break;
    }
    return bWasVisible;
}

bool WsIsWindowVisible(HWND hWnd) { return ModelIsVisible(hWnd); }
bool WsIsIconic(HWND hWnd) { return ModelIsIconic(hWnd); }
bool WsIsZoomed(HWND hWnd) { return ModelIsZoomed(hWnd); }

CPoint WsClientOrigin(HWND hWnd) {
    const CWindowRecord* pRecord = ModelGetRecord(hWnd);
    return pRecord != nullptr ? pRecord->ScreenRect().TopLeft() + pRecord->rcClient.TopLeft() : CPoint();
}

void WsInvalidateRect(HWND hWnd, const RECT* pRect, bool) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    if (pRecord == nullptr) {
        return;
    }
    const CRect rcClient(0, 0, pRecord->rcClient.Width(), pRecord->rcClient.Height());
    CRect rcArea = rcClient;
    if (pRect != nullptr && !rcArea.IntersectRect(rcClient, *pRect)) {
        return;
    }
    CRect& rcInvalid = pRecord->rcInvalid;
    rcInvalid =
        rcInvalid.IsRectEmpty()
            ? rcArea
            : CRect(std::min(rcInvalid.left, rcArea.left), std::min(rcInvalid.top, rcArea.top),
                    std::max(rcInvalid.right, rcArea.right), std::max(rcInvalid.bottom, rcArea.bottom));
    BackendWindowInvalidated(pRecord);
}

void WsUpdateWindow(HWND hWnd) {
    if (CWindowRecord* pRecord = ModelGetRecord(hWnd);
        pRecord != nullptr && !pRecord->rcInvalid.IsRectEmpty()) {
        BackendPaintNow(pRecord);
    }
}

HWND WsGetDlgItem(HWND hWnd, int nID) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    if (pRecord == nullptr) {
        return nullptr;
    }
    for (HWND hChild : pRecord->children) {
        if (ModelGetRecord(hChild)->nID == static_cast<UINT>(nID)) {
            return hChild;
        }
    }
    return nullptr;
}

int WsGetDlgCtrlID(HWND hWnd) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    return pRecord != nullptr ? static_cast<int>(pRecord->nID) : 0;
}

HWND WsGetParentOrOwner(HWND hWnd) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    if (pRecord == nullptr) {
        return nullptr;
    }
    return pRecord->hParent != nullptr ? pRecord->hParent : pRecord->hOwner;
}

std::string WsGetWindowText(HWND hWnd) { return ModelWindowText(hWnd); }

LONG WsGetWindowLong(HWND hWnd, int nIndex) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    if (pRecord == nullptr) {
        return 0;
    }
    return static_cast<LONG>(nIndex == GWL_EXSTYLE ? pRecord->dwExStyle
                             : nIndex == GWL_STYLE ? pRecord->dwStyle
                                                   : 0);
}

LONG WsSetWindowLong(HWND hWnd, int nIndex, LONG dwNewLong) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    if (pRecord == nullptr || (nIndex != GWL_STYLE && nIndex != GWL_EXSTYLE)) {
        return 0;
    }
    DWORD& dwSlot = nIndex == GWL_EXSTYLE ? pRecord->dwExStyle : pRecord->dwStyle;
    const LONG nOld = static_cast<LONG>(dwSlot);
    dwSlot = static_cast<DWORD>(dwNewLong);
    return nOld;
}

void WsSetFocus(HWND hWnd) {
    if (CWindowRecord* pRecord = ModelGetRecord(hWnd)) {
        BackendSetFocus(pRecord);
    }
}

int WsSetWindowRgn(HWND hWnd, HRGN hRgn, BOOL) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    if (pRecord == nullptr) {
        return 0;
    }
    // The model keeps the shape itself; the region object stays its maker's.
    const CRegionObject* pRegion = ModelRegionObject(hRgn);
    const bool bChanged = pRecord->bHasRegion != (pRegion != nullptr) ||
                          (pRegion != nullptr && (!(pRecord->rcRegion == pRegion->rect) ||
                                                  pRecord->nRegionEllipse != pRegion->nEllipse));
    pRecord->bHasRegion = pRegion != nullptr;
    if (pRegion != nullptr) {
        pRecord->rcRegion = pRegion->rect;
        pRecord->nRegionEllipse = pRegion->nEllipse;
    }
    if (bChanged) {
        BackendShapeChanged(pRecord);
    }
    return 1;
}

BOOL WsSetLayeredWindowAttributes(HWND hWnd, COLORREF crKey, BYTE, DWORD dwFlags) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    if (pRecord == nullptr || (pRecord->dwExStyle & WS_EX_LAYERED) == 0) {
        return FALSE;
    }
    pRecord->bColorKey = (dwFlags & LWA_COLORKEY) != 0;
    pRecord->crKey = crKey;
    BackendLayeredChanged(pRecord);
    return TRUE;
}

BOOL WsUpdateLayeredWindow(HWND hWnd, const POINT* pptDst, const SIZE* psize, HDC hdcSrc, const POINT* pptSrc,
                           DWORD dwFlags) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    cairo_surface_t* pSource = ModelDcSurface(hdcSrc);
    if (pRecord == nullptr || (pRecord->dwExStyle & WS_EX_LAYERED) == 0 || pSource == nullptr ||
        psize == nullptr || (dwFlags & ULW_ALPHA) == 0) {
        return FALSE;
    }
    // The window keeps its own copy of the DIB's bytes, as the window system does.
    CSurfaceRef surface = ModelCreateSurface(psize->cx, psize->cy);
    if (!surface) {
        return FALSE;
    }
    cairo_t* pCairo = cairo_create(surface.Get());
    cairo_set_operator(pCairo, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(pCairo, pSource, pptSrc != nullptr ? -pptSrc->x : 0,
                             pptSrc != nullptr ? -pptSrc->y : 0);
    cairo_paint(pCairo);
    cairo_destroy(pCairo);
    cairo_surface_flush(surface.Get());
    pRecord->layeredSurface = surface;
    CRect rect = pRecord->rcWindow;
    if (pptDst != nullptr) {
        rect = CRect(pptDst->x, pptDst->y, pptDst->x + psize->cx, pptDst->y + psize->cy);
    } else {
        rect.right = rect.left + psize->cx;
        rect.bottom = rect.top + psize->cy;
    }
    BackendLayeredChanged(pRecord);
    ModelSetWindowRect(hWnd, rect, false);
    return TRUE;
}

UINT WsTrackSystemMenu(HWND hWnd, CPoint ptScreen) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    return pRecord != nullptr ? BackendTrackSystemMenu(pRecord, ptScreen) : 0;
}

BOOL WsTrackMouseEvent(TRACKMOUSEEVENT* lpEventTrack) {
    CWindowRecord* pRecord = lpEventTrack != nullptr ? ModelGetRecord(lpEventTrack->hwndTrack) : nullptr;
    if (pRecord == nullptr) {
        return FALSE;
    }
    pRecord->bTrackingLeave = (lpEventTrack->dwFlags & TME_LEAVE) != 0;
    return TRUE;
}

// ---- Painting ----

HDC WsBeginPaint(HWND hWnd) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    if (pRecord == nullptr || pRecord->hPaintDC == nullptr) {
        return nullptr;
    }
    const CDcObject* pPaint = ModelDcObject(pRecord->hPaintDC);
    HDC hDC = ModelCreateSurfaceDC(pPaint->target, pPaint->origin);
    AfxSendMessage(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hDC), 0);
    return hDC;
}

void WsEndPaint(HWND, HDC hDC) {
    if (hDC != nullptr) {
        ModelDeleteSurfaceDC(hDC);
    }
}

HDC WsGetWindowDC(HWND hWnd) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    if (pRecord == nullptr) {
        return nullptr;
    }
    const int nWidth = pRecord->rcWindow.Width();
    const int nHeight = pRecord->rcWindow.Height();
    if (!pRecord->frameSurface || pRecord->frameSurface.Width() != nWidth ||
        pRecord->frameSurface.Height() != nHeight) {
        pRecord->frameSurface = ModelCreateSurface(nWidth, nHeight);
    }
    HDC hDC = ModelCreateSurfaceDC(pRecord->frameSurface);
    ModelDcObject(hDC)->hFrameOf = hWnd;
    return hDC;
}

HDC WsGetDC(HWND) {
    // The screen's context: a source of compatible contexts, nothing to draw on.
    return ModelCreateSurfaceDC(CSurfaceRef());
}

void WsReleaseDC(HWND, HDC hDC) {
    if (hDC == nullptr) {
        return;
    }
    HWND hFrameOf = ModelDcObject(hDC)->hFrameOf;
    ModelDeleteSurfaceDC(hDC);
    if (CWindowRecord* pRecord = ModelGetRecord(hFrameOf)) {
        BackendFrameChanged(pRecord);
    }
}

void ModelPaintWindow(HWND hWnd, const CSurfaceRef& surface) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    if (pRecord == nullptr || !surface) {
        return;
    }
    HDC hPrevious = pRecord->hPaintDC;
    HDC hDC = ModelCreateSurfaceDC(surface);
    pRecord->hPaintDC = hDC;
    pRecord->rcInvalid = CRect();
    AfxSendMessage(hWnd, WM_PAINT, 0, 0);
    if (ModelGetRecord(hWnd) != nullptr) {
        pRecord->hPaintDC = hPrevious;
    }
    ModelDeleteSurfaceDC(hDC);
    cairo_surface_flush(surface.Get());
}

// ---- Modal loops ----

namespace {
bool ModalGoesOn(void* pContext) {
    CWindowRecord* pRecord = ModelGetRecord(static_cast<HWND>(pContext));
    return pRecord != nullptr && !pRecord->bDialogEnded;
}
} // namespace

INT_PTR WsRunModalLoop(HWND hDialog) {
    ModelRunMessageLoop(ModalGoesOn, hDialog);
    CWindowRecord* pRecord = ModelGetRecord(hDialog);
    return pRecord != nullptr && pRecord->bDialogEnded ? pRecord->nDialogResult : -1;
}

void WsEndDialog(HWND hDialog, int nResult) {
    CWindowRecord* pRecord = ModelGetRecord(hDialog);
    if (pRecord == nullptr) {
        return;
    }
    pRecord->bDialogEnded = true;
    pRecord->nDialogResult = nResult;
    // A modeless dialog is hidden; a modal one ends its loop.
    ModelSetVisible(hDialog, false);
    BackendWakeUp();
}

// ---- The desktop ----

int WsShowMessageBox(HWND hOwner, const std::string& strText, const std::string& strCaption, UINT nType) {
    return BackendMessageBox(ModelGetRecord(hOwner), strText, strCaption, nType);
}

bool WsShellOpen(const std::string& strUrl) { return BackendShellOpen(strUrl); }
