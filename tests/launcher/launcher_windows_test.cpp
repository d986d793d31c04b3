#include "support/launcher_fixture.h"

#include "framework/emulated/window_core.h"
#include "res/resource.h"

namespace {

class LauncherWindowsTest : public CLauncherTest {};

// Where the screen shows the two windows is a scenario; this is what the model keeps for them.
TEST_F(LauncherWindowsTest, TheBackdropCarriesThePictureAndTheIconsAndOwnsTheKeyedControlsWindow) {
    RunLauncher([&](CDrelkClientDlg& dialog) {
        ASSERT_TRUE(Record(dialog).layeredSurface);
        EXPECT_EQ(Record(dialog).layeredSurface.Width(), 1024);
        EXPECT_EQ(Record(dialog).layeredSurface.Height(), 635);
        EXPECT_TRUE(Record(Controls()).bColorKey);
        EXPECT_EQ(Record(Controls()).crKey, RGB(255, 0, 255));
        EXPECT_EQ(dialog.GetIcon(TRUE), dialog.m_hIcon);
        EXPECT_EQ(dialog.GetIcon(FALSE), dialog.m_hIcon);
        EXPECT_EQ(Record(Controls()).hOwner, dialog.m_hWnd);
    });
}

TEST_F(LauncherWindowsTest, ControlsWindowIsCreatedOnceBeforeTheBackdropInitialises) {
    struct CProbe : CDrelkClientDlg {
        bool bControlsReadyAtInit = false;
        BOOL OnInitDialog() override {
            bControlsReadyAtInit = m_pControls != nullptr && m_pControls->m_hWnd != nullptr &&
                                   CClientConfig::Instance()->GetValue("platform") == "360";
            return CDrelkClientDlg::OnInitDialog();
        }
    };
    CProbe probe;
    Platform().onIdle = [] { return false; };
    probe.DoModal();
    EXPECT_TRUE(probe.bControlsReadyAtInit);
    EXPECT_TRUE(g_bControlsCreated);
    CDrelkClientDlg second;
    second.DoModal();
    EXPECT_EQ(second.m_pControls, nullptr);
    delete probe.m_pControls;
}

TEST_F(LauncherWindowsTest, ButtonsAreLaidOutOnEveryMove) {
    RunLauncher([&](CDrelkClientDlg& dialog) {
        const auto check = [&] {
            const int nWidth = ScreenRect(Controls()).Width();
            EXPECT_EQ(ChildRect(Controls().m_btnClose), CRect(nWidth - 43, 7, nWidth - 43 + 31, 7 + 32));
            EXPECT_EQ(ChildRect(Controls().m_btnHome), CRect(316, 45, 420, 76));
            EXPECT_EQ(ChildRect(Controls().m_btnForum), CRect(422, 45, 526, 76));
            EXPECT_EQ(ChildRect(Controls().m_btnService), CRect(528, 45, 632, 76));
            EXPECT_EQ(ChildRect(Controls().m_btnCharge), CRect(634, 45, 738, 76));
        };
        check();
        EXPECT_EQ(ChildRect(Controls().m_btnClose).left, 981);
        dialog.MoveWindow(10, 20, 1024, 635, TRUE);
        EXPECT_EQ(ScreenRect(Controls()), CRect(10, 20, 1034, 655));
        check();
        dialog.MoveWindow(0, 0, 900, 600, TRUE);
        EXPECT_EQ(ScreenRect(Controls()), CRect(0, 0, 900, 600));
        check();
    });
}

// Where the launcher starts on work areas lower or narrower than its picture: centred, then pushed
// back inside from the right and the bottom, then from the left and the top, so that its top-left
// corner is on screen. It keeps its size; the controls window lies exactly over it; from a width of
// 1012 the close button is on screen. What the window system then reports is followed for the
// position only: a window manager's squeezed rectangle is not seen, a move takes both windows.
TEST_F(LauncherWindowsTest, OnASmallWorkAreaTheLauncherStartsWholeFromTheTopLeftAndMovesAsOne) {
    struct CPlacement {
        CRect work;
        CPoint ptExpected;
    };
    const CPlacement placements[] = {
        {CRect(0, 0, 1024, 600), CPoint(0, 0)},      // a netbook's screen
        {CRect(0, 0, 800, 600), CPoint(0, 0)},       // narrower and lower than the picture
        {CRect(12, 24, 1024, 624), CPoint(12, 24)},  // panels at the left and the top: 1012 x 600
        {CRect(0, 0, 1280, 600), CPoint(128, 0)},    // wide enough: still centred across
        {CRect(0, 30, 1024, 800), CPoint(0, 98)},    // high enough: still centred down
        {CRect(-1024, 0, 0, 600), CPoint(-1024, 0)}, // a screen left of the primary one
    };
    for (const CPlacement& placement : placements) {
        SCOPED_TRACE(::testing::Message() << "work area " << placement.work.left << "," << placement.work.top
                                          << " " << placement.work.Width() << "x" << placement.work.Height());
        Headless().workArea = placement.work;
        g_bControlsCreated = false;
        RunLauncher([&](CDrelkClientDlg& dialog) {
            const CRect expected(placement.ptExpected, CSize(1024, 635));
            EXPECT_EQ(ScreenRect(dialog), expected);
            EXPECT_EQ(ScreenRect(Controls()), expected);
            const CRect close = ScreenRect(Controls().m_btnClose);
            EXPECT_EQ(close,
                      CRect(expected.right - 43, expected.top + 7, expected.right - 12, expected.top + 39));
            if (placement.work.Width() >= 1012) {
                EXPECT_LE(close.right, placement.work.right);
            }
            EXPECT_GE(close.top, placement.work.top);

            // A window manager that fits the window to the screen: not where the window ends up.
            ModelNativeMoved(dialog.m_hWnd, placement.work);
            EXPECT_EQ(ScreenRect(dialog), expected);
            EXPECT_EQ(ScreenRect(Controls()), expected);
            // The player drags it: both windows go to where the window system put the backdrop.
            const CRect moved(expected.TopLeft() + CPoint(40, -20), CSize(1024, 635));
            ModelNativeMoved(dialog.m_hWnd, moved);
            EXPECT_EQ(ScreenRect(dialog), moved);
            EXPECT_EQ(ScreenRect(Controls()), moved);
            EXPECT_EQ(ChildRect(Controls().m_btnClose), CRect(1024 - 43, 7, 1024 - 12, 39));
        });
        if (g_pDocHostUIHandler != nullptr && !m_bHandlerReleased) {
            g_pDocHostUIHandler->Release();
        }
        g_pDocHostUIHandler = nullptr;
    }
}

TEST_F(LauncherWindowsTest, BrowserStartsParkedOffWindowOnABlankPage) {
    RunLauncher([&](CDrelkClientDlg&) {
        EXPECT_EQ(ChildRect(Controls().m_browser), CRect(2000, 2000, 2001, 2001));
        EXPECT_FALSE(Controls().m_browser.IsWindowVisible());
        EXPECT_TRUE(Browser().m_bSilent);
        ASSERT_EQ(Platform().navigations.size(), 1u);
        EXPECT_EQ(Platform().navigations[0], u"about:blank");
        EXPECT_EQ(Controls().m_browser.get_Document(), nullptr);
    });
}

TEST_F(LauncherWindowsTest, ATabWhoseSettingIsNoWebAddressOpensNothing) {
    RunLauncher([&](CDrelkClientDlg&) {
        CClientConfig::Instance()->SetValue("home", "C:\\Windows\\notepad.exe");
        Click(Controls(), Centre(Controls().m_btnHome));
        EXPECT_TRUE(Platform().shellOpened.empty());
        EXPECT_TRUE(Controls().IsWindowVisible());
    });
}

TEST_F(LauncherWindowsTest, AButtonStillClicksAfterADragWhoseReleaseNeverCame) {
    RunLauncher([&](CDrelkClientDlg& dialog) {
        // The window manager ran the move and kept the release to itself.
        const CRect backdrop = ScreenRect(dialog);
        ModelMousePress(dialog.m_hWnd, CPoint(backdrop.left + 150, backdrop.top + 20));
        ASSERT_EQ(Platform().moveDrags.size(), 1u);
        Click(Controls(), Centre(Controls().m_btnHome));
        EXPECT_EQ(Platform().shellOpened,
                  std::vector<std::string>{CClientConfig::Instance()->GetValue("home")});
    });
}

TEST_F(LauncherWindowsTest, PressedBitmapOnlyWhileHeldOverTheButton) {
    RunLauncher([&](CDrelkClientDlg&) {
        CBitmapButton& tab = Controls().m_btnForum;
        const auto drawnPixel = [&] {
            return ModelSurfacePixel(HeadlessInspectPaint(tab.m_hWnd).Get(), 50, 15);
        };
        const std::uint32_t nNormal = drawnPixel();
        EXPECT_EQ(nNormal, HeadlessInspectPixel(tab.m_bitmap, 50, 15));
        ModelMousePress(Controls().m_hWnd, Centre(tab));
        EXPECT_EQ(drawnPixel(), HeadlessInspectPixel(tab.m_bitmapSel, 50, 15));
        EXPECT_NE(drawnPixel(), nNormal);
        ModelMouseMove(Controls().m_hWnd, CPoint(0, 0)); // off the button, still held
        EXPECT_EQ(drawnPixel(), nNormal);
        ModelMouseRelease(Controls().m_hWnd, CPoint(0, 0));
        EXPECT_TRUE(Platform().shellOpened.empty()); // released elsewhere: no click
    });
}

TEST_F(LauncherWindowsTest, ControlsBackgroundIsTheColourKey) {
    RunLauncher([&](CDrelkClientDlg&) {
        const CSurfaceRef surface = HeadlessInspectPaint(Controls().m_hWnd);
        EXPECT_EQ(ModelSurfacePixel(surface.Get(), 100, 300), HeadlessArgb(255, 255, 0, 255));
        EXPECT_EQ(ModelSurfacePixel(surface.Get(), 1000, 600), HeadlessArgb(255, 255, 0, 255));
    });
}

TEST_F(LauncherWindowsTest, BackdropShowsThePicturesOwnColourAndAlphaExactly) {
    RunLauncher([&](CDrelkClientDlg& dialog) {
        const CSurfaceRef picture = HeadlessInspectResourcePicture(IDB_BACKDROP, false);
        ASSERT_EQ(picture.Width(), 1024);
        ASSERT_EQ(picture.Height(), 635);
        int nPartial = 0;
        for (int y = 0; y < 635; ++y) {
            for (int x = 0; x < 1024; ++x) {
                const std::uint32_t nExpected = ModelSurfacePixel(picture.Get(), x, y);
                ASSERT_EQ(HeadlessInspectLayeredPixel(dialog.m_hWnd, x, y), nExpected) << x << "," << y;
                const std::uint32_t nAlpha = nExpected >> 24;
                nPartial += nAlpha != 0 && nAlpha != 255 ? 1 : 0;
            }
        }
        EXPECT_GT(nPartial, 0); // the picture has soft edges: nothing premultiplied them
    });
}

TEST_F(LauncherWindowsTest, ClosingTheControlsWindowHidesOnlyIt) {
    RunLauncher([&](CDrelkClientDlg& dialog) {
        Controls().SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_FALSE(Controls().IsWindowVisible());
        EXPECT_TRUE(dialog.IsWindowVisible());
        EXPECT_FALSE(Record(dialog).bDialogEnded);
        EXPECT_FALSE(ModelQuitPosted());
    });
}

TEST_F(LauncherWindowsTest, SystemCloseOfTheBackdropCancels) {
    const INT_PTR nResult =
        RunLauncher([&](CDrelkClientDlg& dialog) { dialog.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0); });
    EXPECT_EQ(nResult, IDCANCEL);
}

TEST_F(LauncherWindowsTest, ControlsWindowTearsDownBrowserFirstThenGivesBackTheHandler) {
    RunLauncher([&](CDrelkClientDlg&) {
        Browser().FireDocumentComplete(u"about:blank");
        ASSERT_NE(g_pDocHostUIHandler, nullptr);
        g_pDocHostUIHandler->AddRef(); // keep it alive to count
        Controls().DestroyWindow();
        EXPECT_EQ(Controls().m_browser.m_hWnd, nullptr);
        EXPECT_EQ(g_pDocHostUIHandler->Release(), 0u);
        g_pDocHostUIHandler = nullptr;
    });
}

} // namespace

namespace {

class LauncherTeardownTest : public CLauncherTest {};

TEST_F(LauncherTeardownTest, TheEndOfTheLauncherGivesBackTheHandlersReferences) {
    CDocHostUIHandlerImpl* pHandler = nullptr;
    RunLauncher([&](CDrelkClientDlg&) {
        Browser().FireDocumentComplete(u"about:blank");
        pHandler = g_pDocHostUIHandler;
        ASSERT_NE(pHandler, nullptr);
        pHandler->AddRef(); // the test's own, to see the others go
    });
    ASSERT_NE(pHandler, nullptr);
    // The creator's reference and the browser's went with the windows; the test's is the last.
    EXPECT_EQ(pHandler->Release(), 0u);
}

} // namespace
