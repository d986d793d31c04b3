#include "framework/graphics.h"

#include <cmath>

namespace Gdi {

std::vector<CDrawCall>* g_pDrawLog = nullptr;

Bitmap::Bitmap(const CBitmap* pBitmap) {
    if (pBitmap != nullptr && !pBitmap->IsNull()) {
        m_pixels = pBitmap->m_pixels;
        m_status = Ok;
    }
}

FontFamily::FontFamily(const std::u16string& strName)
    : m_strName(strName), m_status(BackendFontFamilyExists(strName) ? Ok : FontFamilyNotFound) {}

Font::Font(const FontFamily* pFamily, float fSize, int nStyle, Unit eUnit)
    : m_strFace(pFamily != nullptr ? pFamily->Name() : std::u16string()), m_fSize(fSize), m_eUnit(eUnit),
      m_bBold((nStyle & FontStyleBold) != 0) {
    // Points at the surface's resolution of 96 dots per inch.
    m_fPixelSize = eUnit == UnitPoint ? fSize * 96.0f / 72.0f : fSize;
    if (pFamily == nullptr || pFamily->GetLastStatus() != Ok) {
        m_status = FontFamilyNotFound;
    }
}

Font::Font(const std::u16string& strFace, int nHeight, int nWeight)
    : m_strFace(strFace), m_fSize(static_cast<float>(nHeight < 0 ? -nHeight : nHeight)), m_eUnit(UnitPixel),
      m_fPixelSize(m_fSize), m_bBold(nWeight >= 600) {}

Graphics::Graphics(HDC hDC) {
    CDC* pDC = CDC::FromHandle(hDC);
    m_pTarget = pDC != nullptr ? pDC->Target() : nullptr;
    m_origin = pDC != nullptr ? pDC->Origin() : CPoint();
}

Graphics::Graphics(CPixels* pTarget) : m_pTarget(pTarget) {}

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
    const CPixels& source = pImage->Pixels();
    if (m_pTarget == nullptr || source.Empty() || dst.Width <= 0 || dst.Height <= 0 || srcWidth <= 0 ||
        srcHeight <= 0) {
        return Ok;
    }
    const int nLeft = static_cast<int>(std::lround(dst.X)) + m_origin.x;
    const int nTop = static_cast<int>(std::lround(dst.Y)) + m_origin.y;
    const int nWidth = static_cast<int>(std::lround(dst.Width));
    const int nHeight = static_cast<int>(std::lround(dst.Height));
    for (int y = 0; y < nHeight; ++y) {
        const int ty = nTop + y;
        const int sy = static_cast<int>(srcY + (y + 0.5f) * srcHeight / nHeight);
        if (ty < 0 || ty >= m_pTarget->nHeight || sy < 0 || sy >= source.nHeight) {
            continue;
        }
        for (int x = 0; x < nWidth; ++x) {
            const int tx = nLeft + x;
            const int sx = static_cast<int>(srcX + (x + 0.5f) * srcWidth / nWidth);
            if (tx < 0 || tx >= m_pTarget->nWidth || sx < 0 || sx >= source.nWidth) {
                continue;
            }
            const std::uint32_t s = source.At(sx, sy);
            const std::uint32_t a = s >> 24;
            if (a == 255) {
                m_pTarget->At(tx, ty) = s;
            } else if (a != 0) {
                // Straight alpha over what is there.
                const std::uint32_t d = m_pTarget->At(tx, ty);
                std::uint32_t result = 0xFF000000u;
                for (int shift = 0; shift < 24; shift += 8) {
                    const std::uint32_t value =
                        (((s >> shift) & 0xFF) * a + ((d >> shift) & 0xFF) * (255 - a)) / 255;
                    result |= value << shift;
                }
                m_pTarget->At(tx, ty) = result;
            }
        }
    }
    return Ok;
}

Status Graphics::DrawString(const OLECHAR* pszText, int nLength, const Font* pFont, const RectF& layout,
                            const StringFormat* pFormat, const SolidBrush* pBrush) {
    std::u16string strText;
    for (int i = 0; pszText != nullptr && (nLength < 0 ? pszText[i] != 0 : i < nLength); ++i) {
        strText += static_cast<char16_t>(pszText[i]);
    }
    return DrawString(strText, pFont, layout, pFormat, pBrush);
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
    if (m_pTarget != nullptr) {
        call.dst.X += static_cast<float>(m_origin.x);
        call.dst.Y += static_cast<float>(m_origin.y);
        BackendDrawString(*m_pTarget, call);
    }
    return Ok;
}

} // namespace Gdi
