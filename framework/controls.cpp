#include "framework/controls.h"

BOOL CBitmapButton::LoadBitmaps(UINT nIDBitmapResource, UINT nIDBitmapResourceSel,
                                UINT nIDBitmapResourceFocus, UINT nIDBitmapResourceDisabled) {
    const BOOL bLoaded = m_bitmap.LoadBitmap(nIDBitmapResource);
    if (nIDBitmapResourceSel != 0) {
        m_bitmapSel.LoadBitmap(nIDBitmapResourceSel);
    }
    if (nIDBitmapResourceFocus != 0) {
        m_bitmapFocus.LoadBitmap(nIDBitmapResourceFocus);
    }
    if (nIDBitmapResourceDisabled != 0) {
        m_bitmapDisabled.LoadBitmap(nIDBitmapResourceDisabled);
    }
    return bLoaded;
}

void CBitmapButton::SizeToContent() {
    if (m_bitmap.IsNull()) {
        return;
    }
    CRect rect;
    GetWindowRect(&rect);
    if (CWnd* pParent = GetParent()) {
        CRect parent;
        pParent->GetWindowRect(&parent);
        rect.OffsetRect(-parent.left, -parent.top);
    }
    MoveWindow(rect.left, rect.top, m_bitmap.GetSize().cx, m_bitmap.GetSize().cy, TRUE);
}

void CBitmapButton::DrawItem(LPDRAWITEMSTRUCT lpDIS) {
    CBitmap* pBitmap = &m_bitmap;
    if ((lpDIS->itemState & ODS_SELECTED) != 0 && !m_bitmapSel.IsNull()) {
        pBitmap = &m_bitmapSel;
    }
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    CDC memory;
    memory.CreateCompatibleDC(pDC);
    CBitmap* pOld = memory.SelectObject(pBitmap);
    const CSize size = pBitmap->GetSize();
    pDC->BitBlt(lpDIS->rcItem.left, lpDIS->rcItem.top, size.cx, size.cy, &memory, 0, 0, SRCCOPY);
    memory.SelectObject(pOld);
}
