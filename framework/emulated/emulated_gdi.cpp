#include "framework/gdi.h"

#include "framework/resources.h"
#include "framework/emulated/window_core.h"
#include "framework/wnd.h"

#include <cstring>
#include <map>

namespace {

std::uint32_t ReadLittle(const BYTE* p, int nBytes) {
    std::uint32_t value = 0;
    for (int i = nBytes - 1; i >= 0; --i) {
        value = (value << 8) | p[i];
    }
    return value;
}

} // namespace

bool AfxDecodeBmp(const BYTE* pData, std::size_t nSize, CPixels& pixels) {
    if (nSize >= 14 && pData[0] == 'B' && pData[1] == 'M') {
        const std::size_t nOffset = ReadLittle(pData + 10, 4);
        const BYTE* pInfo = pData + 14;
        if (nSize < 14 + 40 || nOffset > nSize) {
            return false;
        }
        const int nWidth = static_cast<int>(ReadLittle(pInfo + 4, 4));
        const int nHeightRaw = static_cast<int>(ReadLittle(pInfo + 8, 4));
        const int nBits = static_cast<int>(ReadLittle(pInfo + 14, 2));
        const std::uint32_t nCompression = ReadLittle(pInfo + 16, 4);
        const bool bBottomUp = nHeightRaw > 0;
        const int nHeight = bBottomUp ? nHeightRaw : -nHeightRaw;
        if (nWidth <= 0 || nHeight <= 0 || nWidth > 16384 || nHeight > 16384 ||
            (nBits != 24 && nBits != 32) || nCompression != 0) {
            return false;
        }
        const std::size_t nStride = ((static_cast<std::size_t>(nWidth) * nBits / 8) + 3) & ~std::size_t(3);
        if (nOffset + nStride * nHeight > nSize) {
            return false;
        }
        pixels = CPixels(nWidth, nHeight);
        for (int y = 0; y < nHeight; ++y) {
            const BYTE* pRow = pData + nOffset + nStride * (bBottomUp ? nHeight - 1 - y : y);
            for (int x = 0; x < nWidth; ++x) {
                const BYTE* p = pRow + x * (nBits / 8);
                pixels.At(x, y) = AfxArgb(255, p[2], p[1], p[0]);
            }
        }
        return true;
    }
    return false;
}

BOOL CBitmap::LoadBitmap(UINT nIDResource) {
    const BYTE* pData = nullptr;
    std::size_t nSize = 0;
    return AfxFindResource(nIDResource, RT_BITMAP, pData, nSize) && AfxDecodeBmp(pData, nSize, m_pixels);
}

BOOL CBitmap::CreateDIBSection(int nWidth, int nHeight) {
    if (nWidth <= 0 || nHeight <= 0) {
        return FALSE;
    }
    m_pixels = CPixels(nWidth, nHeight, 0);
    return TRUE;
}

BOOL CBitmap::DeleteObject() {
    m_pixels = CPixels();
    return TRUE;
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor) {
    m_crColor = crColor;
    m_bCreated = true;
    return TRUE;
}

HBRUSH AfxGetDialogBrush() {
    static CBrush s_brush = [] {
        CBrush brush;
        brush.CreateSolidBrush(RGB(240, 240, 240));
        return brush;
    }();
    return s_brush;
}

HICON AfxLoadIcon(UINT nIDResource) {
    // Icons are shared and live as long as the process, as the platform's shared icons do.
    static std::map<UINT, std::unique_ptr<CIcon>> s_icons;
    if (auto it = s_icons.find(nIDResource); it != s_icons.end()) {
        return reinterpret_cast<HICON>(it->second.get());
    }
    const BYTE* pData = nullptr;
    std::size_t nSize = 0;
    if (!AfxFindResource(nIDResource, RT_GROUP_ICON, pData, nSize)) {
        return nullptr;
    }
    auto pIcon = std::make_unique<CIcon>();
    if (!AfxDecodeImage(pData, nSize, pIcon->pixels)) {
        pIcon->pixels = CPixels(32, 32, 0);
    }
    HICON hIcon = reinterpret_cast<HICON>(pIcon.get());
    s_icons.emplace(nIDResource, std::move(pIcon));
    return hIcon;
}

BOOL CDC::CreateCompatibleDC(CDC*) {
    m_bMemory = true;
    m_pTarget = nullptr;
    return TRUE;
}

BOOL CDC::DeleteDC() {
    m_pSelected = nullptr;
    m_pTarget = nullptr;
    return TRUE;
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
    CBitmap* pPrevious = m_pSelected;
    m_pSelected = pBitmap;
    return pPrevious;
}

CPixels* CDC::Target() const {
    if (m_bMemory) {
        return m_pSelected != nullptr ? &m_pSelected->m_pixels : nullptr;
    }
    return m_pTarget;
}

bool CDC::Clipped(int x, int y) const {
    for (const CRect& rect : m_excluded) {
        if (rect.PtInRect(CPoint(x, y))) {
            return true;
        }
    }
    return false;
}

int CDC::ExcludeClipRect(LPCRECT lpRect) {
    if (lpRect != nullptr) {
        CRect rect(*lpRect);
        rect.OffsetRect(m_origin.x, m_origin.y);
        m_excluded.push_back(rect);
    }
    return 2; // a complex region
}

int CDC::SelectClipRgn(void*) {
    m_excluded.clear();
    return 1;
}

int CDC::GetClipBox(LPRECT lpRect) const {
    const CPixels* pTarget = Target();
    *lpRect = pTarget != nullptr ? CRect(0, 0, pTarget->nWidth, pTarget->nHeight) : CRect();
    return pTarget != nullptr ? 2 : 0;
}

BOOL CDC::DrawIconEx(int x, int y, HICON hIcon, int cx, int cy) {
    if (hIcon == nullptr || cx <= 0 || cy <= 0) {
        return FALSE;
    }
    const CPixels& source = AfxIconFromHandle(hIcon)->pixels;
    CPixels scaled(cx, cy);
    for (int row = 0; row < cy && !source.Empty(); ++row) {
        for (int column = 0; column < cx; ++column) {
            scaled.At(column, row) = source.At(column * source.nWidth / cx, row * source.nHeight / cy);
        }
    }
    AlphaBlend(scaled, x, y);
    return TRUE;
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
    CPixels* pTarget = Target();
    if (pTarget == nullptr || lpRect == nullptr) {
        return;
    }
    CRect rect(*lpRect);
    rect.OffsetRect(m_origin.x, m_origin.y);
    CRect clip;
    clip.IntersectRect(rect, CRect(0, 0, pTarget->nWidth, pTarget->nHeight));
    const std::uint32_t value = AfxArgbFromColorRef(clr);
    for (int y = clip.top; y < clip.bottom; ++y) {
        for (int x = clip.left; x < clip.right; ++x) {
            if (!Clipped(x, y)) {
                pTarget->At(x, y) = value;
            }
        }
    }
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD) {
    CPixels* pTarget = Target();
    const CPixels* pSource = pSrcDC != nullptr ? pSrcDC->Target() : nullptr;
    if (pTarget == nullptr || pSource == nullptr) {
        return FALSE;
    }
    for (int row = 0; row < nHeight; ++row) {
        for (int column = 0; column < nWidth; ++column) {
            const int sx = xSrc + column;
            const int sy = ySrc + row;
            const int dx = x + column + m_origin.x;
            const int dy = y + row + m_origin.y;
            if (sx >= 0 && sy >= 0 && sx < pSource->nWidth && sy < pSource->nHeight && dx >= 0 && dy >= 0 &&
                dx < pTarget->nWidth && dy < pTarget->nHeight && !Clipped(dx, dy)) {
                pTarget->At(dx, dy) = pSource->At(sx, sy);
            }
        }
    }
    return TRUE;
}

void CDC::AlphaBlend(const CPixels& source, int x, int y) {
    CPixels* pTarget = Target();
    if (pTarget == nullptr) {
        return;
    }
    for (int sy = 0; sy < source.nHeight; ++sy) {
        const int dy = y + sy + m_origin.y;
        if (dy < 0 || dy >= pTarget->nHeight) {
            continue;
        }
        for (int sx = 0; sx < source.nWidth; ++sx) {
            const int dx = x + sx + m_origin.x;
            if (dx < 0 || dx >= pTarget->nWidth) {
                continue;
            }
            // dst = src + dst * (1 - src alpha), per channel, as AlphaBlend computes it.
            const std::uint32_t s = source.At(sx, sy);
            const std::uint32_t d = pTarget->At(dx, dy);
            const std::uint32_t nInverse = 255 - (s >> 24);
            std::uint32_t result = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                const std::uint32_t value =
                    ((s >> shift) & 0xFF) + (((d >> shift) & 0xFF) * nInverse + 127) / 255;
                result |= (value > 255 ? 255 : value) << shift;
            }
            pTarget->At(dx, dy) = result;
        }
    }
}

BOOL CDC::DrawIcon(int x, int y, HICON hIcon) {
    if (hIcon == nullptr) {
        return FALSE;
    }
    AlphaBlend(AfxIconFromHandle(hIcon)->pixels, x, y);
    return TRUE;
}

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(pWnd != nullptr ? pWnd->m_hWnd : nullptr) {
    CWindowRecord* pRecord = AfxGetRecord(m_hWnd);
    if (pRecord == nullptr) {
        return;
    }
    const int nWidth = pRecord->rcWindow.Width();
    const int nHeight = pRecord->rcWindow.Height();
    if (!pRecord->pFrameSurface || pRecord->pFrameSurface->nWidth != nWidth ||
        pRecord->pFrameSurface->nHeight != nHeight) {
        pRecord->pFrameSurface = std::make_shared<CPixels>(nWidth, nHeight, 0);
    }
    m_pTarget = pRecord->pFrameSurface.get();
}

CWindowDC::~CWindowDC() {
    if (CWindowRecord* pRecord = AfxGetRecord(m_hWnd)) {
        BackendFrameChanged(pRecord);
    }
}

CPaintDC::CPaintDC(CWnd* pWnd)
    : CDC(pWnd != nullptr && AfxGetRecord(pWnd->m_hWnd) != nullptr ? AfxGetRecord(pWnd->m_hWnd)->pPaintTarget
                                                                   : nullptr),
      m_pWnd(pWnd) {
    if (Target() != nullptr) {
        m_pWnd->SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(GetSafeHdc()), 0);
    }
}

CPaintDC::~CPaintDC() = default;

CMemoryStream* AfxCreateMemoryStream() { return new CMemoryStream; }

HRESULT CImage::Load(CMemoryStream* pStream) {
    if (pStream == nullptr || pStream->Bytes().empty()) {
        return E_FAIL;
    }
    return AfxDecodeImage(pStream->Bytes().data(), pStream->Bytes().size(), m_pixels) ? S_OK : E_FAIL;
}

BOOL CImage::Draw(HDC hDestDC, int x, int y) const {
    CDC* pDC = CDC::FromHandle(hDestDC);
    if (pDC == nullptr || IsNull()) {
        return FALSE;
    }
    pDC->AlphaBlend(m_pixels, x, y);
    return TRUE;
}
