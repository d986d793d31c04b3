#include "framework/gdi.h"

#include "framework/resources.h"
#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

TEST(GdiTest, AlphaBlendOntoZeroKeepsTheStraightValues) {
    CPixels source(2, 1);
    source.At(0, 0) = AfxArgb(189, 10, 20, 30);
    source.At(1, 0) = AfxArgb(0, 200, 100, 50);
    CBitmap surface;
    surface.CreateDIBSection(2, 1);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&surface);
    dc.AlphaBlend(source, 0, 0);
    EXPECT_EQ(surface.m_pixels.At(0, 0), AfxArgb(189, 10, 20, 30));
    EXPECT_EQ(surface.m_pixels.At(1, 0), AfxArgb(0, 200, 100, 50));
}

TEST(GdiTest, AlphaBlendOverOpaqueIsSourceOver) {
    CPixels target(1, 1, AfxArgb(255, 100, 100, 100));
    CPixels source(1, 1, AfxArgb(128, 0, 0, 0)); // colour as premultiplied by the picture: black
    CDC dc(&target);
    dc.AlphaBlend(source, 0, 0);
    EXPECT_EQ(target.At(0, 0), AfxArgb(255, 50, 50, 50));
    dc.AlphaBlend(source, 5, 5); // outside: nothing
    EXPECT_EQ(target.At(0, 0), AfxArgb(255, 50, 50, 50));
}

TEST(GdiTest, ButtonBitmapsDecodeOpaqueAtTheirSizes) {
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadBitmap(IDB_CLOSE));
    EXPECT_EQ(bitmap.GetSize().cx, 31);
    EXPECT_EQ(bitmap.GetSize().cy, 32);
    ASSERT_TRUE(bitmap.LoadBitmap(IDB_TAB_HOME));
    EXPECT_EQ(bitmap.GetSize().cx, 104);
    EXPECT_EQ(bitmap.GetSize().cy, 31);
    for (std::uint32_t v : bitmap.m_pixels.bits) {
        ASSERT_EQ(v >> 24, 255u);
        ASSERT_NE(v, AfxArgb(255, 255, 0, 255)); // never the controls window's colour key
    }
    EXPECT_FALSE(CBitmap().LoadBitmap(9999));
}

TEST(GdiTest, BrokenBitmapsAreRefused) {
    CPixels pixels;
    const BYTE header[] = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0};
    EXPECT_FALSE(AfxDecodeBmp(header, sizeof(header), pixels));
    EXPECT_FALSE(AfxDecodeBmp(nullptr, 0, pixels));
    const BYTE* pData = nullptr;
    std::size_t nSize = 0;
    ASSERT_TRUE(AfxFindResource(IDB_CLOSE, RT_BITMAP, pData, nSize));
    EXPECT_FALSE(AfxDecodeBmp(pData, nSize / 2, pixels)); // truncated
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

} // namespace
