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

void SetSourceColour(cairo_t* pCairo, COLORREF cr) {
    cairo_set_source_rgb(pCairo, GetRValue(cr) / 255.0, GetGValue(cr) / 255.0, GetBValue(cr) / 255.0);
}

} // namespace

// ---- Surfaces ----

CSurfaceRef ModelCreateSurface(int nWidth, int nHeight) {
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

std::uint32_t ModelSurfacePixel(cairo_surface_t* pSurface, int x, int y) {
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

HDC ModelCreateSurfaceDC(const CSurfaceRef& target, CPoint origin) {
    auto* pDC = new CDcObject;
    pDC->target = target;
    pDC->origin = origin;
    return pDC;
}

void ModelDeleteSurfaceDC(HDC hDC) { delete ModelDcObject(hDC); }

cairo_surface_t* ModelDcSurface(HDC hDC) {
    const CDcObject* pDC = ModelDcObject(hDC);
    if (pDC == nullptr) {
        return nullptr;
    }
    if (pDC->bMemory) {
        return pDC->pSelected != nullptr ? pDC->pSelected->surface.Get() : nullptr;
    }
    return pDC->target.Get();
}

cairo_t* ModelBeginDrawing(HDC hDC) {
    cairo_surface_t* pSurface = ModelDcSurface(hDC);
    if (pSurface == nullptr) {
        return nullptr;
    }
    CDcObject* pDC = ModelDcObject(hDC);
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

void ModelEndDrawing(cairo_t* pCairo) {
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

HBITMAP WsLoadBitmap(UINT nIDResource) {
    const BYTE* pData = nullptr;
    std::size_t nSize = 0;
    return AfxFindResource(nIDResource, RT_BITMAP, pData, nSize)
               ? BitmapOf(ModelDecodePicture(pData, nSize, false))
               : nullptr;
}

HBITMAP WsCreateDIBSection(int nWidth, int nHeight) { return BitmapOf(ModelCreateSurface(nWidth, nHeight)); }

namespace {

// The surface of the last compatible bitmap deleted: a double buffer made for every paint at the
// same size reuses it (a compatible bitmap's first content is undefined, as on the platform).
CSurfaceRef& RetiredCompatibleSurface() {
    static CSurfaceRef s_surface;
    return s_surface;
}

} // namespace

HBITMAP WsCreateCompatibleBitmap(HDC, int nWidth, int nHeight) {
    CSurfaceRef& retired = RetiredCompatibleSurface();
    CSurfaceRef surface;
    if (retired && retired.Width() == nWidth && retired.Height() == nHeight) {
        std::swap(surface, retired);
    } else {
        surface = ModelCreateSurface(nWidth, nHeight);
    }
    return BitmapOf(surface, true);
}

void WsDeleteBitmap(HBITMAP hBitmap) {
    if (const CBitmapObject* pBitmap = ModelBitmapObject(hBitmap);
        pBitmap != nullptr && pBitmap->bCompatible) {
        RetiredCompatibleSurface() = pBitmap->surface;
    }
    delete ModelBitmapObject(hBitmap);
}

CSize WsGetBitmapSize(HBITMAP hBitmap) {
    const CBitmapObject* pBitmap = ModelBitmapObject(hBitmap);
    return pBitmap != nullptr ? CSize(pBitmap->surface.Width(), pBitmap->surface.Height()) : CSize();
}

HBRUSH WsCreateSolidBrush(COLORREF crColor) {
    auto* pBrush = new CBrushObject;
    pBrush->crColor = crColor;
    return pBrush;
}

void WsDeleteBrush(HBRUSH hBrush) { delete ModelBrushObject(hBrush); }

HBRUSH WsGetDialogBrush() {
    static CBrushObject s_brush = [] {
        CBrushObject brush;
        brush.crColor = RGB(240, 240, 240);
        return brush;
    }();
    return &s_brush;
}

HRGN WsCreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int) {
    auto* pRegion = new CRegionObject;
    pRegion->rect = CRect(x1, y1, x2, y2);
    pRegion->nEllipse = x3;
    return pRegion;
}

void WsDeleteRegion(HRGN hRgn) { delete ModelRegionObject(hRgn); }

HICON WsLoadIcon(UINT nIDResource) {
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
    pIcon->surface = ModelDecodePicture(pData, nSize, true);
    if (!pIcon->surface) {
        pIcon->surface = ModelCreateSurface(32, 32);
    }
    HICON hIcon = pIcon.get();
    s_icons.emplace(nIDResource, std::move(pIcon));
    return hIcon;
}

// ---- Device contexts ----

HDC WsCreateMemoryDC(HDC) {
    auto* pDC = new CDcObject;
    pDC->bMemory = true;
    return pDC;
}

void WsDeleteMemoryDC(HDC hDC) { delete ModelDcObject(hDC); }

bool WsSelectBitmap(HDC hDC, HBITMAP hBitmap) {
    CDcObject* pDC = ModelDcObject(hDC);
    if (pDC == nullptr || !pDC->bMemory) {
        return false;
    }
    pDC->Changed();
    pDC->pSelected = ModelBitmapObject(hBitmap);
    return true;
}

void WsFillSolidRect(HDC hDC, const RECT& rect, COLORREF clr) {
    cairo_t* pCairo = ModelBeginDrawing(hDC);
    if (pCairo == nullptr) {
        return;
    }
    cairo_set_operator(pCairo, CAIRO_OPERATOR_SOURCE);
    SetSourceColour(pCairo, clr);
    cairo_rectangle(pCairo, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    cairo_fill(pCairo);
    ModelEndDrawing(pCairo);
}

namespace {

// Puts a rectangle of the source context's surface at (x, y) with the operator.
BOOL Transfer(HDC hDest, int x, int y, int nWidth, int nHeight, HDC hSource, int xSrc, int ySrc,
              cairo_operator_t eOperator) {
    cairo_surface_t* pSource = ModelDcSurface(hSource);
    cairo_t* pCairo = pSource != nullptr ? ModelBeginDrawing(hDest) : nullptr;
    if (pCairo == nullptr) {
        return FALSE;
    }
    const CPoint sourceOrigin = ModelDcObject(hSource)->origin;
    cairo_set_operator(pCairo, eOperator);
    cairo_set_source_surface(pCairo, pSource, x - xSrc - sourceOrigin.x, y - ySrc - sourceOrigin.y);
    cairo_rectangle(pCairo, x, y, nWidth, nHeight);
    cairo_fill(pCairo);
    ModelEndDrawing(pCairo);
    return TRUE;
}

// Blends a premultiplied surface at (x, y), scaled to cx x cy.
BOOL BlendSurface(HDC hDest, cairo_surface_t* pSource, int x, int y, int cx, int cy) {
    cairo_t* pCairo = pSource != nullptr ? ModelBeginDrawing(hDest) : nullptr;
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
    ModelEndDrawing(pCairo);
    return TRUE;
}

} // namespace

BOOL WsBitBlt(HDC hDC, int x, int y, int nWidth, int nHeight, HDC hSrcDC, int xSrc, int ySrc, DWORD) {
    return Transfer(hDC, x, y, nWidth, nHeight, hSrcDC, xSrc, ySrc, CAIRO_OPERATOR_SOURCE);
}

BOOL WsAlphaBlend(HDC hDC, int x, int y, int nWidth, int nHeight, HDC hSrcDC, int xSrc, int ySrc) {
    return Transfer(hDC, x, y, nWidth, nHeight, hSrcDC, xSrc, ySrc, CAIRO_OPERATOR_OVER);
}

BOOL WsDrawIcon(HDC hDC, int x, int y, HICON hIcon) {
    const CIconObject* pIcon = ModelIconObject(hIcon);
    return pIcon != nullptr &&
           BlendSurface(hDC, pIcon->surface.Get(), x, y, pIcon->surface.Width(), pIcon->surface.Height());
}

BOOL WsDrawIconEx(HDC hDC, int x, int y, HICON hIcon, int cx, int cy) {
    CIconObject* pIcon = ModelIconObject(hIcon);
    if (pIcon == nullptr || cx <= 0 || cy <= 0 || !pIcon->surface) {
        return FALSE;
    }
    if (cx == pIcon->surface.Width() && cy == pIcon->surface.Height()) {
        return BlendSurface(hDC, pIcon->surface.Get(), x, y, cx, cy);
    }
    // The icon at another size is scaled once (the platform's smooth scaling) and kept.
    CSurfaceRef& scaled = pIcon->scaled[{cx, cy}];
    if (!scaled) {
        scaled = ModelCreateSurface(cx, cy);
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
    return BlendSurface(hDC, scaled.Get(), x, y, cx, cy);
}

int WsExcludeClipRect(HDC hDC, const RECT& rcExcluded) {
    CDcObject* pDC = ModelDcObject(hDC);
    if (pDC == nullptr) {
        return 0;
    }
    CRect rect(rcExcluded);
    rect.OffsetRect(pDC->origin.x, pDC->origin.y);
    pDC->excluded.push_back(rect);
    pDC->Changed();
    return 3; // a complex region
}

int WsSelectClipRgn(HDC hDC, HRGN) {
    CDcObject* pDC = ModelDcObject(hDC);
    if (pDC == nullptr) {
        return 0;
    }
    pDC->excluded.clear();
    pDC->Changed();
    return 2; // a simple region
}

int WsGetClipBox(HDC hDC, LPRECT lpRect) {
    cairo_surface_t* pSurface = ModelDcSurface(hDC);
    *lpRect = pSurface != nullptr ? CRect(0, 0, cairo_image_surface_get_width(pSurface),
                                          cairo_image_surface_get_height(pSurface))
                                  : CRect();
    return pSurface != nullptr ? 3 : 0;
}

// ---- CImage's pictures ----

HBITMAP WsDecodeImage(CMemoryStream* pStream, CSize& size) {
    if (pStream == nullptr || pStream->Bytes().empty()) {
        return nullptr;
    }
    CSurfaceRef surface = ModelDecodePicture(pStream->Bytes().data(), pStream->Bytes().size(), false);
    if (!surface) {
        return nullptr;
    }
    size = CSize(surface.Width(), surface.Height());
    return BitmapOf(surface);
}

void WsDeleteImage(HBITMAP hBitmap) { delete ModelBitmapObject(hBitmap); }

BOOL WsDrawImage(HDC hDestDC, int x, int y, HBITMAP hBitmap, CSize size) {
    // The picture's bytes are blended as a DIB is by AlphaBlend: taken as premultiplied.
    CDcObject source;
    source.target = ModelBitmapObject(hBitmap)->surface;
    return Transfer(hDestDC, x, y, size.cx, size.cy, &source, 0, 0, CAIRO_OPERATOR_OVER);
}
