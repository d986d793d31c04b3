// Drawing: 32-bit pixel surfaces, device contexts, bitmaps, brushes, icons and CImage.
// Pixels are 0xAARRGGBB values with straight (not premultiplied) alpha, the layout of a 32-bit DIB.
#pragma once

#include "framework/geometry.h"
#include "framework/windefs.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CDC;

struct CPixels {
    int nWidth = 0;
    int nHeight = 0;
    std::vector<std::uint32_t> bits; // rows top-down

    CPixels() = default;
    CPixels(int nW, int nH, std::uint32_t fill = 0)
        : nWidth(nW), nHeight(nH), bits(std::size_t(nW) * nH, fill) {}
    bool Empty() const { return nWidth <= 0 || nHeight <= 0; }
    std::uint32_t At(int x, int y) const { return bits[std::size_t(y) * nWidth + x]; }
    std::uint32_t& At(int x, int y) { return bits[std::size_t(y) * nWidth + x]; }
};

inline std::uint32_t AfxArgb(BYTE a, BYTE r, BYTE g, BYTE b) {
    return (std::uint32_t(a) << 24) | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | b;
}
inline std::uint32_t AfxArgbFromColorRef(COLORREF cr) {
    return AfxArgb(255, GetRValue(cr), GetGValue(cr), GetBValue(cr));
}

// Decodes a 24- or 32-bit uncompressed BMP (with or without its file header).
bool AfxDecodeBmp(const BYTE* pData, std::size_t nSize, CPixels& pixels);
// Decodes PNG and ICO pictures (the largest image of an icon); provided by the backend.
bool AfxDecodeImage(const BYTE* pData, std::size_t nSize, CPixels& pixels);

class CBitmap {
public:
    CBitmap() = default;
    virtual ~CBitmap() = default;
    // A bitmap resource of the program.
    BOOL LoadBitmap(UINT nIDResource);
    // A 32-bit surface, all pixels zero (transparent black).
    BOOL CreateDIBSection(int nWidth, int nHeight);
    BOOL CreateCompatibleBitmap(CDC*, int nWidth, int nHeight) { return CreateDIBSection(nWidth, nHeight); }
    BOOL DeleteObject();
    bool IsNull() const { return m_pixels.Empty(); }
    CSize GetSize() const { return CSize(m_pixels.nWidth, m_pixels.nHeight); }
    operator HBITMAP() const {
        return IsNull() ? nullptr : reinterpret_cast<HBITMAP>(const_cast<CBitmap*>(this));
    }

    CPixels m_pixels;
};

class CBrush {
public:
    CBrush() = default;
    BOOL CreateSolidBrush(COLORREF crColor);
    operator HBRUSH() const {
        return m_bCreated ? reinterpret_cast<HBRUSH>(const_cast<CBrush*>(this)) : nullptr;
    }
    static const CBrush* FromHandle(HBRUSH hBrush) { return reinterpret_cast<const CBrush*>(hBrush); }
    COLORREF m_crColor = 0;
    bool m_bCreated = false;
};

// The brush that dialogs paint their background with unless told otherwise.
HBRUSH AfxGetDialogBrush();

struct CIcon {
    CPixels pixels;
};
// An icon resource of the program (the largest image of the group), or null.
HICON AfxLoadIcon(UINT nIDResource);
inline const CIcon* AfxIconFromHandle(HICON hIcon) { return reinterpret_cast<const CIcon*>(hIcon); }

class CDC {
public:
    CDC() = default;
    explicit CDC(CPixels* pTarget, CPoint origin = CPoint()) : m_pTarget(pTarget), m_origin(origin) {}
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return reinterpret_cast<HDC>(const_cast<CDC*>(this)); }
    operator HDC() const { return GetSafeHdc(); }
    static CDC* FromHandle(HDC hDC) { return reinterpret_cast<CDC*>(hDC); }

    // A memory context that draws into the bitmap selected into it.
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();
    CBitmap* SelectObject(CBitmap* pBitmap);
    CBitmap* GetSelectedBitmap() const { return m_pSelected; }

    void FillSolidRect(LPCRECT lpRect, COLORREF clr);
    // A plain copy (SRCCOPY) of a rectangle of pSrcDC.
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop);
    // Source-over blending with per-pixel source alpha, as AlphaBlend does with AC_SRC_ALPHA.
    void AlphaBlend(const CPixels& source, int x, int y);
    BOOL DrawIcon(int x, int y, HICON hIcon);
    // The icon scaled to cx x cy (DI_NORMAL).
    BOOL DrawIconEx(int x, int y, HICON hIcon, int cx, int cy);
    int SetBkMode(int nBkMode) { return nBkMode; }
    // Drawing leaves the excluded rectangles alone; SelectClipRgn(nullptr) removes the exclusions.
    int ExcludeClipRect(LPCRECT lpRect);
    int SelectClipRgn(void* pRgn);
    // The bounding box of what may be painted.
    int GetClipBox(LPRECT lpRect) const;

    // The pixels this context draws into (the selected bitmap's for a memory context).
    CPixels* Target() const;
    CPoint Origin() const { return m_origin; }

protected:
    bool Clipped(int x, int y) const;
    CPixels* m_pTarget = nullptr;
    CPoint m_origin;
    CBitmap* m_pSelected = nullptr;
    bool m_bMemory = false;
    std::vector<CRect> m_excluded;
};

#define SRCCOPY 0x00CC0020

class CWnd;
// The context of the whole window, frame included: the frame the window paints itself.
class CWindowDC : public CDC {
public:
    explicit CWindowDC(CWnd* pWnd);
    ~CWindowDC() override;

private:
    HWND m_hWnd;
};

// The context of a WM_PAINT: the window's pixels for the duration of the paint.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

private:
    CWnd* m_pWnd;
};

// A growable in-memory stream, the stand-in for CreateStreamOnHGlobal.
class CMemoryStream {
public:
    void SetSize(std::size_t nSize) { m_bytes.reserve(nSize); }
    void Write(const void* pData, std::size_t nSize) {
        m_bytes.insert(m_bytes.end(), static_cast<const BYTE*>(pData),
                       static_cast<const BYTE*>(pData) + nSize);
    }
    void Release() { delete this; }
    const std::vector<BYTE>& Bytes() const { return m_bytes; }

private:
    std::vector<BYTE> m_bytes;
};
CMemoryStream* AfxCreateMemoryStream();

class CImage {
public:
    // Decodes a PNG (any colour type, alpha kept) from the stream.
    HRESULT Load(CMemoryStream* pStream);
    // Draws the picture at (x, y) at its own size; with alpha, blended source-over.
    BOOL Draw(HDC hDestDC, int x, int y) const;
    void Destroy() { m_pixels = CPixels(); }
    bool IsNull() const { return m_pixels.Empty(); }
    int GetWidth() const { return m_pixels.nWidth; }
    int GetHeight() const { return m_pixels.nHeight; }
    const CPixels& Pixels() const { return m_pixels; }

private:
    CPixels m_pixels;
};
