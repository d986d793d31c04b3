#include "gamewindow/dui_button.h"

#include "framework/codepage.h"

UINT SelectButtonSlice(BOOL bHot, BOOL bPressed, BOOL bDisabled, UINT nStateCount) {
    if (bDisabled && nStateCount >= 4) {
        return 3;
    }
    if (bPressed && nStateCount >= 3) {
        return 2;
    }
    if (bHot) {
        return nStateCount >= 2 ? 1 : 0;
    }
    return 0;
}

void CDUIButton::Draw(Gdi::Graphics& graphics) {
    const UINT nSlice = SelectButtonSlice(m_bHot, m_bPressed, m_bDisabled, m_nStateCount);
    const UINT nWidth = m_pImage != nullptr ? m_pImage->GetWidth() : 0;
    const UINT nHeight = m_pImage != nullptr ? m_pImage->GetHeight() : 0;
    const UINT nSliceWidth = m_nStateCount != 0 ? nWidth / m_nStateCount : 0;
    const Gdi::RectF dst(static_cast<float>(m_rect.left), static_cast<float>(m_rect.top),
                         static_cast<float>(m_rect.right - m_rect.left),
                         static_cast<float>(m_rect.bottom - m_rect.top));
    graphics.DrawImage(m_pImage, dst, static_cast<float>(nSlice * nSliceWidth), 0.0f,
                       static_cast<float>(nSliceWidth), static_cast<float>(nHeight), Gdi::UnitPixel);

    Gdi::StringFormat format(0);
    format.SetAlignment(Gdi::StringAlignmentCenter);
    format.SetLineAlignment(Gdi::StringAlignmentCenter);
    if (!m_strText.empty()) {
        const Gdi::FontFamily family(u"宋体");
        const Gdi::Font font(&family, 10.0f, Gdi::FontStyleRegular, Gdi::UnitPoint);
        Gdi::SolidBrush brush(0xFFD99757);
        if (m_bDisabled) {
            brush.SetColor(0xFF808080);
        }
        graphics.DrawString(AfxCodePageToUtf16(CP_ACP, m_strText), &font, dst, &format, &brush);
    }
}
