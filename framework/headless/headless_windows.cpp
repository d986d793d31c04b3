// The headless window system: windows are the framework's records and nothing more; what the
// player would see and do is recorded and scripted through CHeadlessPlatform.
#include "framework/browser.h"
#include "framework/graphics.h"
#include "framework/headless/headless_platform.h"
#include "framework/emulated/window_core.h"

#include <cstring>

void BackendWindowCreated(CWindowRecord*) {}
void BackendWindowDestroyed(CWindowRecord*) {}
void BackendWindowMoved(CWindowRecord*) {}
void BackendWindowShown(CWindowRecord*) {}
void BackendWindowInvalidated(CWindowRecord* pRecord) { AfxHeadless().invalidated.push_back(pRecord); }
void BackendLayeredChanged(CWindowRecord*) {}
void BackendTextChanged(CWindowRecord*) {}
void BackendSetFocus(CWindowRecord*) {}
void BackendBeginMoveDrag(CWindowRecord* pRecord, CPoint) { AfxHeadless().moveDrags.push_back(pRecord); }
void BackendBeginResizeDrag(CWindowRecord*, int nHitTest, CPoint) {
    AfxHeadless().resizeDrags.push_back(nHitTest);
}
void BackendFrameChanged(CWindowRecord*) { ++AfxHeadless().nFramePaints; }
void BackendStateChanged(CWindowRecord*) {}

UINT BackendTrackSystemMenu(CWindowRecord*, CPoint ptScreen) {
    AfxHeadless().systemMenus.push_back(ptScreen);
    return AfxHeadless().nSystemMenuChoice;
}

void BackendDrawString(CPixels&, const Gdi::CDrawCall&) {}
bool BackendFontFamilyExists(const std::u16string&) { return true; }

std::vector<CUrlCacheEntry> BackendUrlCacheEntries() {
    ++AfxHeadless().nUrlCacheEnumerations;
    return AfxHeadless().urlCache;
}

bool BackendDeleteUrlCacheEntry(const std::string& strUrl) {
    auto& entries = AfxHeadless().urlCache;
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (it->strUrl == strUrl) {
            entries.erase(it);
            AfxHeadless().deletedUrls.push_back(strUrl);
            return true;
        }
    }
    return false;
}

bool BackendWaitForEvents() {
    const std::function<bool()> onIdle = AfxHeadless().onIdle;
    return onIdle && onIdle();
}

void BackendWakeUp() {}

int BackendMessageBox(CWindowRecord* pOwner, const std::string& strText, const std::string& strCaption,
                      UINT nType) {
    CHeadlessPlatform& platform = AfxHeadless();
    platform.messageBoxes.push_back({pOwner, strText, strCaption, nType});
    if (platform.messageBoxAnswers.empty()) {
        return IDNO;
    }
    const int nAnswer = platform.messageBoxAnswers.front();
    platform.messageBoxAnswers.pop_front();
    return nAnswer;
}

bool BackendShellOpen(const std::string& strUrl) {
    AfxHeadless().shellOpened.push_back(strUrl);
    return true;
}

CRect BackendWorkArea() { return AfxHeadless().workArea; }

int BackendSystemMetric(int nIndex) {
    switch (nIndex) {
    case SM_CXSCREEN:
        return 1280;
    case SM_CYSCREEN:
        return 800;
    default:
        return 0;
    }
}

void BackendBrowserCreated(CBrowserControl*) {}
void BackendBrowserDestroyed(CBrowserControl*) {}
void BackendBrowserNavigate(CBrowserControl*, const std::u16string& strUrl) {
    AfxHeadless().navigations.push_back(strUrl);
}
void BackendBrowserStop(CBrowserControl*) { ++AfxHeadless().nStops; }
void BackendBrowserHostPolicyChanged(CBrowserControl*) {}

// Pictures: the headless platform reads a PNG's size (its pixels stay transparent) and gives icons
// 32 x 32 transparent pixels.
bool AfxDecodeImage(const BYTE* pData, std::size_t nSize, CPixels& pixels) {
    static const BYTE kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (nSize >= 24 && std::memcmp(pData, kPngSignature, 8) == 0) {
        const auto read32 = [pData](std::size_t n) {
            return (int(pData[n]) << 24) | (int(pData[n + 1]) << 16) | (int(pData[n + 2]) << 8) |
                   int(pData[n + 3]);
        };
        pixels = CPixels(read32(16), read32(20), 0);
        return true;
    }
    if (nSize >= 6 && pData[0] == 0 && pData[1] == 0 && pData[2] == 1) {
        pixels = CPixels(32, 32, 0);
        return true;
    }
    return false;
}
