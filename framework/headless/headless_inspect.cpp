#include "framework/headless/headless_inspect.h"

#include "framework/resources.h"

std::uint32_t HeadlessInspectPixel(HBITMAP hBitmap, int x, int y) {
    const CBitmapObject* pBitmap = ModelBitmapObject(hBitmap);
    return pBitmap != nullptr ? ModelSurfacePixel(pBitmap->surface.Get(), x, y) : 0;
}

std::uint32_t HeadlessInspectPixel(HDC hDC, int x, int y) {
    return ModelSurfacePixel(ModelDcSurface(hDC), x, y);
}

std::uint32_t HeadlessInspectLayeredPixel(HWND hWnd, int x, int y) {
    const CWindowRecord* pRecord = ModelGetRecord(hWnd);
    return pRecord != nullptr ? ModelSurfacePixel(pRecord->layeredSurface.Get(), x, y) : 0;
}

std::uint32_t HeadlessInspectFramePixel(HWND hWnd, int x, int y) {
    const CWindowRecord* pRecord = ModelGetRecord(hWnd);
    return pRecord != nullptr ? ModelSurfacePixel(pRecord->frameSurface.Get(), x, y) : 0;
}

CSurfaceRef HeadlessInspectPaint(HWND hWnd) {
    const CWindowRecord* pRecord = ModelGetRecord(hWnd);
    if (pRecord == nullptr) {
        return CSurfaceRef();
    }
    CSurfaceRef surface = ModelCreateSurface(pRecord->rcWindow.Width(), pRecord->rcWindow.Height());
    ModelPaintWindow(hWnd, surface);
    return surface;
}

CSurfaceRef HeadlessInspectResourcePicture(UINT nIDResource, bool bPremultiply) {
    const BYTE* pData = nullptr;
    std::size_t nSize = 0;
    return AfxFindResource(nIDResource, "PNG", pData, nSize) ? ModelDecodePicture(pData, nSize, bPremultiply)
                                                             : CSurfaceRef();
}

namespace {
class CFilledImage : public Gdi::Image {
public:
    CFilledImage(int nWidth, int nHeight, std::uint32_t nArgb) {
        CSurfaceRef surface = ModelCreateSurface(nWidth, nHeight);
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

Gdi::Image* HeadlessInspectMakeImage(int nWidth, int nHeight, std::uint32_t nArgb) {
    return new CFilledImage(nWidth, nHeight, nArgb);
}
