#include "framework/headless/headless_inspect.h"

#include "framework/resources.h"

std::uint32_t AfxInspectPixel(HBITMAP hBitmap, int x, int y) {
    const CBitmapObject* pBitmap = AfxBitmapObject(hBitmap);
    return pBitmap != nullptr ? AfxSurfacePixel(pBitmap->surface.Get(), x, y) : 0;
}

std::uint32_t AfxInspectPixel(HDC hDC, int x, int y) { return AfxSurfacePixel(AfxDcSurface(hDC), x, y); }

std::uint32_t AfxInspectLayeredPixel(HWND hWnd, int x, int y) {
    const CWindowRecord* pRecord = AfxGetRecord(hWnd);
    return pRecord != nullptr ? AfxSurfacePixel(pRecord->layeredSurface.Get(), x, y) : 0;
}

std::uint32_t AfxInspectFramePixel(HWND hWnd, int x, int y) {
    const CWindowRecord* pRecord = AfxGetRecord(hWnd);
    return pRecord != nullptr ? AfxSurfacePixel(pRecord->frameSurface.Get(), x, y) : 0;
}

CSurfaceRef AfxInspectPaint(HWND hWnd) {
    const CWindowRecord* pRecord = AfxGetRecord(hWnd);
    if (pRecord == nullptr) {
        return CSurfaceRef();
    }
    CSurfaceRef surface = AfxCreateSurface(pRecord->rcWindow.Width(), pRecord->rcWindow.Height());
    AfxPaintWindow(hWnd, surface);
    return surface;
}

CSurfaceRef AfxInspectResourcePicture(UINT nIDResource, bool bPremultiply) {
    const BYTE* pData = nullptr;
    std::size_t nSize = 0;
    return AfxFindResource(nIDResource, "PNG", pData, nSize) ? AfxDecodePicture(pData, nSize, bPremultiply)
                                                             : CSurfaceRef();
}

namespace {
class CFilledImage : public Gdi::Image {
public:
    CFilledImage(int nWidth, int nHeight, std::uint32_t nArgb) {
        CSurfaceRef surface = AfxCreateSurface(nWidth, nHeight);
        if (!surface) {
            return;
        }
        cairo_t* pCairo = cairo_create(surface.Get());
        cairo_set_source_rgba(pCairo, ((nArgb >> 16) & 0xFF) / 255.0, ((nArgb >> 8) & 0xFF) / 255.0,
                              (nArgb & 0xFF) / 255.0, (nArgb >> 24) / 255.0);
        cairo_set_operator(pCairo, CAIRO_OPERATOR_SOURCE);
        cairo_paint(pCairo);
        cairo_destroy(pCairo);
        Adopt(new CImageData{surface}, UINT(nWidth), UINT(nHeight));
    }
};
} // namespace

Gdi::Image* AfxInspectMakeImage(int nWidth, int nHeight, std::uint32_t nArgb) {
    return new CFilledImage(nWidth, nHeight, nArgb);
}
