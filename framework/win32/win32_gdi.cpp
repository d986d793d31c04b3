// The drawing classes on Windows' own GDI.
//
// Realises: DIB sections and resource bitmaps (LoadImage of the program's BITMAP resources), compatible
// bitmaps, solid brushes, round-rectangle regions, memory contexts, FillSolidRect, BitBlt, AlphaBlend
// (AC_SRC_ALPHA), DrawIcon/DrawIconEx, ExcludeClipRect/SelectClipRgn/GetClipBox.
// Icons are the program's icon resources (LoadImage, shared).
// Does not realise: raster operations other than the ones named.
#include "framework/gdi.h"
#include "framework/window_system.h"

namespace {

template <typename THandle>
BOOL DeleteHandle(THandle& hObject) {
    if (hObject == nullptr) {
        return FALSE;
    }
    ::DeleteObject(hObject);
    hObject = nullptr;
    return TRUE;
}

} // namespace

BOOL CBitmap::LoadBitmap(UINT nIDResource) {
    DeleteObject();
    // A DIB section keeps the resource's pixels exactly (no conversion to the screen's format).
    m_hObject = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nIDResource),
                                                IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    return m_hObject != nullptr;
}

BOOL CBitmap::CreateDIBSection(int nWidth, int nHeight) {
    DeleteObject();
    if (nWidth <= 0 || nHeight <= 0) {
        return FALSE;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = nWidth;
    info.bmiHeader.biHeight = -nHeight; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    m_hObject = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
    return m_hObject != nullptr;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight) {
    DeleteObject();
    HDC hDC = pDC != nullptr && pDC->m_hDC != nullptr ? pDC->m_hDC : GetDC(nullptr);
    m_hObject = ::CreateCompatibleBitmap(hDC, nWidth, nHeight);
    if (pDC == nullptr || pDC->m_hDC == nullptr) {
        ReleaseDC(nullptr, hDC);
    }
    return m_hObject != nullptr;
}

BOOL CBitmap::DeleteObject() { return DeleteHandle(m_hObject); }

CSize CBitmap::GetSize() const {
    BITMAP bitmap{};
    if (m_hObject == nullptr || GetObjectA(m_hObject, sizeof(bitmap), &bitmap) == 0) {
        return CSize();
    }
    return CSize(bitmap.bmWidth, bitmap.bmHeight < 0 ? -bitmap.bmHeight : bitmap.bmHeight);
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor) {
    DeleteObject();
    m_hObject = ::CreateSolidBrush(crColor);
    return m_hObject != nullptr;
}

BOOL CBrush::DeleteObject() { return DeleteHandle(m_hObject); }

HBRUSH AfxGetDialogBrush() { return GetSysColorBrush(COLOR_BTNFACE); }

BOOL CRgn::CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3) {
    DeleteObject();
    m_hObject = ::CreateRoundRectRgn(x1, y1, x2, y2, x3, y3);
    return m_hObject != nullptr;
}

BOOL CRgn::DeleteObject() { return DeleteHandle(m_hObject); }

HRGN CRgn::Detach() {
    HRGN hRgn = m_hObject;
    m_hObject = nullptr;
    return hRgn;
}

HICON AfxLoadIcon(UINT nIDResource) {
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nIDResource), IMAGE_ICON,
                                         0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

HDC AfxCreateMemoryDC(HDC hDC) { return ::CreateCompatibleDC(hDC); }

void AfxDeleteMemoryDC(HDC hDC) { ::DeleteDC(hDC); }

CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
    if (m_hDC == nullptr || pBitmap == nullptr) {
        return nullptr;
    }
    CBitmap* pPrevious = m_pSelected;
    ::SelectObject(m_hDC, pBitmap->m_hObject);
    m_pSelected = pBitmap;
    return pPrevious;
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
    if (m_hDC == nullptr || lpRect == nullptr) {
        return;
    }
    // The classic way: an opaque text output of nothing, in the colour.
    const COLORREF crOld = SetBkColor(m_hDC, clr);
    ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
    SetBkColor(m_hDC, crOld);
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop) {
    return pSrcDC != nullptr && ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC->m_hDC, xSrc, ySrc, dwRop);
}

BOOL CDC::AlphaBlend(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc) {
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return pSrcDC != nullptr &&
           ::AlphaBlend(m_hDC, x, y, nWidth, nHeight, pSrcDC->m_hDC, xSrc, ySrc, nWidth, nHeight, blend);
}

BOOL CDC::DrawIcon(int x, int y, HICON hIcon) { return hIcon != nullptr && ::DrawIcon(m_hDC, x, y, hIcon); }

BOOL CDC::DrawIconEx(int x, int y, HICON hIcon, int cx, int cy) {
    return hIcon != nullptr && ::DrawIconEx(m_hDC, x, y, hIcon, cx, cy, 0, nullptr, DI_NORMAL);
}

int CDC::ExcludeClipRect(LPCRECT lpRect) {
    return lpRect != nullptr
               ? ::ExcludeClipRect(m_hDC, lpRect->left, lpRect->top, lpRect->right, lpRect->bottom)
               : ERROR;
}

int CDC::SelectClipRgn(CRgn* pRgn) {
    return ::SelectClipRgn(m_hDC, pRgn != nullptr ? pRgn->m_hObject : nullptr);
}

int CDC::GetClipBox(LPRECT lpRect) const { return ::GetClipBox(m_hDC, lpRect); }
