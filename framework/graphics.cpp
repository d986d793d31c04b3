// The GDI+-shaped drawing classes, on the window system's drawing calls: pictures, fonts, text.
#include "framework/graphics.h"

#include "framework/window_system.h"

namespace Gdi {

Image::~Image() { WsDeleteImageData(m_pData); }

void Image::Adopt(CImageData* pData, UINT nWidth, UINT nHeight) {
    WsDeleteImageData(m_pData);
    m_pData = pData;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_status = pData != nullptr ? Ok : GenericError;
}

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

Status Startup(UINT_PTR* pToken) { return WsStartDrawing(pToken); }

Image* Image::FromStream(CMemoryStream* pStream) {
    auto* pImage = new Image;
    UINT nWidth = 0;
    UINT nHeight = 0;
    if (CImageData* pData = WsDecodePicture(pStream, nWidth, nHeight)) {
        pImage->Adopt(pData, nWidth, nHeight);
    }
    return pImage;
}

Bitmap::Bitmap(HBITMAP hBitmap, void*) {
    UINT nWidth = 0;
    UINT nHeight = 0;
    if (CImageData* pData = WsPictureOfBitmap(hBitmap, nWidth, nHeight)) {
        Adopt(pData, nWidth, nHeight);
    } else {
        m_status = InvalidParameter;
    }
}

Bitmap::Bitmap(int nWidth, int nHeight) {
    if (CImageData* pData = WsCreatePicture(nWidth, nHeight)) {
        Adopt(pData, UINT(nWidth), UINT(nHeight));
    } else {
        m_status = InvalidParameter;
    }
}

FontFamily::FontFamily(const std::u16string& strName)
    : m_strName(strName), m_status(WsFontFamilyStatus(strName)) {}

Graphics::Graphics(HDC hDC) : m_hDC(hDC) {}
Graphics::~Graphics() = default;

Status Graphics::DrawImage(const Image* pImage, const RectF& dst, float srcX, float srcY, float srcWidth,
                           float srcHeight, Unit) {
    return WsDrawPicture(m_hDC, pImage, dst, srcX, srcY, srcWidth, srcHeight);
}

Status Graphics::DrawString(const std::u16string& strText, const Font* pFont, const RectF& layout,
                            const StringFormat* pFormat, const SolidBrush* pBrush) {
    return WsDrawString(m_hDC, strText, pFont, layout, pFormat, pBrush);
}

Status Graphics::DrawString(const OLECHAR* pszText, int nLength, const Font* pFont, const RectF& layout,
                            const StringFormat* pFormat, const SolidBrush* pBrush) {
    std::u16string strText;
    for (int i = 0; pszText != nullptr && (nLength < 0 ? pszText[i] != 0 : i < nLength); ++i) {
        strText += static_cast<char16_t>(pszText[i]);
    }
    return DrawString(strText, pFont, layout, pFormat, pBrush);
}

} // namespace Gdi
