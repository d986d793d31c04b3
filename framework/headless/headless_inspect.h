// What tests may look at inside the headless window system: views of the windows, the browsers, the
// pixels drawn and the drawing calls. Only tests include this header.
#pragma once

#include "framework/emulated/browser_model.h"
#include "framework/emulated/draw_log.h"
#include "framework/emulated/surfaces.h"
#include "framework/emulated/window_core.h"
#include "framework/graphics.h"

#include <cstdint>
#include <string>
#include <vector>

// What the model holds of a window at one moment, to read. A handle that is not a live window gives
// the empty view (nothing visible, no rectangles, no surfaces).
struct CHeadlessWindowView {
    std::string strClass;
    std::string strText;
    DWORD dwStyle = 0;
    DWORD dwExStyle = 0;
    CRect rcWindow; // screen coordinates for a top-level window, parent client coordinates for a child
    CRect rcScreen; // the window rectangle in screen coordinates
    CRect rcClient; // the client area in window coordinates
    HWND hParent = nullptr;
    HWND hOwner = nullptr;
    std::vector<HWND> children; // bottom first
    std::vector<HWND> owned;    // the top-level windows it owns
    bool bVisible = false;
    bool bIconic = false;
    bool bZoomed = false;
    bool bPushed = false; // a push button held down
    // Layered windows: a colour key, or the DIB's bytes as UpdateLayeredWindow was given them.
    bool bColorKey = false;
    COLORREF crKey = 0;
    CSurfaceRef layeredSurface;
    CSurfaceRef frameSurface; // the frame the window painted itself
    // The window's shape (SetWindowRgn's rounded rectangle, window coordinates), when set.
    bool bHasRegion = false;
    CRect rcRegion;
    int nRegionEllipse = 0;
    // Dialogs: ended by EndDialog, with its result.
    bool bDialogEnded = false;
    INT_PTR nDialogResult = -1;

    CRect ScreenRect() const { return rcScreen; }
};
CHeadlessWindowView HeadlessInspectWindow(HWND hWnd);

// A pixel as 0xAARRGGBB: of a bitmap, of the surface a context draws on, of a layered window's content,
// of a window's frame surface.
std::uint32_t HeadlessInspectPixel(HBITMAP hBitmap, int x, int y);
std::uint32_t HeadlessInspectPixel(HDC hDC, int x, int y);
std::uint32_t HeadlessInspectLayeredPixel(HWND hWnd, int x, int y);
std::uint32_t HeadlessInspectFramePixel(HWND hWnd, int x, int y);

// The window's client area as its WM_PAINT draws it on a new surface of the window's size.
CSurfaceRef HeadlessInspectPaint(HWND hWnd);

// A picture resource (type "PNG") decoded as the model decodes pictures (straight or premultiplied).
CSurfaceRef HeadlessInspectResourcePicture(UINT nIDResource, bool bPremultiply);

// A picture of a size, every pixel the colour (ARGB, straight alpha).
Gdi::Image* HeadlessInspectMakeImage(int nWidth, int nHeight, std::uint32_t nArgb);

inline std::uint32_t HeadlessArgb(BYTE a, BYTE r, BYTE g, BYTE b) {
    return (std::uint32_t(a) << 24) | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | b;
}

// Records every Gdi::Graphics call while it lives.
class CDrawLogScope {
public:
    CDrawLogScope() { g_pDrawLog = &m_calls; }
    ~CDrawLogScope() { g_pDrawLog = nullptr; }
    CDrawLogScope(const CDrawLogScope&) = delete;
    CDrawLogScope& operator=(const CDrawLogScope&) = delete;
    const std::vector<CDrawCall>& Calls() const { return m_calls; }

private:
    std::vector<CDrawCall> m_calls;
};
