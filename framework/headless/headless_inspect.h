// What tests may look at inside the headless window system: the window records, the browsers, the
// pixels drawn and the drawing calls. Only tests include this header.
#pragma once

#include "framework/emulated/browser_model.h"
#include "framework/emulated/draw_log.h"
#include "framework/emulated/surfaces.h"
#include "framework/emulated/window_core.h"
#include "framework/graphics.h"

#include <cstdint>
#include <vector>

// The record of a live window, to read (a null dereference otherwise: ask IsWindow first).
inline const CWindowRecord& HeadlessInspectWindow(HWND hWnd) { return *ModelGetRecord(hWnd); }

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
