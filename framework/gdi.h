// Drawing: device contexts, bitmaps, brushes, regions, icons and CImage, in the shape of the classic
// framework's GDI classes. Each object holds a handle of the window system; only the realisation
// that made a handle can look into it. Pixels are 32-bit with the layout of a 32-bit DIB.
#pragma once

#include "framework/geometry.h"
#include "framework/windefs.h"

#include <cstddef>
#include <vector>

class CDC;

// A 32-bit bitmap (a DIB section on Windows).
class CBitmap {
public:
    CBitmap() = default;
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;
    virtual ~CBitmap() { DeleteObject(); }
    // A bitmap resource of the program.
    BOOL LoadBitmap(UINT nIDResource);
    // A 32-bit surface, all pixels zero (transparent black).
    BOOL CreateDIBSection(int nWidth, int nHeight);
    // A bitmap for drawing off-screen; its first content is undefined.
    BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
    BOOL DeleteObject();
    bool IsNull() const { return m_hObject == nullptr; }
    CSize GetSize() const;
    operator HBITMAP() const { return m_hObject; }

    HBITMAP m_hObject = nullptr;
};

class CBrush {
public:
    CBrush() = default;
    CBrush(const CBrush&) = delete;
    CBrush& operator=(const CBrush&) = delete;
    ~CBrush() { DeleteObject(); }
    BOOL CreateSolidBrush(COLORREF crColor);
    BOOL DeleteObject();
    operator HBRUSH() const { return m_hObject; }

    HBRUSH m_hObject = nullptr;
};

// The brush that dialogs paint their background with unless told otherwise.
HBRUSH AfxGetDialogBrush();

// A rounded-rectangle region (the only shape the framework offers).
class CRgn {
public:
    CRgn() = default;
    CRgn(const CRgn&) = delete;
    CRgn& operator=(const CRgn&) = delete;
    ~CRgn() { DeleteObject(); }
    BOOL CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3);
    BOOL DeleteObject();
    // Gives the handle up without deleting it (after SetWindowRgn the window system owns the region).
    HRGN Detach();
    operator HRGN() const { return m_hObject; }

    HRGN m_hObject = nullptr;
};

// An icon resource of the program (the largest image of the group), or null. Icons are shared and
// live as long as the process, as the platform's shared icons do.
HICON AfxLoadIcon(UINT nIDResource);

class CDC {
public:
    CDC() = default;
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    // The object of a context: the one attached to it, or a temporary one that lives until the
    // message being handled ends.
    static CDC* FromHandle(HDC hDC);
    BOOL Attach(HDC hDC);
    HDC Detach();

    // A memory context that draws into the bitmap selected into it.
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();
    CBitmap* SelectObject(CBitmap* pBitmap);

    void FillSolidRect(LPCRECT lpRect, COLORREF clr);
    // A plain copy (SRCCOPY) of a rectangle of pSrcDC.
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop);
    // Blending with the source's per-pixel alpha taken as premultiplied (AC_SRC_ALPHA), unscaled.
    BOOL AlphaBlend(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc);
    BOOL DrawIcon(int x, int y, HICON hIcon);
    // The icon scaled to cx x cy (DI_NORMAL).
    BOOL DrawIconEx(int x, int y, HICON hIcon, int cx, int cy);
    int SetBkMode(int nBkMode) { return nBkMode; }
    // Drawing leaves the excluded rectangles alone; SelectClipRgn(nullptr) removes the exclusions.
    int ExcludeClipRect(LPCRECT lpRect);
    int SelectClipRgn(CRgn* pRgn);
    // The bounding box of what may be painted.
    int GetClipBox(LPRECT lpRect) const;

    HDC m_hDC = nullptr;

protected:
    bool m_bOwned = false; // made by CreateCompatibleDC, deleted with the object
    CBitmap* m_pSelected = nullptr;
};

#ifndef SRCCOPY
#define SRCCOPY 0x00CC0020
#endif

// Frees the temporary objects CDC::FromHandle handed out (the dispatch calls it after each message).
void AfxDeleteTemporaryObjects();

class CWnd;
// The context of the whole window, frame included: the frame the window paints itself.
class CWindowDC : public CDC {
public:
    explicit CWindowDC(CWnd* pWnd);
    ~CWindowDC() override;

private:
    HWND m_hWnd;
};

// The context of a WM_PAINT, its background erased.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

private:
    HWND m_hWnd;
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

// A picture held as a 32-bit bitmap with its alpha exactly as decoded (not premultiplied).
class CImage {
public:
    CImage() = default;
    CImage(const CImage&) = delete;
    CImage& operator=(const CImage&) = delete;
    ~CImage() { Destroy(); }
    // Decodes a PNG (any colour type, alpha kept) from the stream.
    HRESULT Load(CMemoryStream* pStream);
    // Draws the picture at (x, y) at its own size, blended by its alpha.
    BOOL Draw(HDC hDestDC, int x, int y) const;
    void Destroy();
    bool IsNull() const { return m_hBitmap == nullptr; }
    int GetWidth() const { return m_size.cx; }
    int GetHeight() const { return m_size.cy; }
    operator HBITMAP() const { return m_hBitmap; }

private:
    HBITMAP m_hBitmap = nullptr;
    CSize m_size;
};
