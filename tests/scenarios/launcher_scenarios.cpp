// The launcher as a player meets it, on every realisation: the picture centred on the work area with
// the controls window exactly over it, the five buttons in their places and on the screen, the
// picture dragged by any opaque pixel (and the desktop reached through the clear ones), the tabs
// opening their pages in the desktop's browser, the keys that change nothing, and the close
// button's question.
#include "scenarios/scenario_driver.h"

#include "launcher/controllers_dlg.h"
#include "launcher/doc_host_ui_handler.h"
#include "launcher/drelk_client_dlg.h"
#include "res/resource.h"
#include "settings/client_config.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <cstdlib>

namespace {

using ::testing::HasSubstr;

constexpr int kWidth = 1024;
constexpr int kHeight = 635;

struct CButtonPlace {
    int nID;
    const char* pszBitmap;
    CRect rect; // on the backdrop
};

const CButtonPlace kButtonPlaces[] = {
    {IDC_BTN_HOME, "tab_site_155.bmp", CRect(316, 45, 420, 76)},
    {IDC_BTN_FORUM, "tab_forum_153.bmp", CRect(422, 45, 526, 76)},
    {IDC_BTN_SERVICE, "tab_service_156.bmp", CRect(528, 45, 632, 76)},
    {IDC_BTN_CHARGE, "tab_topup_154.bmp", CRect(634, 45, 738, 76)},
    {IDC_BTN_CLOSE, "close_135.bmp", CRect(kWidth - 43, 7, kWidth - 12, 39)}};

// Where the launcher starts on a work area: centred, then pushed back inside from the right and the
// bottom, then from the left and the top, so that on a work area smaller than the picture its
// top-left corner is on screen.
CPoint PlacedOn(const CRect& work) {
    int x = (work.left + work.right) / 2 - kWidth / 2;
    int y = (work.top + work.bottom) / 2 - kHeight / 2;
    x = std::max(std::min(x, int(work.right) - kWidth), int(work.left));
    y = std::max(std::min(y, int(work.bottom) - kHeight), int(work.top));
    return CPoint(x, y);
}

// How many pixels of the screen block, from a point on, are the picture's.
int CountSame(const CPixelBlock& screen, CPoint at, const CPixelBlock& picture) {
    return CountFromPicture(screen, picture, CRect(at.x, at.y, at.x + picture.cx, at.y + picture.cy),
                            [at](int x, int y) { return CPoint(x - at.x, y - at.y); });
}

// The launcher's two windows while a scenario runs.
struct CLauncherWindows {
    CDrelkClientDlg& backdrop;
    HWND hBackdrop;
    HWND hControls;
};

class LauncherScenario : public CScenarioTest {
protected:
    // Runs the launcher; the script runs once it is shown. DoModal's result.
    INT_PTR RunLauncher(const std::function<void(CLauncherWindows&)>& script) {
        g_bControlsCreated = false;
        g_pDocHostUIHandler = nullptr;
        CDrelkClientDlg dialog;
        const INT_PTR nResult = Driver().RunModal(dialog, [&] {
            CLauncherWindows windows{dialog, dialog.m_hWnd, nullptr};
            Driver().OnUiThread([&] { windows.hControls = dialog.m_pControls->m_hWnd; });
            script(windows);
        });
        // The program keeps the controls window's object and the page's handler for the rest of the
        // process; a scenario gives both back.
        if (g_pDocHostUIHandler != nullptr &&
            (dialog.m_pControls == nullptr || !dialog.m_pControls->HandlerReleased())) {
            g_pDocHostUIHandler->Release();
        }
        g_pDocHostUIHandler = nullptr;
        delete dialog.m_pControls;
        return nResult;
    }

    HWND Button(const CLauncherWindows& windows, int nID) {
        HWND hButton = nullptr;
        Driver().OnUiThread([&] { hButton = CWnd::FromHandle(windows.hControls)->GetDlgItemHandle(nID); });
        return hButton;
    }
    // A button's centre in the controls window's coordinates, from where the screen shows it.
    CPoint Centre(const CLauncherWindows& windows, int nID) {
        const CRect button = Driver().WindowRect(Button(windows, nID));
        const CRect controls = Driver().WindowRect(windows.hControls);
        return button.CenterPoint() - controls.TopLeft();
    }
    bool Visible(HWND hWnd) {
        bool bVisible = false;
        Driver().OnUiThread([&] { bVisible = CWnd::FromHandle(hWnd)->IsWindowVisible() != FALSE; });
        return bVisible;
    }
    // Every button at its place on the backdrop, on the screen.
    void ExpectButtonsInPlace(const CLauncherWindows& windows) {
        const CRect backdrop = Driver().WindowRect(windows.hBackdrop);
        for (const CButtonPlace& place : kButtonPlaces) {
            SCOPED_TRACE(place.pszBitmap);
            CRect button = Driver().WindowRect(Button(windows, place.nID));
            button.OffsetRect(-backdrop.left, -backdrop.top);
            EXPECT_EQ(button, place.rect);
        }
    }
};

// On any screen: centred where the work area holds the picture, from the top-left corner where it
// does not (run on a 1024 x 600 screen too).
TEST_F(LauncherScenario, ShowsTwoLayeredWindowsCentredOnTheWorkAreaWithTheButtonsInPlace) {
    RunLauncher([&](CLauncherWindows& windows) {
        const CRect backdrop = Driver().WindowRect(windows.hBackdrop);
        EXPECT_EQ(backdrop.Width(), kWidth);
        EXPECT_EQ(backdrop.Height(), kHeight);
        const CRect work = Driver().WorkArea();
        SCOPED_TRACE(::testing::Message() << "work area " << work.left << "," << work.top << " "
                                          << work.Width() << "x" << work.Height());
        EXPECT_EQ(backdrop.left, PlacedOn(work).x);
        EXPECT_EQ(backdrop.top, PlacedOn(work).y);
        EXPECT_TRUE(Driver().WaitFor([&] { return Driver().WindowRect(windows.hControls) == backdrop; }));
        EXPECT_TRUE(Visible(windows.hBackdrop));
        EXPECT_TRUE(Visible(windows.hControls));
        Driver().OnUiThread([&] {
            EXPECT_NE(CWnd::FromHandle(windows.hBackdrop)->GetExStyle() & WS_EX_LAYERED, 0u);
            EXPECT_NE(CWnd::FromHandle(windows.hControls)->GetExStyle() & WS_EX_LAYERED, 0u);
        });
        ExpectButtonsInPlace(windows);
    });
}

// Where the controls window is keyed the backdrop shows: its opaque pixels as the picture has them,
// the desktop through its clear ones. (Partly clear pixels depend on a compositing manager.) The
// buttons' bitmaps are drawn over it.
TEST_F(LauncherScenario, TheScreenShowsTheButtonsOverThePictureAndTheDesktopWhereBothAreClear) {
    const CPixelBlock picture = Driver().PictureFile("backdrop_143.png");
    ASSERT_EQ(picture.cx, kWidth);
    ASSERT_EQ(picture.cy, kHeight);
    RunLauncher([&](CLauncherWindows& windows) {
        Driver().Settle();
        const CPixelBlock screen = Driver().Capture(windows.hControls, CRect(0, 0, kWidth, kHeight));
        ASSERT_EQ(screen.cx, kWidth);
        const std::uint32_t crDesktop = Driver().Capture(windows.hControls, CRect(-1, -1, 0, 0)).At(0, 0);
        for (const CButtonPlace& place : kButtonPlaces) {
            SCOPED_TRACE(place.pszBitmap);
            const CPixelBlock bitmap = Driver().PictureFile(place.pszBitmap);
            ASSERT_EQ(bitmap.cx, place.rect.Width());
            ASSERT_EQ(bitmap.cy, place.rect.Height());
            EXPECT_GE(CountSame(screen, place.rect.TopLeft(), bitmap), bitmap.cx * bitmap.cy * 99 / 100);
        }
        // Left of the tabs and below them, where neither the buttons nor the server list are.
        const CRect keyed(0, 80, 300, kHeight);
        int nOpaque = 0;
        int nOpaqueSame = 0;
        int nClear = 0;
        int nClearSame = 0;
        for (int y = keyed.top; y < keyed.bottom; ++y) {
            for (int x = keyed.left; x < keyed.right; ++x) {
                const std::uint32_t nArgb = picture.At(x, y);
                if (nArgb >> 24 == 0xFF) {
                    ++nOpaque;
                    nOpaqueSame += NearColour(screen.At(x, y), nArgb);
                } else if (nArgb >> 24 == 0) {
                    ++nClear;
                    nClearSame += NearColour(screen.At(x, y), crDesktop);
                }
            }
        }
        EXPECT_GT(nOpaque, keyed.Width() * keyed.Height() / 2);
        EXPECT_GT(nClear, 1000);
        EXPECT_GE(nOpaqueSame, nOpaque * 995 / 1000);
        EXPECT_GE(nClearSame, nClear * 995 / 1000);
    });
}

TEST_F(LauncherScenario, ADragOnThePictureMovesBothWindowsAndAPressOnAClearPixelReachesNeither) {
    const CPixelBlock picture = Driver().PictureFile("backdrop_143.png");
    ASSERT_EQ(picture.At(5, 300) >> 24, 0u);      // clear
    ASSERT_EQ(picture.At(150, 300) >> 24, 0xFFu); // opaque, under a keyed pixel of the controls
    RunLauncher([&](CLauncherWindows& windows) {
        const CRect before = Driver().WindowRect(windows.hBackdrop);
        Driver().Drag(windows.hBackdrop, CPoint(5, 300), CPoint(65, 340));
        Driver().Settle();
        EXPECT_EQ(Driver().WindowRect(windows.hBackdrop), before);

        Driver().Drag(windows.hBackdrop, CPoint(150, 300), CPoint(210, 340));
        CRect after = before;
        after.OffsetRect(60, 40);
        EXPECT_TRUE(Driver().WaitFor([&] { return Driver().WindowRect(windows.hBackdrop) == after; }, 5));
        EXPECT_TRUE(Driver().WaitFor([&] { return Driver().WindowRect(windows.hControls) == after; }, 5));
        ExpectButtonsInPlace(windows);
        // Still over the backdrop on the screen: the close button's bitmap where it belongs.
        const CButtonPlace& close = kButtonPlaces[4];
        const CPixelBlock bitmap = Driver().PictureFile(close.pszBitmap);
        const CPixelBlock screen = Driver().Capture(windows.hControls, close.rect);
        EXPECT_GE(CountSame(screen, CPoint(0, 0), bitmap), bitmap.cx * bitmap.cy * 99 / 100);
    });
}

TEST_F(LauncherScenario, EachTabOpensItsPageInTheDesktopsBrowser) {
    CClientConfig* pConfig = CClientConfig::Instance();
    RunLauncher([&](CLauncherWindows& windows) {
        const std::pair<int, const char*> tabs[] = {{IDC_BTN_HOME, "home"},
                                                    {IDC_BTN_FORUM, "bbs"},
                                                    {IDC_BTN_SERVICE, "service"},
                                                    {IDC_BTN_CHARGE, "charge"}};
        for (const auto& [nID, pszSetting] : tabs) {
            SCOPED_TRACE(pszSetting);
            Driver().Click(windows.hControls, Centre(windows, nID));
            EXPECT_THAT(Driver().WaitForOpenedPage(), HasSubstr(pConfig->GetValue(pszSetting)));
        }
        EXPECT_TRUE(Visible(windows.hBackdrop));
        EXPECT_TRUE(Visible(windows.hControls));
    });
}

TEST_F(LauncherScenario, EnterAndEscapeChangeNothingAndCloseAsksFirstNoKeepsYesEnds) {
    const INT_PTR nResult = RunLauncher([&](CLauncherWindows& windows) {
        for (HWND hWnd : {windows.hBackdrop, windows.hControls}) {
            Driver().Key(hWnd, VK_RETURN);
            Driver().Key(hWnd, VK_ESCAPE);
        }
        Driver().Settle();
        EXPECT_TRUE(Visible(windows.hBackdrop));
        EXPECT_TRUE(Visible(windows.hControls));

        const CPoint close = Centre(windows, IDC_BTN_CLOSE);
        const CQuestion no = Driver().ClickAndAnswer(windows.hControls, close, IDNO);
        ASSERT_TRUE(no.bAsked);
        EXPECT_EQ(no.strCaption, "关闭提示");
        EXPECT_EQ(no.strText, "正在游戏中，确定退出Drelk？");
        Driver().Settle();
        EXPECT_TRUE(Visible(windows.hBackdrop));
        EXPECT_TRUE(Visible(windows.hControls));

        EXPECT_TRUE(Driver().ClickAndAnswer(windows.hControls, close, IDYES).bAsked);
    });
    EXPECT_EQ(nResult, -1); // the quit message ended the launcher
}

} // namespace
