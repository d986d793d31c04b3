// The GDI+-shaped classes on GDI+ itself, and CImage's pictures decoded by GDI+.
//
// Realises: Startup (GdiplusStartup), Image from a memory stream (CreateStreamOnHGlobal +
// Image::FromStream, the stream kept with the image), Bitmap from a bitmap handle or of a size,
// DrawImage from a source rectangle into a destination rectangle in pixels (nearest source pixel, as
// the model draws), DrawString with face, pixel size, weight, colour, alignment and no wrapping;
// CImage::Load (32-bit DIB of the picture's straight colour and alpha) and CImage::Draw (AlphaBlend).
// Does not realise: the rest of GDI+.
#include "framework/graphics.h"
#include "framework/window_system.h"

#include <gdiplus.h>

#include <cstring>

struct CImageData {
    Gdiplus::Image* pImage = nullptr;
    IStream* pStream = nullptr; // GDI+ reads the picture from it as long as the image lives
    ~CImageData() {
        delete pImage;
        if (pStream != nullptr) {
            pStream->Release();
        }
    }
};

namespace {

// A stream over a copy of the bytes, as CreateStreamOnHGlobal makes it.
IStream* StreamOf(CMemoryStream* pStream) {
    if (pStream == nullptr || pStream->Bytes().empty()) {
        return nullptr;
    }
    IStream* pIStream = nullptr;
    if (CreateStreamOnHGlobal(nullptr, TRUE, &pIStream) != S_OK) {
        return nullptr;
    }
    ULONG nWritten = 0;
    pIStream->Write(pStream->Bytes().data(), static_cast<ULONG>(pStream->Bytes().size()), &nWritten);
    const LARGE_INTEGER start{};
    pIStream->Seek(start, STREAM_SEEK_SET, nullptr);
    return pIStream;
}

std::wstring Wide(const std::u16string& strText) { return std::wstring(strText.begin(), strText.end()); }

} // namespace

void WsDeleteImageData(CImageData* pData) { delete pData; }

// Gdi:: drawing, as the seam has it.
using namespace Gdi;

Status WsStartDrawing(UINT_PTR* pToken) {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR nToken = 0;
    const Gdiplus::Status status = Gdiplus::GdiplusStartup(&nToken, &input, nullptr);
    if (pToken != nullptr) {
        *pToken = nToken;
    }
    return static_cast<Status>(status);
}

CImageData* WsDecodePicture(CMemoryStream* pStream, UINT& nWidth, UINT& nHeight) {
    IStream* pIStream = StreamOf(pStream);
    if (pIStream == nullptr) {
        return nullptr;
    }
    auto* pData = new CImageData;
    pData->pStream = pIStream;
    pData->pImage = Gdiplus::Image::FromStream(pIStream);
    if (pData->pImage == nullptr || pData->pImage->GetLastStatus() != Gdiplus::Ok) {
        delete pData;
        return nullptr;
    }
    nWidth = pData->pImage->GetWidth();
    nHeight = pData->pImage->GetHeight();
    return pData;
}

CImageData* WsPictureOfBitmap(HBITMAP hBitmap, UINT& nWidth, UINT& nHeight) {
    Gdiplus::Bitmap* pBitmap = hBitmap != nullptr ? Gdiplus::Bitmap::FromHBITMAP(hBitmap, nullptr) : nullptr;
    if (pBitmap == nullptr || pBitmap->GetLastStatus() != Gdiplus::Ok) {
        delete pBitmap;
        return nullptr;
    }
    auto* pData = new CImageData;
    pData->pImage = pBitmap;
    nWidth = pBitmap->GetWidth();
    nHeight = pBitmap->GetHeight();
    return pData;
}

CImageData* WsCreatePicture(int nWidth, int nHeight) {
    if (nWidth <= 0 || nHeight <= 0) {
        return nullptr;
    }
    auto* pData = new CImageData;
    pData->pImage = new Gdiplus::Bitmap(nWidth, nHeight, PixelFormat32bppARGB);
    return pData;
}

Status WsFontFamilyStatus(const std::u16string& strName) {
    const Gdiplus::FontFamily family(Wide(strName).c_str());
    return static_cast<Status>(family.GetLastStatus());
}

Status WsDrawPicture(HDC hDC, const Image* pImage, const RectF& dst, float srcX, float srcY, float srcWidth,
                     float srcHeight) {
    if (pImage == nullptr) {
        return InvalidParameter;
    }
    if (pImage->Data() == nullptr || hDC == nullptr) {
        return Ok;
    }
    Gdiplus::Graphics graphics(hDC);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    return static_cast<Status>(graphics.DrawImage(pImage->Data()->pImage,
                                                  Gdiplus::RectF(dst.X, dst.Y, dst.Width, dst.Height), srcX,
                                                  srcY, srcWidth, srcHeight, Gdiplus::UnitPixel));
}

Status WsDrawString(HDC hDC, const std::u16string& strText, const Font* pFont, const RectF& layout,
                    const StringFormat* pFormat, const SolidBrush* pBrush) {
    if (pFont == nullptr || pFont->GetLastStatus() != Ok || pBrush == nullptr) {
        return InvalidParameter;
    }
    if (hDC == nullptr || strText.empty()) {
        return Ok;
    }
    Gdiplus::Graphics graphics(hDC);
    const std::wstring strFace = Wide(pFont->Face());
    const Gdiplus::Font font(strFace.c_str(), pFont->PixelSize(),
                             pFont->Bold() ? Gdiplus::FontStyleBold : Gdiplus::FontStyleRegular,
                             Gdiplus::UnitPixel);
    Gdiplus::StringFormat format(pFormat != nullptr ? pFormat->Flags() : 0);
    if (pFormat != nullptr) {
        format.SetAlignment(static_cast<Gdiplus::StringAlignment>(pFormat->Alignment()));
        format.SetLineAlignment(static_cast<Gdiplus::StringAlignment>(pFormat->LineAlignment()));
    }
    const Gdiplus::SolidBrush brush(Gdiplus::Color(pBrush->GetColor()));
    const std::wstring strWide = Wide(strText);
    if (layout.Width > 0 && layout.Height > 0) {
        return static_cast<Status>(graphics.DrawString(
            strWide.c_str(), static_cast<INT>(strWide.size()), &font,
            Gdiplus::RectF(layout.X, layout.Y, layout.Width, layout.Height), &format, &brush));
    }
    return static_cast<Status>(graphics.DrawString(strWide.c_str(), static_cast<INT>(strWide.size()), &font,
                                                   Gdiplus::PointF(layout.X, layout.Y), &format, &brush));
}

// ---- CImage's pictures ----

HBITMAP WsDecodeImage(CMemoryStream* pStream, CSize& size) {
    IStream* pIStream = StreamOf(pStream);
    if (pIStream == nullptr) {
        return nullptr;
    }
    Gdiplus::Bitmap* pPicture = Gdiplus::Bitmap::FromStream(pIStream);
    HBITMAP hBitmap = nullptr;
    Gdiplus::BitmapData locked{};
    if (pPicture != nullptr && pPicture->GetLastStatus() == Gdiplus::Ok) {
        const Gdiplus::Rect all(0, 0, static_cast<INT>(pPicture->GetWidth()),
                                static_cast<INT>(pPicture->GetHeight()));
        if (pPicture->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &locked) ==
            Gdiplus::Ok) {
            CBitmap surface;
            if (surface.CreateDIBSection(all.Width, all.Height)) {
                // The picture's straight colour and alpha, row by row into the DIB (top-down).
                DIBSECTION section{};
                GetObjectA(surface.m_hObject, sizeof(section), &section);
                auto* pTarget = static_cast<BYTE*>(section.dsBm.bmBits);
                for (INT y = 0; y < all.Height; ++y) {
                    std::memcpy(pTarget + static_cast<std::size_t>(y) * section.dsBm.bmWidthBytes,
                                static_cast<const BYTE*>(locked.Scan0) +
                                    static_cast<std::ptrdiff_t>(y) * locked.Stride,
                                static_cast<std::size_t>(all.Width) * 4);
                }
                hBitmap = static_cast<HBITMAP>(surface.m_hObject);
                surface.m_hObject = nullptr;
                size = CSize(all.Width, all.Height);
            }
            pPicture->UnlockBits(&locked);
        }
    }
    delete pPicture;
    pIStream->Release();
    return hBitmap;
}

void WsDeleteImage(HBITMAP hBitmap) { DeleteObject(hBitmap); }

BOOL WsDrawImage(HDC hDestDC, int x, int y, HBITMAP hBitmap, CSize size) {
    HDC hSource = CreateCompatibleDC(hDestDC);
    HGDIOBJ hOld = SelectObject(hSource, hBitmap);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const BOOL bDrawn = ::AlphaBlend(hDestDC, x, y, size.cx, size.cy, hSource, 0, 0, size.cx, size.cy, blend);
    SelectObject(hSource, hOld);
    DeleteDC(hSource);
    return bDrawn;
}
