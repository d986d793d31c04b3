// A GDI+-shaped drawing surface: images drawn from a source rectangle into a destination rectangle,
// strings drawn with a font, a format and a brush, on a device context. GDI+ itself on Windows;
// cairo and Pango in the window model.
#pragma once

#include "framework/com.h"
#include "framework/gdi.h"

#include <string>
#include <vector>

struct CImageData; // the realisation's picture

namespace Gdi {

enum Status { Ok = 0, GenericError = 1, InvalidParameter = 2, FontFamilyNotFound = 14 };
enum Unit { UnitWorld = 0, UnitDisplay = 1, UnitPixel = 2, UnitPoint = 3 };
enum FontStyle { FontStyleRegular = 0, FontStyleBold = 1 };
enum StringAlignment { StringAlignmentNear = 0, StringAlignmentCenter = 1, StringAlignmentFar = 2 };
enum StringFormatFlags { StringFormatFlagsNoWrap = 0x00001000 };
typedef DWORD ARGB;

struct RectF {
    float X = 0;
    float Y = 0;
    float Width = 0;
    float Height = 0;
    RectF() = default;
    RectF(float x, float y, float w, float h) : X(x), Y(y), Width(w), Height(h) {}
};

struct PointF {
    float X = 0;
    float Y = 0;
};

// A picture with alpha (straight ARGB, as GDI+ keeps it), and the status of its creation.
class Image {
public:
    Image() = default;
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
    virtual ~Image();
    // Decodes a picture (PNG, BMP, ICO) from the stream; never null, the status tells.
    static Image* FromStream(CMemoryStream* pStream);
    UINT GetWidth() const { return m_nWidth; }
    UINT GetHeight() const { return m_nHeight; }
    Status GetLastStatus() const { return m_status; }
    CImageData* Data() const { return m_pData; }

protected:
    void Adopt(CImageData* pData, UINT nWidth, UINT nHeight);
    CImageData* m_pData = nullptr;
    UINT m_nWidth = 0;
    UINT m_nHeight = 0;
    Status m_status = GenericError;
};

// A picture made from a bitmap (its colours copied, opaque), or a transparent one of a size.
class Bitmap : public Image {
public:
    Bitmap(HBITMAP hBitmap, void* hPalette);
    Bitmap(int nWidth, int nHeight);
};

class FontFamily {
public:
    explicit FontFamily(const std::u16string& strName);
    Status GetLastStatus() const { return m_status; }
    const std::u16string& Name() const { return m_strName; }

private:
    std::u16string m_strName;
    Status m_status;
};

class Font {
public:
    Font(const FontFamily* pFamily, float fSize, int nStyle, Unit eUnit);
    // From a LOGFONT-like description: face, height in pixels (negative: character height), weight.
    Font(const std::u16string& strFace, int nHeight, int nWeight);
    Status GetLastStatus() const { return m_status; }
    const std::u16string& Face() const { return m_strFace; }
    float PixelSize() const { return m_fPixelSize; } // the em size in pixels
    bool Bold() const { return m_bBold; }
    float Size() const { return m_fSize; }
    Unit SizeUnit() const { return m_eUnit; }

private:
    std::u16string m_strFace;
    float m_fSize = 0;
    Unit m_eUnit = UnitPixel;
    float m_fPixelSize = 0;
    bool m_bBold = false;
    Status m_status = Ok;
};

class StringFormat {
public:
    explicit StringFormat(int nFlags = 0) : m_nFlags(nFlags) {}
    Status SetFormatFlags(int nFlags) {
        m_nFlags = nFlags;
        return Ok;
    }
    Status SetAlignment(StringAlignment eAlign) {
        m_eAlign = eAlign;
        return Ok;
    }
    Status SetLineAlignment(StringAlignment eAlign) {
        m_eLineAlign = eAlign;
        return Ok;
    }
    int Flags() const { return m_nFlags; }
    StringAlignment Alignment() const { return m_eAlign; }
    StringAlignment LineAlignment() const { return m_eLineAlign; }

private:
    int m_nFlags;
    StringAlignment m_eAlign = StringAlignmentNear;
    StringAlignment m_eLineAlign = StringAlignmentNear;
};

class SolidBrush {
public:
    explicit SolidBrush(ARGB color) : m_color(color) {}
    Status SetColor(ARGB color) {
        m_color = color;
        return Ok;
    }
    ARGB GetColor() const { return m_color; }

private:
    ARGB m_color;
};

class Graphics {
public:
    explicit Graphics(HDC hDC);
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;
    ~Graphics();
    // dst gets the source rectangle of the image, scaled.
    Status DrawImage(const Image* pImage, const RectF& dst, float srcX, float srcY, float srcWidth,
                     float srcHeight, Unit srcUnit);
    Status DrawString(const OLECHAR* pszText, int nLength, const Font* pFont, const RectF& layout,
                      const StringFormat* pFormat, const SolidBrush* pBrush);
    Status DrawString(const std::u16string& strText, const Font* pFont, const RectF& layout,
                      const StringFormat* pFormat, const SolidBrush* pBrush);

private:
    HDC m_hDC;
};

// Starts drawing for the process (GdiplusStartup); the token ends it.
Status Startup(UINT_PTR* pToken);

} // namespace Gdi
