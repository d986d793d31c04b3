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

#include <pango/pangocairo.h>

std::vector<CDrawCall>* g_pDrawLog = nullptr;

namespace Gdi {

Image::~Image() { delete m_pData; }

void Image::Adopt(CImageData* pData, UINT nWidth, UINT nHeight) {
    delete m_pData;
    m_pData = pData;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_status = pData != nullptr ? Ok : GenericError;
}

Image* Image::FromStream(CMemoryStream* pStream) {
    auto* pImage = new Image;
    if (pStream != nullptr && !pStream->Bytes().empty()) {
        CSurfaceRef surface = AfxDecodePicture(pStream->Bytes().data(), pStream->Bytes().size(), true);
        if (surface) {
            pImage->Adopt(new CImageData{surface}, UINT(surface.Width()), UINT(surface.Height()));
        }
    }
    return pImage;
}

Bitmap::Bitmap(HBITMAP hBitmap, void*) {
    const CBitmapObject* pBitmap = AfxBitmapObject(hBitmap);
    if (pBitmap == nullptr || !pBitmap->surface) {
        m_status = InvalidParameter;
        return;
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
    Adopt(new CImageData{surface}, UINT(nWidth), UINT(nHeight));
}

Bitmap::Bitmap(int nWidth, int nHeight) {
    CSurfaceRef surface = AfxCreateSurface(nWidth, nHeight);
    if (!surface) {
        m_status = InvalidParameter;
        return;
    }
    Adopt(new CImageData{surface}, UINT(nWidth), UINT(nHeight));
}

FontFamily::FontFamily(const std::u16string& strName) : m_strName(strName), m_status(Ok) {
    // Fontconfig always substitutes a face; a missing one falls back to a CJK face when drawn.
}

Graphics::Graphics(HDC hDC) : m_hDC(hDC) {}
Graphics::~Graphics() = default;

Status Graphics::DrawImage(const Image* pImage, const RectF& dst, float srcX, float srcY, float srcWidth,
                           float srcHeight, Unit) {
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
    const CImageData* pData = pImage->Data();
    if (pData == nullptr || dst.Width <= 0 || dst.Height <= 0 || srcWidth <= 0 || srcHeight <= 0) {
        return Ok;
    }
    cairo_t* pCairo = AfxBeginDrawing(m_hDC);
    if (pCairo == nullptr) {
        return Ok;
    }
    cairo_rectangle(pCairo, dst.X, dst.Y, dst.Width, dst.Height);
    cairo_clip(pCairo);
    cairo_translate(pCairo, dst.X, dst.Y);
    cairo_scale(pCairo, dst.Width / srcWidth, dst.Height / srcHeight);
    cairo_set_source_surface(pCairo, pData->surface.Get(), -srcX, -srcY);
    cairo_pattern_set_filter(cairo_get_source(pCairo), CAIRO_FILTER_NEAREST);
    cairo_paint(pCairo);
    cairo_destroy(pCairo);
    return Ok;
}

Status Graphics::DrawString(const std::u16string& strText, const Font* pFont, const RectF& layout,
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
    cairo_t* pCairo = strText.empty() ? nullptr : AfxBeginDrawing(m_hDC);
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
    AfxDrawTextRun(pCairo, run);
    cairo_destroy(pCairo);
    return Ok;
}

} // namespace Gdi

void AfxDrawTextRun(cairo_t* pCairo, const CTextRun& run) {
    PangoLayout* pLayout = pango_cairo_create_layout(pCairo);
    // The face asked for, then CJK faces that stand in for it.
    const std::string strFamilies =
        AfxUtf16ToCodePage(CP_UTF8, run.strFace) + ",SimSun,WenQuanYi Zen Hei,Noto Sans CJK SC,sans";
    PangoFontDescription* pFont = pango_font_description_from_string(strFamilies.c_str());
    pango_font_description_set_absolute_size(pFont, run.fPixelSize * PANGO_SCALE);
    pango_font_description_set_weight(pFont, run.bBold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_layout_set_font_description(pLayout, pFont);
    pango_layout_set_text(pLayout, AfxUtf16ToCodePage(CP_UTF8, run.strText).c_str(), -1);
    int nTextWidth = 0;
    int nTextHeight = 0;
    pango_layout_get_pixel_size(pLayout, &nTextWidth, &nTextHeight);
    double x = run.x;
    double y = run.y;
    if (run.width > 0 && run.height > 0) {
        cairo_rectangle(pCairo, run.x, run.y, run.width, run.height);
        cairo_clip(pCairo);
        if (run.bCentre) {
            x += (run.width - nTextWidth) / 2.0;
        }
        if (run.bMiddle) {
            y += (run.height - nTextHeight) / 2.0;
        }
    }
    cairo_set_source_rgba(pCairo, ((run.color >> 16) & 0xFF) / 255.0, ((run.color >> 8) & 0xFF) / 255.0,
                          (run.color & 0xFF) / 255.0, (run.color >> 24) / 255.0);
    cairo_move_to(pCairo, x, y);
    pango_cairo_show_layout(pCairo, pLayout);
    pango_font_description_free(pFont);
    g_object_unref(pLayout);
}
