#include "gamewindow/dui_button.h"
#include "gamewindow/resource_image_loader.h"

#include "framework/headless/headless_inspect.h"
#include "framework/headless/headless_platform.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct CSliceCase {
    int nWidth;
    UINT nCount;
    BOOL bHot, bPressed, bDisabled;
    float fSrcX, fSrcWidth;
};

// Draws the button on a new 1300 x 40 surface; the calls it made, and the surface.
std::vector<CDrawCall> Draw(CDUIButton& button, CBitmap* pSurface = nullptr) {
    CBitmap surface;
    CBitmap& target = pSurface != nullptr ? *pSurface : surface;
    target.CreateDIBSection(1300, 40);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&target);
    CDrawLogScope log;
    Gdi::Graphics graphics(dc);
    button.Draw(graphics);
    return log.Calls();
}

TEST(DUIButtonTest, SliceChoiceAndArithmetic) {
    const CSliceCase cases[] = {
        {60, 3, FALSE, FALSE, FALSE, 0, 20},  {60, 3, TRUE, FALSE, FALSE, 20, 20},
        {60, 3, FALSE, TRUE, FALSE, 40, 20},  {60, 3, TRUE, TRUE, FALSE, 40, 20},
        {123, 3, TRUE, FALSE, FALSE, 41, 41}, {123, 3, FALSE, TRUE, FALSE, 82, 41},
        {62, 3, TRUE, FALSE, FALSE, 20, 20},  {60, 2, FALSE, TRUE, FALSE, 0, 30},
        {60, 2, TRUE, TRUE, FALSE, 30, 30},   {60, 1, TRUE, TRUE, FALSE, 0, 60},
        {60, 3, FALSE, FALSE, TRUE, 0, 20},   {80, 4, FALSE, FALSE, TRUE, 60, 20},
        {80, 4, TRUE, TRUE, TRUE, 60, 20},    {60, 3, TRUE, FALSE, TRUE, 20, 20},
    };
    for (const CSliceCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nWidth << "/" << c.nCount << " hot " << c.bHot << " pressed "
                                        << c.bPressed << " disabled " << c.bDisabled);
        std::unique_ptr<Gdi::Image> pImage(HeadlessInspectMakeImage(c.nWidth, 20, 0xFF000000));
        CDUIButton button;
        button.m_rect = CRect(100, 10, 140, 30);
        button.m_pImage = pImage.get();
        button.m_nStateCount = c.nCount;
        button.m_bHot = c.bHot;
        button.m_bPressed = c.bPressed;
        button.m_bDisabled = c.bDisabled;
        const std::vector<CDrawCall> calls = Draw(button);
        ASSERT_EQ(calls.size(), 1u); // no caption, no font
        EXPECT_EQ(calls[0].src.X, c.fSrcX);
        EXPECT_EQ(calls[0].src.Width, c.fSrcWidth);
        EXPECT_EQ(calls[0].src.Height, 20);
        EXPECT_EQ(calls[0].dst.X, 100);
        EXPECT_EQ(calls[0].dst.Width, 40); // scaled into the button
    }
}

TEST(DUIButtonTest, TheCellOfTheStateIsWhatReachesThePixels) {
    // Three cells of 20 x 20: red, green, blue.
    CBitmap cells;
    cells.CreateDIBSection(60, 20);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&cells);
    const COLORREF colours[] = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200)};
    for (int i = 0; i < 3; ++i) {
        const CRect cell(i * 20, 0, i * 20 + 20, 20);
        dc.FillSolidRect(&cell, colours[i]);
    }
    Gdi::Bitmap image(cells, nullptr);
    CDUIButton button;
    button.m_rect = CRect(100, 10, 140, 30);
    button.m_pImage = &image;
    button.m_nStateCount = 3;
    const struct {
        BOOL bHot, bPressed;
        std::uint32_t nExpected;
    } states[] = {{FALSE, FALSE, 0xFFC80000u}, {TRUE, FALSE, 0xFF00C800u}, {TRUE, TRUE, 0xFF0000C8u}};
    for (const auto& state : states) {
        button.m_bHot = state.bHot;
        button.m_bPressed = state.bPressed;
        CBitmap surface;
        Draw(button, &surface);
        EXPECT_EQ(HeadlessInspectPixel(surface, 100, 10), state.nExpected);
        EXPECT_EQ(HeadlessInspectPixel(surface, 139, 29), state.nExpected);
        EXPECT_EQ(HeadlessInspectPixel(surface, 140, 20), 0u); // nothing outside the button
        EXPECT_EQ(HeadlessInspectPixel(surface, 99, 20), 0u);
    }
}

TEST(DUIButtonTest, CaptionCentredInTheButtonInItsColours) {
    std::unique_ptr<Gdi::Image> pImage(HeadlessInspectMakeImage(123, 20, 0xFF000000));
    CDUIButton button;
    button.m_rect = CRect(1150, 10, 1190, 30);
    button.m_pImage = pImage.get();
    button.m_nStateCount = 3;
    button.m_strText = "刷新";
    std::vector<CDrawCall> calls = Draw(button);
    ASSERT_EQ(calls.size(), 2u);
    const CDrawCall& caption = calls[1];
    EXPECT_EQ(caption.strText, u"刷新");
    EXPECT_EQ(caption.strFace, u"宋体");
    EXPECT_FLOAT_EQ(caption.fPixelSize, 10.0f * 96 / 72);
    EXPECT_FALSE(caption.bBold);
    EXPECT_EQ(caption.eAlign, Gdi::StringAlignmentCenter);
    EXPECT_EQ(caption.eLineAlign, Gdi::StringAlignmentCenter);
    EXPECT_EQ(caption.dst.X, 1150);
    EXPECT_EQ(caption.dst.Width, 40);
    EXPECT_EQ(caption.color, 0xFFD99757u);
    button.m_bDisabled = TRUE;
    calls = Draw(button);
    EXPECT_EQ(calls[1].color, 0xFF808080u);
}

TEST(DUIButtonTest, CopiesShareThePicture) {
    Gdi::Bitmap image(60, 20);
    CDUIButton button;
    button.m_pImage = &image;
    button.m_strText = "官网";
    CDUIButton copy(button);
    copy.m_strText = "x";
    EXPECT_EQ(copy.m_pImage, &image);
    EXPECT_EQ(button.m_strText, "官网");
    CDUIButton blank;
    EXPECT_EQ(blank.m_rect, CRect());
    EXPECT_FALSE(blank.m_bHot || blank.m_bPressed || blank.m_bDisabled);
    EXPECT_EQ(blank.m_pOwner, nullptr);
}

TEST(ResourceImageLoaderTest, BitmapsAreCachedTheSkinIsNot) {
    CResourceImageLoader* pLoader = CResourceImageLoader::Instance();
    EXPECT_EQ(CResourceImageLoader::Instance(), pLoader);
    Gdi::Image* pClose = pLoader->GetImage(IDB_CAPTION_CLOSE);
    EXPECT_EQ(pLoader->GetImage(IDB_CAPTION_CLOSE), pClose);
    EXPECT_EQ(pClose->GetWidth(), 60u);
    EXPECT_EQ(pClose->GetHeight(), 20u);
    EXPECT_EQ(pLoader->m_images.count("161"), 1u);
    Gdi::Image* pSkin = pLoader->GetImage(IDB_SKIN);
    Gdi::Image* pSkinAgain = pLoader->GetImage(IDB_SKIN);
    EXPECT_NE(pSkin, pSkinAgain);
    EXPECT_EQ(pSkin->GetWidth(), 594u);
    EXPECT_EQ(pSkin->GetHeight(), 229u);
    EXPECT_EQ(pLoader->m_images.count("164"), 0u);
    delete pSkin;
    delete pSkinAgain;
    // An id without a bitmap: a picture that draws nothing, cached like any other.
    Gdi::Image* pMissing = pLoader->GetImage(7);
    ASSERT_NE(pMissing, nullptr);
    EXPECT_EQ(pMissing->GetWidth(), 0u);
    EXPECT_NE(pMissing->GetLastStatus(), Gdi::Ok);
    EXPECT_EQ(pLoader->GetImage(7), pMissing);
    EXPECT_EQ(pLoader->m_images.count("7"), 1u);
}

} // namespace
