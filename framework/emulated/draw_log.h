// The model's record of drawing calls, for tests that check what was drawn as well as the pixels
// (reached through the headless inspection API).
#pragma once

#include "framework/graphics.h"

#include <string>
#include <vector>

struct CDrawCall {
    enum EKind { DrawImage, DrawString } eKind = DrawImage;
    Gdi::RectF dst;
    Gdi::RectF src; // DrawImage
    const Gdi::Image* pImage = nullptr;
    std::u16string strText; // DrawString
    std::u16string strFace;
    float fPixelSize = 0;
    bool bBold = false;
    Gdi::ARGB color = 0;
    int nFormatFlags = 0;
    Gdi::StringAlignment eAlign = Gdi::StringAlignmentNear;
    Gdi::StringAlignment eLineAlign = Gdi::StringAlignmentNear;
};

// While set, every Gdi::Graphics call is appended here.
extern std::vector<CDrawCall>* g_pDrawLog;
