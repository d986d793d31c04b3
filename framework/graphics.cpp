// The portable half of the GDI+-shaped drawing classes: pictures' lifetime, fonts, text arguments.
#include "framework/graphics.h"

#include "framework/window_system.h"

namespace Gdi {

Image::~Image() { AfxDeleteImageData(m_pData); }

void Image::Adopt(CImageData* pData, UINT nWidth, UINT nHeight) {
    AfxDeleteImageData(m_pData);
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

Graphics::Graphics(HDC hDC) : m_hDC(hDC) {}
Graphics::~Graphics() = default;

Status Graphics::DrawString(const OLECHAR* pszText, int nLength, const Font* pFont, const RectF& layout,
                            const StringFormat* pFormat, const SolidBrush* pBrush) {
    std::u16string strText;
    for (int i = 0; pszText != nullptr && (nLength < 0 ? pszText[i] != 0 : i < nLength); ++i) {
        strText += static_cast<char16_t>(pszText[i]);
    }
    return DrawString(strText, pFont, layout, pFormat, pBrush);
}

} // namespace Gdi
