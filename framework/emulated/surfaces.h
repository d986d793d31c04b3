// The window model's drawing objects behind the GDI handles, all on cairo image surfaces (so the
// model draws for real with or without a display).
//
// A bitmap's surface holds exactly the bytes a 32-bit DIB would hold: what the program put there,
// never premultiplied by the model. cairo reads those bytes as premultiplied, which is what GDI's
// AlphaBlend and UpdateLayeredWindow do with a DIB, so blending needs no conversion; only where the
// model shows a layered window does it convert, once (ModelPremultiplyInPlace).
#pragma once

#include "framework/geometry.h"
#include "framework/windefs.h"

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>
#include <memory>
#include <string>
#include <vector>

// A counted reference to a cairo surface.
class CSurfaceRef {
public:
    CSurfaceRef() = default;
    // Takes over the caller's reference.
    explicit CSurfaceRef(cairo_surface_t* pSurface) : m_pSurface(pSurface) {}
    CSurfaceRef(const CSurfaceRef& other) : m_pSurface(other.m_pSurface) {
        if (m_pSurface != nullptr) {
            cairo_surface_reference(m_pSurface);
        }
    }
    CSurfaceRef& operator=(CSurfaceRef other) {
        std::swap(m_pSurface, other.m_pSurface);
        return *this;
    }
    ~CSurfaceRef() {
        if (m_pSurface != nullptr) {
            cairo_surface_destroy(m_pSurface);
        }
    }
    cairo_surface_t* Get() const { return m_pSurface; }
    explicit operator bool() const { return m_pSurface != nullptr; }
    int Width() const { return m_pSurface != nullptr ? cairo_image_surface_get_width(m_pSurface) : 0; }
    int Height() const { return m_pSurface != nullptr ? cairo_image_surface_get_height(m_pSurface) : 0; }

private:
    cairo_surface_t* m_pSurface = nullptr;
};

// A new ARGB32 surface, every pixel zero; empty when the size is not positive or too large.
CSurfaceRef ModelCreateSurface(int nWidth, int nHeight);
// The pixel at (x, y) as 0xAARRGGBB (the bytes as they are), 0 outside.
std::uint32_t ModelSurfacePixel(cairo_surface_t* pSurface, int x, int y);

struct CBitmapObject : HBITMAP__ {
    CSurfaceRef surface;
    bool bCompatible = false; // made by CreateCompatibleBitmap: its first content is undefined
};
struct CBrushObject : HBRUSH__ {
    COLORREF crColor = 0;
};
struct CRegionObject : HRGN__ {
    CRect rect;
    int nEllipse = 0;
};
struct CIconObject : HICON__ {
    CSurfaceRef surface;                               // premultiplied, ready to be blended
    std::map<std::pair<int, int>, CSurfaceRef> scaled; // the icon at the sizes it was drawn at
};

// A device context: a surface to draw on (a window's, or the bitmap selected into a memory context),
// an origin and the rectangles excluded from drawing.
struct CDcObject : HDC__ {
    CDcObject() = default;
    CDcObject(const CDcObject&) = delete;
    CDcObject& operator=(const CDcObject&) = delete;
    ~CDcObject() { Changed(); }
    // The surface, selection, origin or clip changed: the kept cairo context goes.
    void Changed() {
        if (pCairo != nullptr) {
            cairo_destroy(pCairo);
            pCairo = nullptr;
        }
    }

    CSurfaceRef target;
    CBitmapObject* pSelected = nullptr;
    bool bMemory = false;
    CPoint origin;
    std::vector<CRect> excluded; // in surface coordinates
    HWND hFrameOf = nullptr;     // a window context: the frame surface of this window
    cairo_t* pCairo = nullptr;   // kept between drawing calls: clipped and translated once
};

inline CBitmapObject* ModelBitmapObject(HBITMAP hBitmap) { return static_cast<CBitmapObject*>(hBitmap); }
inline CBrushObject* ModelBrushObject(HBRUSH hBrush) { return static_cast<CBrushObject*>(hBrush); }
inline CRegionObject* ModelRegionObject(HRGN hRgn) { return static_cast<CRegionObject*>(hRgn); }
inline CIconObject* ModelIconObject(HICON hIcon) { return static_cast<CIconObject*>(hIcon); }
inline CDcObject* ModelDcObject(HDC hDC) { return static_cast<CDcObject*>(hDC); }

// A context drawing on the surface (a window's paint or frame surface); free it with ModelDeleteSurfaceDC.
HDC ModelCreateSurfaceDC(const CSurfaceRef& target, CPoint origin = CPoint());
void ModelDeleteSurfaceDC(HDC hDC);
// The surface the context draws on now (the selected bitmap's for a memory context), or null.
cairo_surface_t* ModelDcSurface(HDC hDC);
// A cairo context on the context's surface, translated to its origin and clipped to what may be
// painted (its state saved); null when there is nothing to draw on. Every call that got one ends
// with ModelEndDrawing, which restores the state.
cairo_t* ModelBeginDrawing(HDC hDC);
void ModelEndDrawing(cairo_t* pCairo);

// Pictures through gdk-pixbuf (PNG with its alpha, BMP, ICO: the largest image). The surface holds
// the straight colours as the picture has them (bPremultiply false: the bytes a DIB of the picture
// holds) or premultiplied (true: ready for cairo to draw). Empty when the bytes are no picture.
CSurfaceRef ModelDecodePicture(const BYTE* pData, std::size_t nSize, bool bPremultiply);
// Starts decoding these pictures on a worker thread; the first ModelDecodePicture of the same bytes
// then waits for and takes the worker's result (each once) instead of decoding them itself.
void ModelDecodeAhead(const std::vector<std::pair<const BYTE*, std::size_t>>& pictures);
// Turns pixels with straight alpha into cairo's premultiplied form, in place: what a window system
// shows of a layered window's DIB.
void ModelPremultiplyInPlace(cairo_surface_t* pSurface);

// What Gdi::Image holds in the model: the picture, and the slices drawn from it so far (a source
// rectangle at a destination size), composed once and copied on every later paint.
struct CImageSlice {
    CSurfaceRef composed; // the source rectangle scaled to the destination size; empty when unscaled
    bool bOpaque = false; // every source pixel opaque: copied rather than blended
};
struct CImageData {
    explicit CImageData(CSurfaceRef picture) : surface(std::move(picture)) {}
    CSurfaceRef surface; // premultiplied
    std::map<std::vector<int>, CImageSlice> slices;
};

// ---- Text ----
struct CTextRun {
    std::u16string strText;
    std::u16string strFace;
    double fPixelSize = 0;
    bool bBold = false;
    std::uint32_t color = 0;                    // ARGB
    double x = 0, y = 0, width = 0, height = 0; // layout rectangle (no bounds when width or height is 0)
    bool bCentre = false;
    bool bMiddle = false;
};
// Draws the text with Pango; a missing face falls back to a CJK-capable one.
void ModelDrawTextRun(cairo_t* pCairo, const CTextRun& run);
