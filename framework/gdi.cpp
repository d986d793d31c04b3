// The drawing classes, on the window system's drawing calls: context objects for handles, the
// window contexts, the objects that own bitmaps, brushes and regions, CImage.
#include "framework/gdi.h"

#include "framework/window_system.h"
#include "framework/wnd.h"

#include <map>
#include <memory>

namespace {

std::map<HDC, CDC*>& AttachedContexts() {
    static std::map<HDC, CDC*> s_contexts;
    return s_contexts;
}

std::map<HDC, std::unique_ptr<CDC>>& TemporaryContexts() {
    static std::map<HDC, std::unique_ptr<CDC>> s_contexts;
    return s_contexts;
}

} // namespace

CDC::~CDC() {
    if (m_bOwned) {
        DeleteDC();
    } else {
        Detach();
    }
}

CDC* CDC::FromHandle(HDC hDC) {
    if (hDC == nullptr) {
        return nullptr;
    }
    if (auto it = AttachedContexts().find(hDC); it != AttachedContexts().end()) {
        return it->second;
    }
    std::unique_ptr<CDC>& pTemporary = TemporaryContexts()[hDC];
    if (!pTemporary) {
        pTemporary = std::make_unique<CDC>();
        pTemporary->m_hDC = hDC; // not attached: the handle stays its maker's
    }
    return pTemporary.get();
}

BOOL CDC::Attach(HDC hDC) {
    if (hDC == nullptr || m_hDC != nullptr) {
        return FALSE;
    }
    m_hDC = hDC;
    AttachedContexts()[hDC] = this;
    return TRUE;
}

HDC CDC::Detach() {
    HDC hDC = m_hDC;
    if (auto it = AttachedContexts().find(hDC); it != AttachedContexts().end() && it->second == this) {
        AttachedContexts().erase(it);
    }
    m_hDC = nullptr;
    m_bOwned = false;
    return hDC;
}

void AfxDeleteTemporaryObjects() { TemporaryContexts().clear(); }

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
    if (m_hDC != nullptr) {
        return FALSE;
    }
    HDC hDC = WsCreateMemoryDC(pDC != nullptr ? pDC->m_hDC : nullptr);
    if (hDC == nullptr) {
        return FALSE;
    }
    Attach(hDC);
    m_bOwned = true;
    return TRUE;
}

BOOL CDC::DeleteDC() {
    if (m_hDC == nullptr) {
        return FALSE;
    }
    const bool bOwned = m_bOwned;
    HDC hDC = Detach();
    if (bOwned) {
        WsDeleteMemoryDC(hDC);
    }
    m_pSelected = nullptr;
    return TRUE;
}

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(pWnd != nullptr ? pWnd->m_hWnd : nullptr) {
    Attach(WsGetWindowDC(m_hWnd));
}

CWindowDC::~CWindowDC() { WsReleaseDC(m_hWnd, Detach()); }

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd != nullptr ? pWnd->m_hWnd : nullptr) {
    Attach(WsBeginPaint(m_hWnd));
}

CPaintDC::~CPaintDC() { WsEndPaint(m_hWnd, Detach()); }

CMemoryStream* AfxCreateMemoryStream() { return new CMemoryStream; }

// ---- Bitmaps, brushes, regions: the objects own their handles ----

namespace {

template <typename THandle, typename TDelete>
BOOL DeleteHandle(THandle& hObject, TDelete pfnDelete) {
    if (hObject == nullptr) {
        return FALSE;
    }
    pfnDelete(hObject);
    hObject = nullptr;
    return TRUE;
}

} // namespace

BOOL CBitmap::LoadBitmap(UINT nIDResource) {
    DeleteObject();
    m_hObject = WsLoadBitmap(nIDResource);
    return m_hObject != nullptr;
}

BOOL CBitmap::CreateDIBSection(int nWidth, int nHeight) {
    DeleteObject();
    m_hObject = nWidth > 0 && nHeight > 0 ? WsCreateDIBSection(nWidth, nHeight) : nullptr;
    return m_hObject != nullptr;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight) {
    DeleteObject();
    m_hObject = WsCreateCompatibleBitmap(pDC != nullptr ? pDC->m_hDC : nullptr, nWidth, nHeight);
    return m_hObject != nullptr;
}

BOOL CBitmap::DeleteObject() { return DeleteHandle(m_hObject, WsDeleteBitmap); }

CSize CBitmap::GetSize() const { return m_hObject != nullptr ? WsGetBitmapSize(m_hObject) : CSize(); }

BOOL CBrush::CreateSolidBrush(COLORREF crColor) {
    DeleteObject();
    m_hObject = WsCreateSolidBrush(crColor);
    return m_hObject != nullptr;
}

BOOL CBrush::DeleteObject() { return DeleteHandle(m_hObject, WsDeleteBrush); }

BOOL CRgn::CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3) {
    DeleteObject();
    m_hObject = WsCreateRoundRectRgn(x1, y1, x2, y2, x3, y3);
    return m_hObject != nullptr;
}

BOOL CRgn::DeleteObject() { return DeleteHandle(m_hObject, WsDeleteRegion); }

HRGN CRgn::Detach() {
    HRGN hRgn = m_hObject;
    m_hObject = nullptr;
    return hRgn;
}

// ---- Drawing on a context ----

CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
    if (m_hDC == nullptr || !WsSelectBitmap(m_hDC, pBitmap != nullptr ? pBitmap->m_hObject : nullptr)) {
        return nullptr;
    }
    CBitmap* pPrevious = m_pSelected;
    m_pSelected = pBitmap;
    return pPrevious;
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
    if (m_hDC != nullptr && lpRect != nullptr) {
        WsFillSolidRect(m_hDC, *lpRect, clr);
    }
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop) {
    return pSrcDC != nullptr && WsBitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC->m_hDC, xSrc, ySrc, dwRop);
}

BOOL CDC::AlphaBlend(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc) {
    return pSrcDC != nullptr && WsAlphaBlend(m_hDC, x, y, nWidth, nHeight, pSrcDC->m_hDC, xSrc, ySrc);
}

BOOL CDC::DrawIcon(int x, int y, HICON hIcon) { return hIcon != nullptr && WsDrawIcon(m_hDC, x, y, hIcon); }

BOOL CDC::DrawIconEx(int x, int y, HICON hIcon, int cx, int cy) {
    return hIcon != nullptr && WsDrawIconEx(m_hDC, x, y, hIcon, cx, cy);
}

int CDC::ExcludeClipRect(LPCRECT lpRect) { return lpRect != nullptr ? WsExcludeClipRect(m_hDC, *lpRect) : 0; }

int CDC::SelectClipRgn(CRgn* pRgn) {
    return WsSelectClipRgn(m_hDC, pRgn != nullptr ? pRgn->m_hObject : nullptr);
}

int CDC::GetClipBox(LPRECT lpRect) const { return WsGetClipBox(m_hDC, lpRect); }

// ---- CImage ----

HRESULT CImage::Load(CMemoryStream* pStream) {
    Destroy();
    m_hBitmap = WsDecodeImage(pStream, m_size);
    if (m_hBitmap == nullptr) {
        m_size = CSize();
        return E_FAIL;
    }
    return S_OK;
}

void CImage::Destroy() {
    if (m_hBitmap != nullptr) {
        WsDeleteImage(m_hBitmap);
    }
    m_hBitmap = nullptr;
    m_size = CSize();
}

BOOL CImage::Draw(HDC hDestDC, int x, int y) const {
    return !IsNull() && hDestDC != nullptr && WsDrawImage(hDestDC, x, y, m_hBitmap, m_size);
}

HBRUSH AfxGetDialogBrush() { return WsGetDialogBrush(); }
HICON AfxLoadIcon(UINT nIDResource) { return WsLoadIcon(nIDResource); }
