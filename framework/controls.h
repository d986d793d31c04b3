// CBitmapButton: an owner-drawn push button showing one of four bitmaps.
#pragma once

#include "framework/gdi.h"
#include "framework/wnd.h"

class CBitmapButton : public CWnd {
public:
    // Normal, selected (pressed), focused and disabled bitmaps; 0 leaves one empty.
    BOOL LoadBitmaps(UINT nIDBitmapResource, UINT nIDBitmapResourceSel = 0, UINT nIDBitmapResourceFocus = 0,
                     UINT nIDBitmapResourceDisabled = 0);
    // Resizes the button to its normal bitmap.
    void SizeToContent();
    // Copies the pressed bitmap while the button is held down, else the normal one, unscaled.
    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;

    CBitmap m_bitmap;
    CBitmap m_bitmapSel;
    CBitmap m_bitmapFocus;
    CBitmap m_bitmapDisabled;
};
