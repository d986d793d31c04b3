#include "framework/headless/headless_inspect.h"

#include "framework/resources.h"

CHeadlessWindowView HeadlessInspectWindow(HWND hWnd) {
    CHeadlessWindowView view;
    if (!ModelIsWindow(hWnd)) {
        return view;
    }
    view.strClass = ModelWindowClass(hWnd);
    view.strText = ModelWindowText(hWnd);
    view.dwStyle = ModelStyle(hWnd);
    view.dwExStyle = ModelExStyle(hWnd);
    view.rcWindow = ModelWindowRect(hWnd);
    view.rcScreen = ModelScreenRect(hWnd);
    view.rcClient = ModelClientRect(hWnd);
    view.hParent = ModelParent(hWnd);
    view.children = ModelChildren(hWnd);
    view.owned = ModelOwnedWindows(hWnd);
    view.hOwner = ModelOwner(hWnd);
    view.bVisible = ModelIsVisible(hWnd);
    view.bIconic = ModelIsIconic(hWnd);
    view.bZoomed = ModelIsZoomed(hWnd);
    view.bPushed = ModelIsPushed(hWnd);
    const std::optional<COLORREF> key = ModelColorKey(hWnd);
    view.bColorKey = key.has_value();
    view.crKey = key.value_or(0);
    view.layeredSurface = ModelLayeredSurface(hWnd);
    view.frameSurface = ModelFrameSurface(hWnd);
    if (const std::optional<CWindowRegion> region = ModelRegion(hWnd)) {
        view.bHasRegion = true;
        view.rcRegion = region->rect;
        view.nRegionEllipse = region->nEllipse;
    }
    if (const std::optional<INT_PTR> nResult = ModelDialogResult(hWnd)) {
        view.bDialogEnded = true;
        view.nDialogResult = *nResult;
    }
    return view;
}

std::uint32_t HeadlessInspectPixel(HBITMAP hBitmap, int x, int y) {
    const CBitmapObject* pBitmap = ModelBitmapObject(hBitmap);
    return pBitmap != nullptr ? ModelSurfacePixel(pBitmap->surface.Get(), x, y) : 0;
}

std::uint32_t HeadlessInspectPixel(HDC hDC, int x, int y) {
    return ModelSurfacePixel(ModelDcSurface(hDC), x, y);
}

std::uint32_t HeadlessInspectLayeredPixel(HWND hWnd, int x, int y) {
    return ModelSurfacePixel(ModelLayeredSurface(hWnd).Get(), x, y);
}

std::uint32_t HeadlessInspectFramePixel(HWND hWnd, int x, int y) {
    return ModelSurfacePixel(ModelFrameSurface(hWnd).Get(), x, y);
}

CSurfaceRef HeadlessInspectPaint(HWND hWnd) {
    if (!ModelIsWindow(hWnd)) {
        return CSurfaceRef();
    }
    const CRect rect = ModelWindowRect(hWnd);
    CSurfaceRef surface = ModelCreateSurface(rect.Width(), rect.Height());
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
