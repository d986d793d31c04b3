// The model's GDI: bitmaps, brushes, regions, icons, device contexts and CImage on cairo.
//
// Realises: 32-bit DIB sections and resource bitmaps, solid brushes, round-rectangle regions (as
// shapes), icons, memory contexts, FillSolidRect, BitBlt (SRCCOPY), AlphaBlend (AC_SRC_ALPHA,
// unscaled), DrawIcon/DrawIconEx, ExcludeClipRect/SelectClipRgn(null)/GetClipBox, CImage from PNG.
// Does not realise: other raster operations, palettes, pens, GDI text, clip regions other than
// excluded rectangles.
#include "framework/emulated/surfaces.h"
#include "framework/com.h"
#include "framework/gdi.h"
#include "framework/resources.h"
#include "framework/window_system.h"

#include <map>

namespace {

constexpr int kLargestSurface = 16384;

// Deletes the model's object behind a handle of a GDI class and empties the handle.
template <typename TObject, typename THandle>
BOOL DeleteHandle(THandle& hObject) {
    if (hObject == nullptr) {
        return FALSE;
    }
    delete static_cast<TObject*>(hObject);
    hObject = nullptr;
    return TRUE;
}

void SetSourceColour(cairo_t* pCairo, COLORREF cr) {
    cairo_set_source_rgb(pCairo, GetRValue(cr) / 255.0, GetGValue(cr) / 255.0, GetBValue(cr) / 255.0);
}

} // namespace

// ---- Surfaces ----

CSurfaceRef AfxCreateSurface(int nWidth, int nHeight) {
    if (nWidth <= 0 || nHeight <= 0 || nWidth > kLargestSurface || nHeight > kLargestSurface) {
        return CSurfaceRef();
    }
    // cairo clears a new image surface.
    CSurfaceRef surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, nWidth, nHeight));
    if (cairo_surface_status(surface.Get()) != CAIRO_STATUS_SUCCESS) {
        return CSurfaceRef();
    }
    return surface;
}

std::uint32_t AfxSurfacePixel(cairo_surface_t* pSurface, int x, int y) {
    if (pSurface == nullptr || x < 0 || y < 0 || x >= cairo_image_surface_get_width(pSurface) ||
        y >= cairo_image_surface_get_height(pSurface)) {
        return 0;
    }
    cairo_surface_flush(pSurface);
    const unsigned char* pRow =
        cairo_image_surface_get_data(pSurface) + y * cairo_image_surface_get_stride(pSurface);
    const std::uint32_t nPixel = reinterpret_cast<const std::uint32_t*>(pRow)[x];
    return cairo_image_surface_get_format(pSurface) == CAIRO_FORMAT_RGB24 ? (nPixel | 0xFF000000u) : nPixel;
}

HDC AfxCreateSurfaceDC(const CSurfaceRef& target, CPoint origin) {
    auto* pDC = new CDcObject;
    pDC->target = target;
    pDC->origin = origin;
    return pDC;
}

void AfxDeleteSurfaceDC(HDC hDC) { delete AfxDcObject(hDC); }

cairo_surface_t* AfxDcSurface(HDC hDC) {
    const CDcObject* pDC = AfxDcObject(hDC);
    if (pDC == nullptr) {
        return nullptr;
    }
    if (pDC->bMemory) {
        return pDC->pSelected != nullptr ? pDC->pSelected->surface.Get() : nullptr;
    }
    return pDC->target.Get();
}

cairo_t* AfxBeginDrawing(HDC hDC) {
    cairo_surface_t* pSurface = AfxDcSurface(hDC);
    if (pSurface == nullptr) {
        return nullptr;
    }
    CDcObject* pDC = AfxDcObject(hDC);
    if (pDC->pCairo == nullptr) {
        pDC->pCairo = cairo_create(pSurface);
        if (!pDC->excluded.empty()) {
            // What may be painted, as pixel-aligned boxes (cairo then clips by region, not by mask).
            const cairo_rectangle_int_t all{0, 0, cairo_image_surface_get_width(pSurface),
                                            cairo_image_surface_get_height(pSurface)};
            cairo_region_t* pAllowed = cairo_region_create_rectangle(&all);
            for (const CRect& rect : pDC->excluded) {
                const cairo_rectangle_int_t excluded{rect.left, rect.top, rect.Width(), rect.Height()};
                cairo_region_subtract_rectangle(pAllowed, &excluded);
            }
            for (int i = 0; i < cairo_region_num_rectangles(pAllowed); ++i) {
                cairo_rectangle_int_t box;
                cairo_region_get_rectangle(pAllowed, i, &box);
                cairo_rectangle(pDC->pCairo, box.x, box.y, box.width, box.height);
            }
            cairo_region_destroy(pAllowed);
            cairo_clip(pDC->pCairo);
        }
        cairo_translate(pDC->pCairo, pDC->origin.x, pDC->origin.y);
    }
    cairo_save(pDC->pCairo);
    return pDC->pCairo;
}

void AfxEndDrawing(cairo_t* pCairo) {
    if (pCairo != nullptr) {
        cairo_restore(pCairo);
    }
}

// ---- Bitmaps, brushes, regions, icons ----

namespace {

// A bitmap handle for the surface, or null when there is none.
HBITMAP BitmapOf(const CSurfaceRef& surface, bool bCompatible = false) {
    if (!surface) {
        return nullptr;
    }
    auto* pBitmap = new CBitmapObject;
    pBitmap->surface = surface;
    pBitmap->bCompatible = bCompatible;
    return pBitmap;
}

} // namespace

BOOL CBitmap::LoadBitmap(UINT nIDResource) {
    DeleteObject();
    const BYTE* pData = nullptr;
    std::size_t nSize = 0;
    if (AfxFindResource(nIDResource, RT_BITMAP, pData, nSize)) {
        m_hObject = BitmapOf(AfxDecodePicture(pData, nSize, false));
    }
    return m_hObject != nullptr;
}

BOOL CBitmap::CreateDIBSection(int nWidth, int nHeight) {
    DeleteObject();
    m_hObject = BitmapOf(AfxCreateSurface(nWidth, nHeight));
    return m_hObject != nullptr;
}

namespace {

// The surface of the last compatible bitmap deleted: a double buffer made for every paint at the
// same size reuses it (a compatible bitmap's first content is undefined, as on the platform).
CSurfaceRef& RetiredCompatibleSurface() {
    static CSurfaceRef s_surface;
    return s_surface;
}

} // namespace

BOOL CBitmap::CreateCompatibleBitmap(CDC*, int nWidth, int nHeight) {
    DeleteObject();
    CSurfaceRef& retired = RetiredCompatibleSurface();
    CSurfaceRef surface;
    if (retired && retired.Width() == nWidth && retired.Height() == nHeight) {
        std::swap(surface, retired);
    } else {
        surface = AfxCreateSurface(nWidth, nHeight);
    }
    m_hObject = BitmapOf(surface, true);
    return m_hObject != nullptr;
}

BOOL CBitmap::DeleteObject() {
    if (m_hObject == nullptr) {
        return FALSE;
    }
    if (const CBitmapObject* pBitmap = AfxBitmapObject(m_hObject); pBitmap->bCompatible) {
        RetiredCompatibleSurface() = pBitmap->surface;
    }
    return DeleteHandle<CBitmapObject>(m_hObject);
}

CSize CBitmap::GetSize() const {
    const CBitmapObject* pBitmap = AfxBitmapObject(m_hObject);
    return pBitmap != nullptr ? CSize(pBitmap->surface.Width(), pBitmap->surface.Height()) : CSize();
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor) {
    DeleteObject();
    auto* pBrush = new CBrushObject;
    pBrush->crColor = crColor;
    m_hObject = pBrush;
    return TRUE;
}

BOOL CBrush::DeleteObject() { return DeleteHandle<CBrushObject>(m_hObject); }

HBRUSH AfxGetDialogBrush() {
    static CBrushObject s_brush = [] {
        CBrushObject brush;
        brush.crColor = RGB(240, 240, 240);
        return brush;
    }();
    return &s_brush;
}

BOOL CRgn::CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int) {
    DeleteObject();
    auto* pRegion = new CRegionObject;
    pRegion->rect = CRect(x1, y1, x2, y2);
    pRegion->nEllipse = x3;
    m_hObject = pRegion;
    return TRUE;
}

BOOL CRgn::DeleteObject() { return DeleteHandle<CRegionObject>(m_hObject); }

HRGN CRgn::Detach() {
    HRGN hRgn = m_hObject;
    m_hObject = nullptr;
    return hRgn;
}

HICON AfxLoadIcon(UINT nIDResource) {
    static std::map<UINT, std::unique_ptr<CIconObject>> s_icons;
    if (auto it = s_icons.find(nIDResource); it != s_icons.end()) {
        return it->second.get();
    }
    const BYTE* pData = nullptr;
    std::size_t nSize = 0;
    if (!AfxFindResource(nIDResource, RT_GROUP_ICON, pData, nSize)) {
        return nullptr;
    }
    auto pIcon = std::make_unique<CIconObject>();
    pIcon->surface = AfxDecodePicture(pData, nSize, true);
    if (!pIcon->surface) {
        pIcon->surface = AfxCreateSurface(32, 32);
    }
    HICON hIcon = pIcon.get();
    s_icons.emplace(nIDResource, std::move(pIcon));
    return hIcon;
}

// ---- Device contexts ----

HDC AfxCreateMemoryDC(HDC) {
    auto* pDC = new CDcObject;
    pDC->bMemory = true;
    return pDC;
}

void AfxDeleteMemoryDC(HDC hDC) { delete AfxDcObject(hDC); }

CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
    CDcObject* pDC = AfxDcObject(m_hDC);
    if (pDC == nullptr || !pDC->bMemory) {
        return nullptr;
    }
    CBitmap* pPrevious = m_pSelected;
    m_pSelected = pBitmap;
    pDC->Changed();
    pDC->pSelected = pBitmap != nullptr ? AfxBitmapObject(pBitmap->m_hObject) : nullptr;
    return pPrevious;
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
    cairo_t* pCairo = lpRect != nullptr ? AfxBeginDrawing(m_hDC) : nullptr;
    if (pCairo == nullptr) {
        return;
    }
    cairo_set_operator(pCairo, CAIRO_OPERATOR_SOURCE);
    SetSourceColour(pCairo, clr);
    cairo_rectangle(pCairo, lpRect->left, lpRect->top, lpRect->right - lpRect->left,
                    lpRect->bottom - lpRect->top);
    cairo_fill(pCairo);
    AfxEndDrawing(pCairo);
}

namespace {

// Puts a rectangle of the source context's surface at (x, y) with the operator.
BOOL Transfer(HDC hDest, int x, int y, int nWidth, int nHeight, HDC hSource, int xSrc, int ySrc,
              cairo_operator_t eOperator) {
    cairo_surface_t* pSource = AfxDcSurface(hSource);
    cairo_t* pCairo = pSource != nullptr ? AfxBeginDrawing(hDest) : nullptr;
    if (pCairo == nullptr) {
        return FALSE;
    }
    const CPoint sourceOrigin = AfxDcObject(hSource)->origin;
    cairo_set_operator(pCairo, eOperator);
    cairo_set_source_surface(pCairo, pSource, x - xSrc - sourceOrigin.x, y - ySrc - sourceOrigin.y);
    cairo_rectangle(pCairo, x, y, nWidth, nHeight);
    cairo_fill(pCairo);
    AfxEndDrawing(pCairo);
    return TRUE;
}

// Blends a premultiplied surface at (x, y), scaled to cx x cy.
BOOL BlendSurface(HDC hDest, cairo_surface_t* pSource, int x, int y, int cx, int cy) {
    cairo_t* pCairo = pSource != nullptr ? AfxBeginDrawing(hDest) : nullptr;
    if (pCairo == nullptr) {
        return FALSE;
    }
    const int nWidth = cairo_image_surface_get_width(pSource);
    const int nHeight = cairo_image_surface_get_height(pSource);
    cairo_translate(pCairo, x, y);
    if (cx != nWidth || cy != nHeight) {
        cairo_scale(pCairo, double(cx) / nWidth, double(cy) / nHeight);
    }
    cairo_set_source_surface(pCairo, pSource, 0, 0);
    cairo_paint(pCairo);
    AfxEndDrawing(pCairo);
    return TRUE;
}

} // namespace

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD) {
    return pSrcDC != nullptr &&
           Transfer(m_hDC, x, y, nWidth, nHeight, pSrcDC->m_hDC, xSrc, ySrc, CAIRO_OPERATOR_SOURCE);
}

BOOL CDC::AlphaBlend(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc) {
    return pSrcDC != nullptr &&
           Transfer(m_hDC, x, y, nWidth, nHeight, pSrcDC->m_hDC, xSrc, ySrc, CAIRO_OPERATOR_OVER);
}

BOOL CDC::DrawIcon(int x, int y, HICON hIcon) {
    const CIconObject* pIcon = AfxIconObject(hIcon);
    return pIcon != nullptr &&
           BlendSurface(m_hDC, pIcon->surface.Get(), x, y, pIcon->surface.Width(), pIcon->surface.Height());
}

BOOL CDC::DrawIconEx(int x, int y, HICON hIcon, int cx, int cy) {
    CIconObject* pIcon = AfxIconObject(hIcon);
    if (pIcon == nullptr || cx <= 0 || cy <= 0 || !pIcon->surface) {
        return FALSE;
    }
    if (cx == pIcon->surface.Width() && cy == pIcon->surface.Height()) {
        return BlendSurface(m_hDC, pIcon->surface.Get(), x, y, cx, cy);
    }
    // The icon at another size is scaled once (the platform's smooth scaling) and kept.
    CSurfaceRef& scaled = pIcon->scaled[{cx, cy}];
    if (!scaled) {
        scaled = AfxCreateSurface(cx, cy);
        if (!scaled) {
            return FALSE;
        }
        cairo_t* pCairo = cairo_create(scaled.Get());
        cairo_scale(pCairo, double(cx) / pIcon->surface.Width(), double(cy) / pIcon->surface.Height());
        cairo_set_source_surface(pCairo, pIcon->surface.Get(), 0, 0);
        cairo_pattern_set_filter(cairo_get_source(pCairo), CAIRO_FILTER_GOOD);
        cairo_paint(pCairo);
        cairo_destroy(pCairo);
    }
    return BlendSurface(m_hDC, scaled.Get(), x, y, cx, cy);
}

int CDC::ExcludeClipRect(LPCRECT lpRect) {
    CDcObject* pDC = AfxDcObject(m_hDC);
    if (pDC == nullptr || lpRect == nullptr) {
        return 0;
    }
    CRect rect(*lpRect);
    rect.OffsetRect(pDC->origin.x, pDC->origin.y);
    pDC->excluded.push_back(rect);
    pDC->Changed();
    return 3; // a complex region
}

int CDC::SelectClipRgn(CRgn*) {
    CDcObject* pDC = AfxDcObject(m_hDC);
    if (pDC == nullptr) {
        return 0;
    }
    pDC->excluded.clear();
    pDC->Changed();
    return 2; // a simple region
}

int CDC::GetClipBox(LPRECT lpRect) const {
    cairo_surface_t* pSurface = AfxDcSurface(m_hDC);
    *lpRect = pSurface != nullptr ? CRect(0, 0, cairo_image_surface_get_width(pSurface),
                                          cairo_image_surface_get_height(pSurface))
                                  : CRect();
    return pSurface != nullptr ? 3 : 0;
}

// ---- CImage ----

HRESULT CImage::Load(CMemoryStream* pStream) {
    Destroy();
    if (pStream == nullptr || pStream->Bytes().empty()) {
        return E_FAIL;
    }
    CSurfaceRef surface = AfxDecodePicture(pStream->Bytes().data(), pStream->Bytes().size(), false);
    if (!surface) {
        return E_FAIL;
    }
    m_hBitmap = BitmapOf(surface);
    m_size = CSize(surface.Width(), surface.Height());
    return S_OK;
}

void CImage::Destroy() {
    delete AfxBitmapObject(m_hBitmap);
    m_hBitmap = nullptr;
    m_size = CSize();
}

BOOL CImage::Draw(HDC hDestDC, int x, int y) const {
    if (IsNull() || hDestDC == nullptr) {
        return FALSE;
    }
    // The picture's bytes are blended as a DIB is by AlphaBlend: taken as premultiplied.
    CDcObject source;
    source.target = AfxBitmapObject(m_hBitmap)->surface;
    return Transfer(hDestDC, x, y, m_size.cx, m_size.cy, &source, 0, 0, CAIRO_OPERATOR_OVER);
}
