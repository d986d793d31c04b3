#include "scenarios/scenario_driver.h"

#include <cstdlib>

bool NearColour(std::uint32_t a, std::uint32_t b, int nTolerance) {
    for (int nShift = 0; nShift <= 16; nShift += 8) {
        if (std::abs(int((a >> nShift) & 0xFF) - int((b >> nShift) & 0xFF)) > nTolerance) {
            return false;
        }
    }
    return true;
}

int CountFromPicture(const CPixelBlock& block, const CPixelBlock& picture, const CRect& rect,
                     const std::function<CPoint(int, int)>& pictureAt) {
    int nSame = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            const CPoint pt = pictureAt(x, y);
            nSame += NearColour(block.At(x, y), picture.At(pt.x, pt.y)) ? 1 : 0;
        }
    }
    return nSame;
}
