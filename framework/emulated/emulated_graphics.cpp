// The model's GDI+: pictures, fonts and a Graphics on a device context, drawn with cairo and Pango.
//
// Realises: Image from a stream (PNG, BMP, ICO), Bitmap from a bitmap handle (opaque) or of a size,
// DrawImage from a source rectangle into a destination rectangle (source over; stretched slices
// take the nearest source pixel, as GDI+'s nearest-neighbour mode does), DrawString with a face,
// pixel size, weight, colour, near/centre alignment and no wrapping.
// Does not realise: transforms, other interpolation or compositing modes, wrapping, pens and paths.
#include "framework/emulated/draw_log.h"
#include "framework/emulated/surfaces.h"
#include "framework/codepage.h"
#include "framework/graphics.h"
#include "framework/window_system.h"

#include <pango/pangocairo.h>

#include <cmath>
#include <map>
#include <tuple>

std::vector<CDrawCall>* g_pDrawLog = nullptr;

namespace {

bool WholePixels(float f) { return f == static_cast<float>(static_cast<int>(f)); }

// The source rectangle scaled into the destination rectangle, taking the nearest source pixel.
void DrawScaled(cairo_t* pCairo, cairo_surface_t* pSource, const Gdi::RectF& dst, float srcX, float srcY,
                float srcWidth, float srcHeight) {
    cairo_rectangle(pCairo, dst.X, dst.Y, dst.Width, dst.Height);
    cairo_clip(pCairo);
    cairo_translate(pCairo, dst.X, dst.Y);
    cairo_scale(pCairo, dst.Width / srcWidth, dst.Height / srcHeight);
    cairo_set_source_surface(pCairo, pSource, -srcX, -srcY);
    cairo_pattern_set_filter(cairo_get_source(pCairo), CAIRO_FILTER_NEAREST);
    cairo_paint(pCairo);
}

// Whether every pixel of the rectangle (inside the surface) is opaque.
bool Opaque(cairo_surface_t* pSurface, int x, int y, int nWidth, int nHeight) {
    cairo_surface_flush(pSurface);
    const unsigned char* pData = cairo_image_surface_get_data(pSurface);
    const int nStride = cairo_image_surface_get_stride(pSurface);
    for (int row = y; row < y + nHeight; ++row) {
        const auto* pRow = reinterpret_cast<const std::uint32_t*>(pData + row * nStride);
        for (int column = x; column < x + nWidth; ++column) {
            if ((pRow[column] >> 24) != 0xFF) {
                return false;
            }
        }
    }
    return true;
}

// The slice for a draw whose rectangles are whole pixels inside the picture, made on its first use;
// null for any other draw (drawn scaled directly).
const CImageSlice* WholePixelSlice(CImageData& data, const Gdi::RectF& dst, float srcX, float srcY,
                                   float srcWidth, float srcHeight) {
    constexpr std::size_t kMostSlices = 64;
    if (!WholePixels(dst.X) || !WholePixels(dst.Y) || !WholePixels(dst.Width) || !WholePixels(dst.Height) ||
        !WholePixels(srcX) || !WholePixels(srcY) || !WholePixels(srcWidth) || !WholePixels(srcHeight)) {
        return nullptr;
    }
    const int sx = int(srcX), sy = int(srcY), sw = int(srcWidth), sh = int(srcHeight);
    const int dw = int(dst.Width), dh = int(dst.Height);
    if (sx < 0 || sy < 0 || sx + sw > data.surface.Width() || sy + sh > data.surface.Height()) {
        return nullptr;
    }
    const std::vector<int> key{sx, sy, sw, sh, dw, dh};
    if (auto it = data.slices.find(key); it != data.slices.end()) {
        return &it->second;
    }
    if (data.slices.size() >= kMostSlices) {
        data.slices.clear(); // a window resized over and over: start again
    }
    CImageSlice slice;
    slice.bOpaque = cairo_image_surface_get_format(data.surface.Get()) == CAIRO_FORMAT_RGB24 ||
                    Opaque(data.surface.Get(), sx, sy, sw, sh);
    if (dw != sw || dh != sh) {
        slice.composed = ModelCreateSurface(dw, dh);
        if (!slice.composed) {
            return nullptr;
        }
        cairo_t* pCairo = cairo_create(slice.composed.Get());
        cairo_set_operator(pCairo, CAIRO_OPERATOR_SOURCE);
        DrawScaled(pCairo, data.surface.Get(), Gdi::RectF(0, 0, float(dw), float(dh)), srcX, srcY, srcWidth,
                   srcHeight);
        cairo_destroy(pCairo);
    }
    return &data.slices.emplace(key, slice).first->second;
}

} // namespace

void WsDeleteImageData(CImageData* pData) { delete pData; }

// Gdi:: drawing, as the seam has it.
using namespace Gdi;

Status WsStartDrawing(UINT_PTR* pToken) {
    // cairo and Pango need no start; the token is there for the caller's symmetry.
    if (pToken != nullptr) {
        *pToken = 1;
    }
    return Ok;
}

CImageData* WsDecodePicture(CMemoryStream* pStream, UINT& nWidth, UINT& nHeight) {
    if (pStream == nullptr || pStream->Bytes().empty()) {
        return nullptr;
    }
    CSurfaceRef surface = ModelDecodePicture(pStream->Bytes().data(), pStream->Bytes().size(), true);
    if (!surface) {
        return nullptr;
    }
    nWidth = UINT(surface.Width());
    nHeight = UINT(surface.Height());
    return new CImageData(surface);
}

CImageData* WsPictureOfBitmap(HBITMAP hBitmap, UINT& nPictureWidth, UINT& nPictureHeight) {
    const CBitmapObject* pBitmap = ModelBitmapObject(hBitmap);
    if (pBitmap == nullptr || !pBitmap->surface) {
        return nullptr;
    }
    // A bitmap's alpha is not the picture's: its colours are copied opaque.
    const int nWidth = pBitmap->surface.Width();
    const int nHeight = pBitmap->surface.Height();
    CSurfaceRef surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, nWidth, nHeight));
    cairo_t* pCairo = cairo_create(surface.Get());
    cairo_set_operator(pCairo, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(pCairo, pBitmap->surface.Get(), 0, 0);
    cairo_paint(pCairo);
    cairo_destroy(pCairo);
    nPictureWidth = UINT(nWidth);
    nPictureHeight = UINT(nHeight);
    return new CImageData(surface);
}

CImageData* WsCreatePicture(int nWidth, int nHeight) {
    CSurfaceRef surface = ModelCreateSurface(nWidth, nHeight);
    return surface ? new CImageData(surface) : nullptr;
}

// Fontconfig always substitutes a face; a missing one falls back to a CJK face when drawn.
Status WsFontFamilyStatus(const std::u16string&) { return Ok; }

Status WsDrawPicture(HDC hDC, const Image* pImage, const RectF& dst, float srcX, float srcY, float srcWidth,
                     float srcHeight) {
    if (pImage == nullptr) {
        return InvalidParameter;
    }
    if (g_pDrawLog != nullptr) {
        CDrawCall call;
        call.eKind = CDrawCall::DrawImage;
        call.dst = dst;
        call.src = RectF(srcX, srcY, srcWidth, srcHeight);
        call.pImage = pImage;
        g_pDrawLog->push_back(call);
    }
    CImageData* pData = pImage->Data();
    if (pData == nullptr || dst.Width <= 0 || dst.Height <= 0 || srcWidth <= 0 || srcHeight <= 0) {
        return Ok;
    }
    cairo_t* pCairo = ModelBeginDrawing(hDC);
    if (pCairo == nullptr) {
        return Ok;
    }
    if (const CImageSlice* pSlice = WholePixelSlice(*pData, dst, srcX, srcY, srcWidth, srcHeight)) {
        // A slice of whole pixels: its composed pixels copied at an integer offset.
        if (pSlice->composed) {
            cairo_set_source_surface(pCairo, pSlice->composed.Get(), dst.X, dst.Y);
        } else {
            cairo_set_source_surface(pCairo, pData->surface.Get(), dst.X - srcX, dst.Y - srcY);
        }
        cairo_set_operator(pCairo, pSlice->bOpaque ? CAIRO_OPERATOR_SOURCE : CAIRO_OPERATOR_OVER);
        cairo_rectangle(pCairo, dst.X, dst.Y, dst.Width, dst.Height);
        cairo_fill(pCairo);
    } else {
        DrawScaled(pCairo, pData->surface.Get(), dst, srcX, srcY, srcWidth, srcHeight);
    }
    ModelEndDrawing(pCairo);
    return Ok;
}

Status WsDrawString(HDC hDC, const std::u16string& strText, const Font* pFont, const RectF& layout,
                    const StringFormat* pFormat, const SolidBrush* pBrush) {
    if (pFont == nullptr || pFont->GetLastStatus() != Ok || pBrush == nullptr) {
        return InvalidParameter;
    }
    CDrawCall call;
    call.eKind = CDrawCall::DrawString;
    call.dst = layout;
    call.strText = strText;
    call.strFace = pFont->Face();
    call.fPixelSize = pFont->PixelSize();
    call.bBold = pFont->Bold();
    call.color = pBrush->GetColor();
    if (pFormat != nullptr) {
        call.nFormatFlags = pFormat->Flags();
        call.eAlign = pFormat->Alignment();
        call.eLineAlign = pFormat->LineAlignment();
    }
    if (g_pDrawLog != nullptr) {
        g_pDrawLog->push_back(call);
    }
    cairo_t* pCairo = strText.empty() ? nullptr : ModelBeginDrawing(hDC);
    if (pCairo == nullptr) {
        return Ok;
    }
    CTextRun run;
    run.strText = strText;
    run.strFace = call.strFace;
    run.fPixelSize = call.fPixelSize;
    run.bBold = call.bBold;
    run.color = call.color;
    run.x = layout.X;
    run.y = layout.Y;
    run.width = layout.Width;
    run.height = layout.Height;
    run.bCentre = call.eAlign == StringAlignmentCenter;
    run.bMiddle = call.eLineAlign == StringAlignmentCenter;
    ModelDrawTextRun(pCairo, run);
    ModelEndDrawing(pCairo);
    return Ok;
}

namespace {

// A run of text rendered once in its colour, kept for the next paints that draw it again.
struct CRenderedText {
    CSurfaceRef surface; // premultiplied; the layout's logical rectangle from (0, 0)
    int nWidth = 0;
    int nHeight = 0;
};

CRenderedText RenderText(const CTextRun& run) {
    static PangoFontMap* s_pFontMap = pango_cairo_font_map_get_default();
    static PangoContext* s_pContext = pango_font_map_create_context(s_pFontMap);
    PangoLayout* pLayout = pango_layout_new(s_pContext);
    // The face asked for, then CJK faces that stand in for it.
    const std::string strFamilies =
        AfxUtf16ToCodePage(CP_UTF8, run.strFace) + ",SimSun,WenQuanYi Zen Hei,Noto Sans CJK SC,sans";
    PangoFontDescription* pFont = pango_font_description_from_string(strFamilies.c_str());
    pango_font_description_set_absolute_size(pFont, run.fPixelSize * PANGO_SCALE);
    pango_font_description_set_weight(pFont, run.bBold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_layout_set_font_description(pLayout, pFont);
    pango_layout_set_text(pLayout, AfxUtf16ToCodePage(CP_UTF8, run.strText).c_str(), -1);
    CRenderedText rendered;
    pango_layout_get_pixel_size(pLayout, &rendered.nWidth, &rendered.nHeight);
    rendered.surface = ModelCreateSurface(rendered.nWidth, rendered.nHeight);
    if (rendered.surface) {
        cairo_t* pCairo = cairo_create(rendered.surface.Get());
        cairo_set_source_rgba(pCairo, ((run.color >> 16) & 0xFF) / 255.0, ((run.color >> 8) & 0xFF) / 255.0,
                              (run.color & 0xFF) / 255.0, (run.color >> 24) / 255.0);
        pango_cairo_update_layout(pCairo, pLayout);
        pango_cairo_show_layout(pCairo, pLayout);
        cairo_destroy(pCairo);
    }
    pango_font_description_free(pFont);
    g_object_unref(pLayout);
    return rendered;
}

const CRenderedText& RenderedText(const CTextRun& run) {
    constexpr std::size_t kMostRuns = 64;
    static std::map<std::tuple<std::u16string, std::u16string, double, bool, std::uint32_t>, CRenderedText>
        s_runs;
    const auto key = std::make_tuple(run.strText, run.strFace, run.fPixelSize, run.bBold, run.color);
    if (auto it = s_runs.find(key); it != s_runs.end()) {
        return it->second;
    }
    if (s_runs.size() >= kMostRuns) {
        s_runs.clear();
    }
    return s_runs.emplace(key, RenderText(run)).first->second;
}

} // namespace

void ModelDrawTextRun(cairo_t* pCairo, const CTextRun& run) {
    const CRenderedText& rendered = RenderedText(run);
    if (!rendered.surface) {
        return;
    }
    double x = run.x;
    double y = run.y;
    if (run.width > 0 && run.height > 0) {
        cairo_rectangle(pCairo, run.x, run.y, run.width, run.height);
        cairo_clip(pCairo);
        if (run.bCentre) {
            x += (run.width - rendered.nWidth) / 2.0;
        }
        if (run.bMiddle) {
            y += (run.height - rendered.nHeight) / 2.0;
        }
    }
    // On whole pixels, so the rendered run is copied and never resampled.
    cairo_set_source_surface(pCairo, rendered.surface.Get(), std::floor(x + 0.5), std::floor(y + 0.5));
    cairo_paint(pCairo);
}
