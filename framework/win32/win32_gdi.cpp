// The drawing classes on Windows' own GDI.
//
// Realises: DIB sections and resource bitmaps (LoadImage of the program's BITMAP resources), compatible
// bitmaps, solid brushes, round-rectangle regions, memory contexts, FillSolidRect, BitBlt, AlphaBlend
// (AC_SRC_ALPHA), DrawIcon/DrawIconEx, ExcludeClipRect/SelectClipRgn/GetClipBox.
// Icons are the program's icon resources (LoadImage, shared).
// Does not realise: raster operations other than the ones named.
#include "framework/gdi.h"
#include "framework/window_system.h"

HBITMAP WsLoadBitmap(UINT nIDResource) {
    // A DIB section keeps the resource's pixels exactly (no conversion to the screen's format).
    return static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nIDResource),
                                           IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

HBITMAP WsCreateDIBSection(int nWidth, int nHeight) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = nWidth;
    info.bmiHeader.biHeight = -nHeight; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
}

HBITMAP WsCreateCompatibleBitmap(HDC hDC, int nWidth, int nHeight) {
    HDC hScreen = hDC != nullptr ? nullptr : GetDC(nullptr);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hDC != nullptr ? hDC : hScreen, nWidth, nHeight);
    if (hScreen != nullptr) {
        ReleaseDC(nullptr, hScreen);
    }
    return hBitmap;
}

void WsDeleteBitmap(HBITMAP hBitmap) { ::DeleteObject(hBitmap); }

CSize WsGetBitmapSize(HBITMAP hBitmap) {
    BITMAP bitmap{};
    if (GetObjectA(hBitmap, sizeof(bitmap), &bitmap) == 0) {
        return CSize();
    }
    return CSize(bitmap.bmWidth, bitmap.bmHeight < 0 ? -bitmap.bmHeight : bitmap.bmHeight);
}

HBRUSH WsCreateSolidBrush(COLORREF crColor) { return ::CreateSolidBrush(crColor); }

void WsDeleteBrush(HBRUSH hBrush) { ::DeleteObject(hBrush); }

HBRUSH WsGetDialogBrush() { return GetSysColorBrush(COLOR_BTNFACE); }

HRGN WsCreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3) {
    return ::CreateRoundRectRgn(x1, y1, x2, y2, x3, y3);
}

void WsDeleteRegion(HRGN hRgn) { ::DeleteObject(hRgn); }

HICON WsLoadIcon(UINT nIDResource) {
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nIDResource), IMAGE_ICON,
                                         0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

HDC WsCreateMemoryDC(HDC hDC) { return ::CreateCompatibleDC(hDC); }

void WsDeleteMemoryDC(HDC hDC) { ::DeleteDC(hDC); }

bool WsSelectBitmap(HDC hDC, HBITMAP hBitmap) {
    return hBitmap != nullptr && ::SelectObject(hDC, hBitmap) != nullptr;
}

void WsFillSolidRect(HDC hDC, const RECT& rect, COLORREF clr) {
    // The classic way: an opaque text output of nothing, in the colour.
    const COLORREF crOld = SetBkColor(hDC, clr);
    ExtTextOutA(hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(hDC, crOld);
}

BOOL WsBitBlt(HDC hDC, int x, int y, int nWidth, int nHeight, HDC hSrcDC, int xSrc, int ySrc, DWORD dwRop) {
    return ::BitBlt(hDC, x, y, nWidth, nHeight, hSrcDC, xSrc, ySrc, dwRop);
}

BOOL WsAlphaBlend(HDC hDC, int x, int y, int nWidth, int nHeight, HDC hSrcDC, int xSrc, int ySrc) {
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return ::AlphaBlend(hDC, x, y, nWidth, nHeight, hSrcDC, xSrc, ySrc, nWidth, nHeight, blend);
}

BOOL WsDrawIcon(HDC hDC, int x, int y, HICON hIcon) { return ::DrawIcon(hDC, x, y, hIcon); }

BOOL WsDrawIconEx(HDC hDC, int x, int y, HICON hIcon, int cx, int cy) {
    return ::DrawIconEx(hDC, x, y, hIcon, cx, cy, 0, nullptr, DI_NORMAL);
}

int WsExcludeClipRect(HDC hDC, const RECT& rect) {
    return ::ExcludeClipRect(hDC, rect.left, rect.top, rect.right, rect.bottom);
}

int WsSelectClipRgn(HDC hDC, HRGN hRgn) { return ::SelectClipRgn(hDC, hRgn); }

int WsGetClipBox(HDC hDC, LPRECT lpRect) { return ::GetClipBox(hDC, lpRect); }
