// The model's drawing, seen in real pixels.
#include "framework/gdi.h"
#include "framework/graphics.h"
#include "framework/headless/headless_inspect.h"
#include "framework/resources.h"
#include "res/resource.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A PNG of the given straight-alpha ARGB pixels (one row), made by gdk-pixbuf.
std::string MakePng(const std::vector<std::uint32_t>& pixels) {
    GdkPixbuf* pPixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, static_cast<int>(pixels.size()), 1);
    guchar* p = gdk_pixbuf_get_pixels(pPixbuf);
    for (std::uint32_t v : pixels) {
        *p++ = guchar(v >> 16);
        *p++ = guchar(v >> 8);
        *p++ = guchar(v);
        *p++ = guchar(v >> 24);
    }
    gchar* pBuffer = nullptr;
    gsize nSize = 0;
    gdk_pixbuf_save_to_buffer(pPixbuf, &pBuffer, &nSize, "png", nullptr, nullptr);
    std::string strPng(pBuffer, nSize);
    g_free(pBuffer);
    g_object_unref(pPixbuf);
    return strPng;
}

bool LoadImage(CImage& image, const std::string& strBytes) {
    CMemoryStream* pStream = AfxCreateMemoryStream();
    pStream->Write(strBytes.data(), strBytes.size());
    const bool bLoaded = image.Load(pStream) == S_OK;
    pStream->Release();
    return bLoaded;
}

// A memory context with a new DIB of the size selected into it.
struct CSurfaceContext {
    CSurfaceContext(int nWidth, int nHeight) {
        bitmap.CreateDIBSection(nWidth, nHeight);
        dc.CreateCompatibleDC(nullptr);
        dc.SelectObject(&bitmap);
    }
    std::uint32_t At(int x, int y) { return HeadlessInspectPixel(bitmap, x, y); }
    CBitmap bitmap;
    CDC dc;
};

TEST(GdiTest, ImageDrawnOntoANewSurfaceKeepsThePicturesStraightValues) {
    // What the backdrop relies on: the program never premultiplies, so the DIB holds the picture's
    // own colour and alpha, even where alpha is zero.
    CImage image;
    ASSERT_TRUE(LoadImage(image, MakePng({HeadlessArgb(189, 10, 20, 30), HeadlessArgb(0, 200, 100, 50),
                                          HeadlessArgb(255, 1, 2, 3)})));
    EXPECT_EQ(image.GetWidth(), 3);
    CSurfaceContext target(3, 1);
    ASSERT_TRUE(image.Draw(target.dc, 0, 0));
    EXPECT_EQ(target.At(0, 0), HeadlessArgb(189, 10, 20, 30));
    EXPECT_EQ(target.At(1, 0), HeadlessArgb(0, 200, 100, 50));
    EXPECT_EQ(target.At(2, 0), HeadlessArgb(255, 1, 2, 3));
}

TEST(GdiTest, ImageOverOpaqueBlendsAsPremultiplied) {
    CImage image;
    ASSERT_TRUE(LoadImage(image, MakePng({HeadlessArgb(128, 0, 0, 0)})));
    CSurfaceContext target(2, 1);
    const CRect all(0, 0, 2, 1);
    target.dc.FillSolidRect(&all, RGB(100, 100, 100));
    image.Draw(target.dc, 0, 0);
    EXPECT_EQ(target.At(0, 0), HeadlessArgb(255, 50, 50, 50));
    EXPECT_EQ(target.At(1, 0), HeadlessArgb(255, 100, 100, 100));
    image.Draw(target.dc, 5, 5); // outside: nothing
    EXPECT_EQ(target.At(0, 0), HeadlessArgb(255, 50, 50, 50));
}

TEST(GdiTest, BrokenPicturesAreRefused) {
    CImage image;
    EXPECT_FALSE(LoadImage(image, ""));
    EXPECT_FALSE(LoadImage(image, "not a picture"));
    std::string strPng = MakePng({HeadlessArgb(255, 1, 2, 3), HeadlessArgb(255, 1, 2, 3)});
    EXPECT_FALSE(LoadImage(image, strPng.substr(0, strPng.size() / 2))); // truncated
    EXPECT_TRUE(image.IsNull());
    EXPECT_FALSE(image.Draw(nullptr, 0, 0));
    const BYTE header[] = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0};
    EXPECT_FALSE(ModelDecodePicture(header, sizeof(header), false));
    const BYTE* pData = nullptr;
    std::size_t nSize = 0;
    ASSERT_TRUE(AfxFindResource(IDB_CLOSE, RT_BITMAP, pData, nSize));
    // A cut bitmap: refused, or (as gdk-pixbuf's loader may) decoded to no more than its declared size.
    const CSurfaceRef cut = ModelDecodePicture(pData, nSize / 2, false);
    EXPECT_TRUE(!cut || (cut.Width() == 31 && cut.Height() == 32));
    EXPECT_FALSE(CBitmap().CreateDIBSection(0, 10));
    EXPECT_FALSE(CBitmap().CreateDIBSection(100000, 10));
}

TEST(GdiTest, ButtonBitmapsDecodeOpaqueAtTheirSizes) {
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadBitmap(IDB_CLOSE));
    EXPECT_EQ(bitmap.GetSize().cx, 31);
    EXPECT_EQ(bitmap.GetSize().cy, 32);
    ASSERT_TRUE(bitmap.LoadBitmap(IDB_TAB_HOME));
    ASSERT_EQ(bitmap.GetSize().cx, 104);
    ASSERT_EQ(bitmap.GetSize().cy, 31);
    for (int y = 0; y < 31; ++y) {
        for (int x = 0; x < 104; ++x) {
            const std::uint32_t v = HeadlessInspectPixel(bitmap, x, y);
            ASSERT_EQ(v >> 24, 255u);
            ASSERT_NE(v, HeadlessArgb(255, 255, 0, 255)); // never the controls window's colour key
        }
    }
    EXPECT_FALSE(CBitmap().LoadBitmap(9999));
}

TEST(GdiTest, BlitsCopyAndExcludedRectanglesStayUntouched) {
    CSurfaceContext source(4, 4);
    const CRect all(0, 0, 4, 4);
    source.dc.FillSolidRect(&all, RGB(10, 20, 30));
    CSurfaceContext target(6, 6);
    const CRect middle(2, 2, 4, 4);
    EXPECT_EQ(target.dc.ExcludeClipRect(&middle), 3);
    target.dc.BitBlt(1, 1, 4, 4, &source.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(target.At(0, 0), 0u);
    EXPECT_EQ(target.At(1, 1), HeadlessArgb(255, 10, 20, 30));
    EXPECT_EQ(target.At(4, 4), HeadlessArgb(255, 10, 20, 30));
    EXPECT_EQ(target.At(5, 5), 0u);
    EXPECT_EQ(target.At(2, 2), 0u); // excluded
    EXPECT_EQ(target.At(3, 3), 0u);
    target.dc.SelectClipRgn(nullptr);
    target.dc.FillSolidRect(&middle, RGB(1, 1, 1));
    EXPECT_EQ(target.At(3, 3), HeadlessArgb(255, 1, 1, 1));
    CRect box;
    EXPECT_EQ(target.dc.GetClipBox(&box), 3);
    EXPECT_EQ(box, CRect(0, 0, 6, 6));
    // A context with nothing to draw on refuses, and nothing breaks.
    CDC empty;
    EXPECT_FALSE(empty.BitBlt(0, 0, 1, 1, &source.dc, 0, 0, SRCCOPY));
    EXPECT_FALSE(target.dc.BitBlt(0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
}

TEST(GdiTest, IconsAreDrawnAtTheAskedSize) {
    HICON hIcon = AfxLoadIcon(IDR_MAINFRAME);
    ASSERT_NE(hIcon, nullptr);
    EXPECT_EQ(AfxLoadIcon(IDR_MAINFRAME), hIcon); // shared
    EXPECT_EQ(AfxLoadIcon(9999), nullptr);
    CSurfaceContext target(40, 40);
    ASSERT_TRUE(target.dc.DrawIconEx(4, 4, hIcon, 16, 16));
    int nInside = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            if ((target.At(x, y) >> 24) != 0) {
                ASSERT_TRUE(x >= 4 && x < 20 && y >= 4 && y < 20) << x << "," << y;
                ++nInside;
            }
        }
    }
    EXPECT_GT(nInside, 100);
    EXPECT_FALSE(target.dc.DrawIconEx(0, 0, nullptr, 16, 16));
}

TEST(GdiTest, GraphicsStretchesTheSourceRectangleIntoTheDestination) {
    // A picture of two columns: red then blue; the blue column stretched over 5 x 2 pixels.
    CSurfaceContext source(2, 1);
    const CRect left(0, 0, 1, 1);
    const CRect right(1, 0, 2, 1);
    source.dc.FillSolidRect(&left, RGB(255, 0, 0));
    source.dc.FillSolidRect(&right, RGB(0, 0, 255));
    Gdi::Bitmap columns(source.bitmap, nullptr);
    ASSERT_EQ(columns.GetLastStatus(), Gdi::Ok);
    CSurfaceContext target(8, 4);
    {
        Gdi::Graphics graphics(target.dc);
        EXPECT_EQ(graphics.DrawImage(&columns, Gdi::RectF(2, 1, 5, 2), 1, 0, 1, 1, Gdi::UnitPixel), Gdi::Ok);
        EXPECT_EQ(graphics.DrawImage(nullptr, Gdi::RectF(0, 0, 1, 1), 0, 0, 1, 1, Gdi::UnitPixel),
                  Gdi::InvalidParameter);
    }
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool bInside = x >= 2 && x < 7 && y >= 1 && y < 3;
            EXPECT_EQ(target.At(x, y), bInside ? HeadlessArgb(255, 0, 0, 255) : 0u) << x << "," << y;
        }
    }
}

TEST(GdiTest, StringsAreDrawnInTheirColourFromTheLayoutOrigin) {
    CSurfaceContext target(120, 40);
    {
        Gdi::Graphics graphics(target.dc);
        const Gdi::Font font(u"宋体", -12, 700);
        const Gdi::SolidBrush brush(0xFFFFFFFF);
        Gdi::StringFormat format;
        format.SetFormatFlags(Gdi::StringFormatFlagsNoWrap);
        ASSERT_EQ(graphics.DrawString(u"游戏 Drelk", &font, Gdi::RectF(20, 10, 0, 0), &format, &brush),
                  Gdi::Ok);
        EXPECT_EQ(graphics.DrawString(u"x", nullptr, Gdi::RectF(), &format, &brush), Gdi::InvalidParameter);
    }
    int nWhite = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 120; ++x) {
            const std::uint32_t v = target.At(x, y);
            if (v != 0) {
                ASSERT_GE(x, 20);
                ASSERT_GE(y, 10);
                ASSERT_LT(y, 10 + 20);
            }
            nWhite += v == 0xFFFFFFFFu ? 1 : 0;
        }
    }
    EXPECT_GT(nWhite, 20);
}

TEST(GdiTest, ResourcesAreFoundByIdAndType) {
    const BYTE* pData = nullptr;
    std::size_t nSize = 0;
    EXPECT_TRUE(AfxFindResource(IDB_BACKDROP, "PNG", pData, nSize));
    EXPECT_FALSE(AfxFindResource(IDB_BACKDROP, RT_BITMAP, pData, nSize));
    EXPECT_TRUE(AfxFindResource(IDR_MAINFRAME, RT_GROUP_ICON, pData, nSize));
    EXPECT_NE(AfxFindDialogTemplate(IDD_CONTROLLERS), nullptr);
    EXPECT_EQ(AfxFindDialogTemplate(IDD_CONTROLLERS)->items.size(), 6u);
}

struct CFoundPicture {
    const BYTE* pData = nullptr;
    std::size_t nSize = 0;
    int nScale = 0;
};

CFoundPicture FindForScale(UINT nID, const char* lpType, int nScale) {
    CFoundPicture found;
    if (!AfxFindResourceForScale(nID, lpType, nScale, found.pData, found.nSize, found.nScale)) {
        found.nScale = 0;
    }
    return found;
}

TEST(GdiTest, PicturesAreFoundForTheDisplayScale) {
    const BYTE* pOneX = nullptr;
    std::size_t nOneX = 0;
    ASSERT_TRUE(AfxFindResource(IDB_BACKDROP, "PNG", pOneX, nOneX));
    // scale 1, and nonsense below it: the 1x picture, the one AfxFindResource gives
    for (const int nScale : {1, 0, -2}) {
        const CFoundPicture found = FindForScale(IDB_BACKDROP, "PNG", nScale);
        EXPECT_EQ(found.nScale, 1) << nScale;
        EXPECT_EQ(found.pData, pOneX) << nScale;
    }
    // scale 2: the picture drawn at twice the size
    const CFoundPicture twice = FindForScale(IDB_BACKDROP, "PNG", 2);
    ASSERT_EQ(twice.nScale, 2);
    const CSurfaceRef big = ModelDecodePicture(twice.pData, twice.nSize, false);
    EXPECT_EQ(big.Width(), 2 * 1024);
    EXPECT_EQ(big.Height(), 2 * 635);
    // AfxFindResource keeps giving the 1x picture
    const BYTE* pAgain = nullptr;
    std::size_t nAgain = 0;
    ASSERT_TRUE(AfxFindResource(IDB_BACKDROP, "PNG", pAgain, nAgain));
    EXPECT_EQ(pAgain, pOneX);
    // other scales: a version the caller enlarges by a whole factor
    EXPECT_EQ(FindForScale(IDB_BACKDROP, "PNG", 3).pData, pOneX);
    EXPECT_EQ(FindForScale(IDB_BACKDROP, "PNG", 4).pData, twice.pData);
    EXPECT_EQ(FindForScale(IDB_BACKDROP, "PNG", 1000).nScale, 2);
    // bitmaps by their resource type; a strip keeps three cells at twice the size
    const CFoundPicture strip = FindForScale(IDB_CAPTION_CLOSE, RT_BITMAP, 2);
    ASSERT_EQ(strip.nScale, 2);
    const CSurfaceRef cells = ModelDecodePicture(strip.pData, strip.nSize, false);
    EXPECT_EQ(cells.Width(), 3 * 40);
    EXPECT_EQ(cells.Height(), 40);
    // no larger version: the icon group holds its own sizes, a page is no picture
    const BYTE* pIcon = nullptr;
    std::size_t nIcon = 0;
    ASSERT_TRUE(AfxFindResource(IDR_MAINFRAME, RT_GROUP_ICON, pIcon, nIcon));
    const CFoundPicture icon = FindForScale(IDR_MAINFRAME, RT_GROUP_ICON, 2);
    EXPECT_EQ(icon.nScale, 1);
    EXPECT_EQ(icon.pData, pIcon);
    EXPECT_EQ(FindForScale(IDR_PAGE_FAILURE, "HTML", 2).nScale, 1);
    // what does not exist at 1x is not found at any scale
    EXPECT_EQ(FindForScale(IDB_BACKDROP, RT_BITMAP, 2).nScale, 0);
    EXPECT_EQ(FindForScale(4242, "PNG", 2).nScale, 0);
}

TEST(GdiTest, EveryPictureHasAVersionAtTwiceTheSize) {
    for (std::size_t i = 0; i < g_nResourceCount; ++i) {
        const CResourceEntry& entry = g_resourceTable[i];
        const std::string strType = entry.pszType;
        if (entry.nScale != 1 || (strType != "PNG" && strType != "BITMAP")) {
            continue;
        }
        const CFoundPicture twice = FindForScale(entry.nID, entry.pszType, 2);
        ASSERT_EQ(twice.nScale, 2) << entry.nID;
        const CSurfaceRef small = ModelDecodePicture(entry.pData, entry.nSize, false);
        const CSurfaceRef big = ModelDecodePicture(twice.pData, twice.nSize, false);
        ASSERT_TRUE(small && big) << entry.nID;
        EXPECT_EQ(big.Width(), 2 * small.Width()) << entry.nID;
        EXPECT_EQ(big.Height(), 2 * small.Height()) << entry.nID;
    }
}

} // namespace
