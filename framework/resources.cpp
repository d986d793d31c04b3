// The dialog templates of the program, the same on every platform.
#include "framework/resources.h"

#include "framework/window_system.h"

#include "framework/geometry.h"

#include <cstring>

const CDialogTemplate* AfxFindDialogTemplate(UINT nID) {
    for (const CDialogTemplate& dialog : g_dialogTemplates) {
        if (dialog.nID == nID) {
            return &dialog;
        }
    }
    return nullptr;
}

CRect AfxDialogUnitsToPixels(const CDialogTemplate& dialog, int x, int y, int cx, int cy) {
    // Base units of "MS Shell Dlg" at 96 dots per inch: 8 point gives 6 x 13, 9 point 7 x 15.
    const int nBaseX = dialog.nPointSize >= 9 ? 7 : 6;
    const int nBaseY = dialog.nPointSize >= 9 ? 15 : 13;
    const int nLeft = x * nBaseX / 4;
    const int nTop = y * nBaseY / 8;
    return CRect(nLeft, nTop, nLeft + cx * nBaseX / 4, nTop + cy * nBaseY / 8);
}

bool AfxFindResource(UINT nID, const char* lpType, const BYTE*& pData, std::size_t& nSize) {
    return WsFindResource(nID, lpType, 1, pData, nSize);
}

bool AfxFindResourceForScale(UINT nID, const char* lpType, int nScale, const BYTE*& pData, std::size_t& nSize,
                             int& nFoundScale) {
    // No display has more than a few device pixels per pixel; a wild value costs no long search.
    constexpr int kLargestScale = 8;
    const int nAsked = nScale < 1 ? 1 : nScale > kLargestScale ? kLargestScale : nScale;
    for (int nTry = nAsked; nTry >= 1; --nTry) {
        if (nAsked % nTry == 0 && WsFindResource(nID, lpType, nTry, pData, nSize)) {
            nFoundScale = nTry;
            return true;
        }
    }
    return false;
}
