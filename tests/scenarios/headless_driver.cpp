// The scenarios on the headless model. The driver plays the window system: it routes the pointer as
// the model's display backends do, carries out the move and size drags a window asks for (the window
// manager's part, down to the window's smallest size), reads the windows' records and the pixels they
// drew, fires the page's events in place of a browser engine and answers the questions as scripted.
#include "scenarios/scenario_driver.h"

#include "support/modal_run.h"

#include "app/drelk_client_app.h"
#include "framework/codepage.h"
#include "framework/dhtml_dialog.h"
#include "framework/headless/headless_inspect.h"
#include "settings/client_config.h"
#include "settings/client_reporter.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace {

constexpr const char* kLauncherPath = "D:\\Drelk\\Drelk.exe";

// What the screen shows of a window and the windows stacked with it (its owner's family: owned
// windows above their owner), over a black desktop: per-pixel-alpha content, colour-keyed content
// with its children, the frame a window paints itself, each inside the window's shape.
class CScreen {
public:
    explicit CScreen(HWND hWnd) {
        HWND hRoot = hWnd;
        while (View(hRoot).hParent != nullptr) {
            hRoot = View(hRoot).hParent;
        }
        while (View(hRoot).hOwner != nullptr) {
            hRoot = View(hRoot).hOwner;
        }
        AddWithOwned(hRoot);
    }

    std::uint32_t Pixel(CPoint ptScreen) {
        std::uint32_t nRgb = 0;
        for (HWND hWnd : m_stack) {
            const CRect rect = View(hWnd).ScreenRect();
            if (rect.PtInRect(ptScreen)) {
                nRgb = Over(Content(hWnd, ptScreen - rect.TopLeft()), nRgb);
            }
        }
        return nRgb;
    }
    // The topmost window whose pixel at the point is not see-through, or null (the desktop).
    HWND WindowAt(CPoint ptScreen) {
        for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it) {
            const CRect rect = View(*it).ScreenRect();
            if (rect.PtInRect(ptScreen) && Content(*it, ptScreen - rect.TopLeft()) >> 24 != 0) {
                return *it;
            }
        }
        return nullptr;
    }

private:
    void AddWithOwned(HWND hWnd) {
        if (!View(hWnd).bVisible) {
            return;
        }
        m_stack.push_back(hWnd);
        for (HWND hOwned : View(hWnd).owned) {
            AddWithOwned(hOwned);
        }
    }
    // The window's pixel (ARGB, straight alpha; alpha 0 where the window is see-through).
    std::uint32_t Content(HWND hWnd, CPoint pt) {
        const CHeadlessWindowView& record = View(hWnd);
        if (record.bHasRegion && !ModelShapeRow(record.rcRegion, record.nRegionEllipse, pt.y).PtInRect(pt)) {
            return 0;
        }
        if (record.layeredSurface) {
            return HeadlessInspectLayeredPixel(hWnd, pt.x, pt.y);
        }
        if (record.frameSurface && !record.rcClient.PtInRect(pt)) {
            return HeadlessInspectFramePixel(hWnd, pt.x, pt.y) | 0xFF000000;
        }
        const std::uint32_t nArgb = Painted(hWnd, pt - record.rcClient.TopLeft());
        if (record.bColorKey && (nArgb & 0xFFFFFF) == ColourOf(record.crKey)) {
            return 0;
        }
        return nArgb | 0xFF000000;
    }
    // The client area's pixel as the window and its topmost child there paint it.
    std::uint32_t Painted(HWND hWnd, CPoint pt) {
        const CHeadlessWindowView& record = View(hWnd);
        for (auto it = record.children.rbegin(); it != record.children.rend(); ++it) {
            const CHeadlessWindowView& child = View(*it);
            if (child.bVisible && child.rcWindow.PtInRect(pt)) {
                return Painted(*it, pt - child.rcWindow.TopLeft());
            }
        }
        auto found = m_paints.find(hWnd);
        if (found == m_paints.end()) {
            found = m_paints.emplace(hWnd, HeadlessInspectPaint(hWnd)).first;
        }
        return ModelSurfacePixel(found->second.Get(), pt.x, pt.y);
    }
    static std::uint32_t ColourOf(COLORREF cr) {
        return (std::uint32_t(GetRValue(cr)) << 16) | (std::uint32_t(GetGValue(cr)) << 8) | GetBValue(cr);
    }
    static std::uint32_t Over(std::uint32_t nArgb, std::uint32_t nBelow) {
        const std::uint32_t nAlpha = nArgb >> 24;
        std::uint32_t nRgb = 0;
        for (int nShift = 0; nShift <= 16; nShift += 8) {
            const std::uint32_t nTop = (nArgb >> nShift) & 0xFF;
            const std::uint32_t nBottom = (nBelow >> nShift) & 0xFF;
            nRgb |= ((nTop * nAlpha + nBottom * (255 - nAlpha)) / 255) << nShift;
        }
        return nRgb;
    }

    const CHeadlessWindowView& View(HWND hWnd) {
        auto found = m_views.find(hWnd);
        if (found == m_views.end()) {
            found = m_views.emplace(hWnd, HeadlessInspectWindow(hWnd)).first;
        }
        return found->second;
    }

    std::vector<HWND> m_stack; // bottom first
    std::map<HWND, CHeadlessWindowView> m_views;
    std::map<HWND, CSurfaceRef> m_paints;
};

class CHeadlessDriver : public CScenarioDriver {
public:
    CHeadlessDriver() {
        HeadlessReset();
        ResetSettings();
        Headless().module.m_strPath = kLauncherPath;
        m_pApp = std::make_unique<CDrelkClientApp>();
        AfxWinInit(m_pApp.get(), "");
        CClientConfig::Instance()->SetDefaults();
        m_pApp->m_strGameUrl = GameAddress();
    }
    ~CHeadlessDriver() override {
        m_pApp.reset();
        ResetSettings();
    }

    bool RendersPages() const override { return true; } // the driver fires the page's events
    bool KeepsUrlCacheEntries() const override { return true; }
    std::string GameAddress() const override { return "http://op/login.php?sid=1&server_name=双线一区"; }

    INT_PTR RunModal(CDialog& dialog, const std::function<void()>& script) override {
        m_pDialog = &dialog;
        const INT_PTR nResult = RunModalWithStep<CDialog>(dialog, [&](CDialog&) { script(); });
        m_pDialog = nullptr;
        return nResult;
    }
    void OnUiThread(const std::function<void()>& fn) override { fn(); }
    bool WaitFor(const std::function<bool()>& done, int nSeconds) override {
        for (int nStep = 0; nStep <= nSeconds * 10; ++nStep) {
            Settle();
            if (done()) {
                return true;
            }
            HeadlessAdvanceClock(100);
        }
        return false;
    }
    // Runs what is posted; the loop ends when the queue is empty (the step's idle hook says so).
    void Settle() override {
        ModelRunMessageLoop([](void*) { return true; }, nullptr);
    }

    CRect WindowRect(HWND hWnd) override { return HeadlessInspectWindow(hWnd).ScreenRect(); }
    CRect WorkArea() override { return Headless().workArea; }
    CPixelBlock Capture(HWND hWnd, const CRect& rect) override {
        CScreen screen(hWnd);
        const CPoint origin = Screen(hWnd, CPoint(0, 0));
        CPixelBlock block{rect.Width(), rect.Height(), {}};
        for (int y = rect.top; y < rect.bottom; ++y) {
            for (int x = rect.left; x < rect.right; ++x) {
                block.rgb.push_back(screen.Pixel(origin + CPoint(x, y)));
            }
        }
        return block;
    }
    bool InShape(HWND hWnd, CPoint pt) override {
        const CHeadlessWindowView record = HeadlessInspectWindow(hWnd);
        if (!record.bHasRegion) {
            return true;
        }
        return ModelShapeRow(record.rcRegion, record.nRegionEllipse, pt.y).PtInRect(pt);
    }
    // The files of res/ carry their resource number before the extension ("skin_164.png"); the
    // pictures' alpha is kept, the bitmaps are opaque.
    CPixelBlock PictureFile(const std::string& strName) override {
        const std::size_t nUnderscore = strName.rfind('_');
        const UINT nID = UINT(std::atoi(strName.c_str() + nUnderscore + 1));
        CPixelBlock block;
        if (strName.ends_with(".bmp")) {
            CBitmap bitmap;
            bitmap.LoadBitmap(nID);
            block.cx = bitmap.GetSize().cx;
            block.cy = bitmap.GetSize().cy;
            for (int y = 0; y < block.cy; ++y) {
                for (int x = 0; x < block.cx; ++x) {
                    block.rgb.push_back(HeadlessInspectPixel(bitmap, x, y) & 0xFFFFFF);
                }
            }
            return block;
        }
        const CSurfaceRef picture = HeadlessInspectResourcePicture(nID, false);
        block.cx = picture.Width();
        block.cy = picture.Height();
        for (int y = 0; y < block.cy; ++y) {
            for (int x = 0; x < block.cx; ++x) {
                block.rgb.push_back(ModelSurfacePixel(picture.Get(), x, y));
            }
        }
        return block;
    }

    // The pointer reaches the window the screen shows at its point, as the window systems route it
    // (see-through pixels pass it on); a press on the desktop reaches none.
    void MoveTo(HWND hWnd, CPoint pt) override {
        if (HWND hTarget = CScreen(hWnd).WindowAt(Screen(hWnd, pt))) {
            ModelMouseHover(hTarget, Screen(hWnd, pt));
        }
    }
    void Click(HWND hWnd, CPoint pt) override {
        if (HWND hTarget = CScreen(hWnd).WindowAt(Screen(hWnd, pt))) {
            ModelMousePress(hTarget, Screen(hWnd, pt));
            ModelMouseRelease(hTarget, Screen(hWnd, pt));
        }
    }
    void DoubleClick(HWND hWnd, CPoint pt) override {
        Click(hWnd, pt);
        if (HWND hTarget = CScreen(hWnd).WindowAt(Screen(hWnd, pt))) {
            ModelMouseDoubleClick(hTarget, Screen(hWnd, pt));
            ModelMouseRelease(hTarget, Screen(hWnd, pt));
        }
    }
    void Drag(HWND hWnd, CPoint from, CPoint to) override {
        HWND hTarget = CScreen(hWnd).WindowAt(Screen(hWnd, from));
        if (hTarget == nullptr) {
            return;
        }
        const std::size_t nMoves = Headless().moveDrags.size();
        const std::size_t nSizes = Headless().resizeDrags.size();
        const CRect rect = WindowRect(hTarget);
        ModelMousePress(hTarget, Screen(hWnd, from));
        if (Headless().moveDrags.size() > nMoves) { // the window manager moves the window
            HWND hMoved = Headless().moveDrags.back();
            CRect moved = WindowRect(hMoved);
            moved.OffsetRect(to.x - from.x, to.y - from.y);
            ModelNativeMoved(hMoved, moved);
        } else if (Headless().resizeDrags.size() > nSizes && Headless().resizeDrags.back() == HTBOTTOM) {
            const int nHeight = std::max(ModelMinTrackSize(hTarget).cy, rect.Height() + to.y - from.y);
            ModelNativeMoved(hTarget, CRect(rect.left, rect.top, rect.right, rect.top + nHeight));
        } else {
            ModelMouseMove(hTarget, Screen(hWnd, to));
            ModelMouseRelease(hTarget, Screen(hWnd, to));
        }
        Settle();
    }
    void Key(HWND hWnd, UINT nVirtualKey) override {
        HWND hTarget = hWnd;
        if (CWnd* pWnd = CWnd::FromHandle(hWnd); pWnd != nullptr && pWnd->GetDlgItemHandle(AFX_IDC_BROWSER)) {
            hTarget = pWnd->GetDlgItemHandle(AFX_IDC_BROWSER);
        }
        for (UINT message : {UINT(WM_KEYDOWN), UINT(WM_KEYUP)}) {
            MSG msg{hTarget, message, nVirtualKey, 0, 0, {0, 0}};
            CNativeEventScope native(&msg);
            ModelTranslateAndDispatch(&msg);
        }
    }
    CQuestion ClickAndAnswer(HWND hWnd, CPoint pt, int nAnswer) override {
        const std::size_t nBefore = Headless().messageBoxes.size();
        Headless().messageBoxAnswers.push_back(nAnswer);
        Click(hWnd, pt);
        CQuestion question;
        if (Headless().messageBoxes.size() > nBefore) {
            question.bAsked = true;
            question.strCaption = Headless().messageBoxes.back().strCaption; // the code page is UTF-8
            question.strText = Headless().messageBoxes.back().strText;
        } else {
            Headless().messageBoxAnswers.pop_back();
        }
        return question;
    }
    bool SystemMenuShown() override {
        const bool bShown = !Headless().systemMenus.empty();
        Headless().systemMenus.clear();
        return bShown;
    }

    std::string WaitForOpenedPage(int nSeconds) override {
        if (!WaitFor([&] { return Headless().shellOpened.size() > m_nOpenedSeen; }, nSeconds)) {
            return "";
        }
        return Headless().shellOpened[m_nOpenedSeen++];
    }
    std::size_t GameAddressRequests() override {
        const std::u16string strGame = AfxCodePageToUtf16(CP_UTF8, GameAddress());
        return std::size_t(std::count(Headless().navigations.begin(), Headless().navigations.end(), strGame));
    }
    std::string WaitForRelaunch() override {
        Settle();
        const auto& started = Headless().processes.m_started;
        return started.empty() ? "" : started.back().strApplication;
    }
    std::string LauncherPath() const override { return kLauncherPath; }
    bool AddCacheEntry(const std::string& strUrl) override {
        Headless().urlCache.push_back(
            {strUrl, NORMAL_CACHE_ENTRY, strUrl.size() > 4096 ? DWORD(strUrl.size() + 80) : 0});
        return true;
    }
    bool InCache(const std::string& strUrl) override {
        const auto& cache = Headless().urlCache;
        return std::any_of(cache.begin(), cache.end(),
                           [&](const CUrlCacheEntry& entry) { return entry.strUrl == strUrl; });
    }
    bool SetCookie(const std::string& strUrl, const std::string& strName, const std::string&) override {
        Headless().urlCache.push_back({CookieEntry(strUrl, strName), COOKIE_CACHE_ENTRY, 0});
        return true;
    }
    bool HasCookie(const std::string& strUrl, const std::string& strName) override {
        return InCache(CookieEntry(strUrl, strName));
    }
    bool WaitForGamePage() override {
        CBrowserControl* pBrowser = m_pDialog != nullptr
                                        ? ModelGetBrowserControl(m_pDialog->GetDlgItemHandle(AFX_IDC_BROWSER))
                                        : nullptr;
        if (pBrowser == nullptr) {
            return false;
        }
        pBrowser->SetTitle(kGamePageTitle);
        pBrowser->FireDocumentComplete(AfxCodePageToUtf16(CP_UTF8, GameAddress()));
        return true;
    }

private:
    static CPoint Screen(HWND hWnd, CPoint pt) {
        return HeadlessInspectWindow(hWnd).ScreenRect().TopLeft() + pt;
    }
    static std::string CookieEntry(const std::string& strUrl, const std::string& strName) {
        return "Cookie:player@" + strUrl + strName;
    }
    static void ResetSettings() {
        delete g_pClientConfig;
        g_pClientConfig = nullptr;
        delete g_pClientReporter;
        g_pClientReporter = nullptr;
    }

    std::unique_ptr<CDrelkClientApp> m_pApp;
    CDialog* m_pDialog = nullptr;
    std::size_t m_nOpenedSeen = 0;
};

} // namespace

std::unique_ptr<CScenarioDriver> MakeScenarioDriver() { return std::make_unique<CHeadlessDriver>(); }
