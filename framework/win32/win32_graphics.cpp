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

void AfxDeleteImageData(CImageData* pData) { delete pData; }

namespace Gdi {

Status Startup(UINT_PTR* pToken) {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR nToken = 0;
    const Gdiplus::Status status = Gdiplus::GdiplusStartup(&nToken, &input, nullptr);
    if (pToken != nullptr) {
        *pToken = nToken;
    }
    return static_cast<Status>(status);
}

Image* Image::FromStream(CMemoryStream* pStream) {
    auto* pImage = new Image;
    if (IStream* pIStream = StreamOf(pStream)) {
        auto* pData = new CImageData;
        pData->pStream = pIStream;
        pData->pImage = Gdiplus::Image::FromStream(pIStream);
        if (pData->pImage != nullptr && pData->pImage->GetLastStatus() == Gdiplus::Ok) {
            pImage->Adopt(pData, pData->pImage->GetWidth(), pData->pImage->GetHeight());
        } else {
            delete pData;
        }
    }
    return pImage;
}

Bitmap::Bitmap(HBITMAP hBitmap, void*) {
    Gdiplus::Bitmap* pBitmap = hBitmap != nullptr ? Gdiplus::Bitmap::FromHBITMAP(hBitmap, nullptr) : nullptr;
    if (pBitmap == nullptr || pBitmap->GetLastStatus() != Gdiplus::Ok) {
        delete pBitmap;
        m_status = InvalidParameter;
        return;
    }
    auto* pData = new CImageData;
    pData->pImage = pBitmap;
    Adopt(pData, pBitmap->GetWidth(), pBitmap->GetHeight());
}

Bitmap::Bitmap(int nWidth, int nHeight) {
    if (nWidth <= 0 || nHeight <= 0) {
        m_status = InvalidParameter;
        return;
    }
    auto* pData = new CImageData;
    pData->pImage = new Gdiplus::Bitmap(nWidth, nHeight, PixelFormat32bppARGB);
    Adopt(pData, UINT(nWidth), UINT(nHeight));
}

FontFamily::FontFamily(const std::u16string& strName) : m_strName(strName), m_status(Ok) {
    const Gdiplus::FontFamily family(Wide(strName).c_str());
    m_status = static_cast<Status>(family.GetLastStatus());
}

Status Graphics::DrawImage(const Image* pImage, const RectF& dst, float srcX, float srcY, float srcWidth,
                           float srcHeight, Unit) {
    if (pImage == nullptr) {
        return InvalidParameter;
    }
    if (pImage->Data() == nullptr || m_hDC == nullptr) {
        return Ok;
    }
    Gdiplus::Graphics graphics(m_hDC);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    return static_cast<Status>(graphics.DrawImage(pImage->Data()->pImage,
                                                  Gdiplus::RectF(dst.X, dst.Y, dst.Width, dst.Height), srcX,
                                                  srcY, srcWidth, srcHeight, Gdiplus::UnitPixel));
}

Status Graphics::DrawString(const std::u16string& strText, const Font* pFont, const RectF& layout,
                            const StringFormat* pFormat, const SolidBrush* pBrush) {
    if (pFont == nullptr || pFont->GetLastStatus() != Ok || pBrush == nullptr) {
        return InvalidParameter;
    }
    if (m_hDC == nullptr || strText.empty()) {
        return Ok;
    }
    Gdiplus::Graphics graphics(m_hDC);
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

} // namespace Gdi

// ---- CImage ----

HRESULT CImage::Load(CMemoryStream* pStream) {
    Destroy();
    IStream* pIStream = StreamOf(pStream);
    if (pIStream == nullptr) {
        return E_FAIL;
    }
    Gdiplus::Bitmap* pPicture = Gdiplus::Bitmap::FromStream(pIStream);
    HRESULT hr = E_FAIL;
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
                m_hBitmap = static_cast<HBITMAP>(surface.m_hObject);
                surface.m_hObject = nullptr;
                m_size = CSize(all.Width, all.Height);
                hr = S_OK;
            }
            pPicture->UnlockBits(&locked);
        }
    }
    delete pPicture;
    pIStream->Release();
    return hr;
}

void CImage::Destroy() {
    if (m_hBitmap != nullptr) {
        DeleteObject(m_hBitmap);
    }
    m_hBitmap = nullptr;
    m_size = CSize();
}

BOOL CImage::Draw(HDC hDestDC, int x, int y) const {
    if (IsNull() || hDestDC == nullptr) {
        return FALSE;
    }
    HDC hSource = CreateCompatibleDC(hDestDC);
    HGDIOBJ hOld = SelectObject(hSource, m_hBitmap);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const BOOL bDrawn =
        ::AlphaBlend(hDestDC, x, y, m_size.cx, m_size.cy, hSource, 0, 0, m_size.cx, m_size.cy, blend);
    SelectObject(hSource, hOld);
    DeleteDC(hSource);
    return bDrawn;
}
