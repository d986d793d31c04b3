// The portable half of the GDI+-shaped drawing classes: fonts and text arguments.
#include "framework/graphics.h"

namespace Gdi {

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

Status Graphics::DrawString(const OLECHAR* pszText, int nLength, const Font* pFont, const RectF& layout,
                            const StringFormat* pFormat, const SolidBrush* pBrush) {
    std::u16string strText;
    for (int i = 0; pszText != nullptr && (nLength < 0 ? pszText[i] != 0 : i < nLength); ++i) {
        strText += static_cast<char16_t>(pszText[i]);
    }
    return DrawString(strText, pFont, layout, pFormat, pBrush);
}

} // namespace Gdi
