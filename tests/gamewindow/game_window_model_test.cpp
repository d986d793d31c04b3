// What only the model can show of the game window: the browser item's settings, the exact shape, the
// drawing calls in their order, the native key delivery and the frame arithmetic. The game window's
// behaviour runs on every realisation as scenarios (tests/scenarios/game_window_scenarios.cpp).
#include "gamewindow/htmlbrowser_dlg.h"
#include "gamewindow/resource_image_loader.h"

#include "support/window_fixture.h"
#include "support/modal_run.h"

#include "framework/browser.h"
#include "framework/headless/headless_inspect.h"
#include "res/resource.h"

#include <functional>

namespace {

class GameWindowTest : public CWindowTest {
protected:
    void SetUp() override {
        CWindowTest::SetUp();
        App()->m_strGameUrl = "http://op/login.php?sid=1&server_name=双线一区";
        CClientConfig::Instance()->SetDefaults();
    }

    // Runs the game window modally; the step runs once it is up.
    INT_PTR RunGameWindow(const std::function<void(ChtmlbrowserDlg&)>& step) {
        ChtmlbrowserDlg dialog;
        const INT_PTR nResult = RunModalWithStep<ChtmlbrowserDlg>(dialog, step);
        delete dialog.m_pSkinImage; // the program keeps the skin for the rest of the process
        return nResult;
    }

    static CPoint Screen(ChtmlbrowserDlg& dialog, int x, int y) {
        CRect rect;
        dialog.GetWindowRect(&rect);
        return CPoint(rect.left + x, rect.top + y);
    }
    static LPARAM Param(CPoint pt) { return MAKELPARAM(pt.x, pt.y); }
    void Click(ChtmlbrowserDlg& dialog, int x, int y) {
        ModelMousePress(dialog.m_hWnd, Screen(dialog, x, y));
        ModelMouseRelease(dialog.m_hWnd, Screen(dialog, x, y));
    }
};

TEST_F(GameWindowTest, TheModelsBrowserItemIconsAndExactShape) {
    RunGameWindow([&](ChtmlbrowserDlg& dialog) {
        CBrowserControl* pBrowser = ModelGetBrowserControl(dialog.GetDlgItemHandle(AFX_IDC_BROWSER));
        ASSERT_NE(pBrowser, nullptr);
        EXPECT_TRUE(pBrowser->m_bSilent);
        // The dialog's own document host: no 3-D border, no scroll bars; the context menu stays the
        // browser's.
        EXPECT_EQ(pBrowser->HostInfo().dwFlags, DWORD(DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO));
        EXPECT_FALSE(pBrowser->HandlerSuppressesContextMenu(POINT{10, 10}));
        EXPECT_EQ(HeadlessInspectWindow(pBrowser->m_hWnd).rcWindow, CRect(0, 0, 1274, 718));
        pBrowser->SetTitle(u"Drelk - 双线一区");
        const int nPaints = Platform().nFramePaints;
        pBrowser->FireDocumentComplete(u"http://op/login.php?sid=1");
        EXPECT_GT(Platform().nFramePaints, nPaints); // the caption shows it
        EXPECT_EQ(dialog.GetIcon(TRUE), dialog.m_hIcon);
        EXPECT_EQ(dialog.GetIcon(FALSE), nullptr);
        EXPECT_TRUE(Record(dialog).bHasRegion);
        EXPECT_EQ(Record(dialog).rcRegion, CRect(0, 0, 1281, 761));
    });
}

TEST_F(GameWindowTest, MinimisingLaysOutAgainWithoutANewShapeOrARepaint) {
    RunGameWindow([&](ChtmlbrowserDlg& dialog) {
        const int nPaints = Platform().nFramePaints;
        dialog.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
        EXPECT_TRUE(dialog.IsIconic());
        EXPECT_EQ(Platform().nFramePaints, nPaints + 1); // only OnSysCommand's own repaint
    });
}

TEST_F(GameWindowTest, TheModelsDefaultHitTestAnswersHTCAPTIONAroundTheButtons) {
    RunGameWindow([&](ChtmlbrowserDlg& dialog) {
        const auto hit = [&](int x, int y) {
            return dialog.SendMessage(WM_NCHITTEST, 0, Param(Screen(dialog, x, y)));
        };
        EXPECT_EQ(hit(1260, 20), HTCLOSE);
        EXPECT_EQ(hit(1238, 20), HTMAXBUTTON);
        EXPECT_EQ(hit(1216, 20), HTMINBUTTON);
        EXPECT_EQ(hit(1270, 20), HTCAPTION); // right edge of the close button is outside it
        EXPECT_EQ(hit(1260, 30), HTCAPTION); // and so is its bottom edge
        EXPECT_EQ(hit(1030, 20), HTCAPTION); // a text button takes the default classification
        EXPECT_EQ(hit(20, 20), HTSYSMENU);
        EXPECT_EQ(hit(15 + 16, 20), HTCAPTION);
        EXPECT_EQ(hit(600, 300), HTCLIENT);
        EXPECT_EQ(hit(600, 20), HTCAPTION);
    });
}

TEST_F(GameWindowTest, DoubleClicksOnATextButtonRunItTwiceAndOnTheCaptionToggleTheSize) {
    RunGameWindow([&](ChtmlbrowserDlg& dialog) {
        // On a text button: the action runs twice.
        ModelMousePress(dialog.m_hWnd, Screen(dialog, 1020, 20));
        ModelMouseRelease(dialog.m_hWnd, Screen(dialog, 1020, 20));
        ModelMouseDoubleClick(dialog.m_hWnd, Screen(dialog, 1020, 20));
        ModelMouseRelease(dialog.m_hWnd, Screen(dialog, 1020, 20));
        EXPECT_EQ(Platform().shellOpened.size(), 2u);
        // On the caption, the logo included: maximised and restored in turn.
        ModelMouseDoubleClick(dialog.m_hWnd, Screen(dialog, 100, 20));
        EXPECT_FALSE(dialog.IsZoomed());
        ModelMouseDoubleClick(dialog.m_hWnd, Screen(dialog, 600, 20));
        EXPECT_TRUE(dialog.IsZoomed());
    });
}

TEST_F(GameWindowTest, IconOpensTheSystemMenuAtThePointer) {
    Platform().nSystemMenuChoice = SC_MINIMIZE;
    RunGameWindow([&](ChtmlbrowserDlg& dialog) {
        ModelMousePress(dialog.m_hWnd, Screen(dialog, 20, 20));
        ASSERT_EQ(Platform().systemMenus.size(), 1u);
        EXPECT_EQ(Platform().systemMenus[0], Screen(dialog, 20, 20));
        EXPECT_TRUE(dialog.IsIconic());
    });
}

TEST_F(GameWindowTest, EnterAndEscapeGoToThePage) {
    RunGameWindow([&](ChtmlbrowserDlg& dialog) {
        for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
            MSG msg{dialog.GetDlgItemHandle(AFX_IDC_BROWSER), WM_KEYDOWN, key, 0, 0, {0, 0}};
            CNativeEventScope native(&msg);
            ModelTranslateAndDispatch(&msg);
            EXPECT_TRUE(native.bDeliverNatively);
        }
        EXPECT_FALSE(Record(dialog).bDialogEnded);
    });
}

TEST_F(GameWindowTest, MinimumTrackHeightAndClientCalculation) {
    RunGameWindow([&](ChtmlbrowserDlg& dialog) {
        EXPECT_EQ(ModelMinTrackSize(dialog.m_hWnd).cy, 42);
        NCCALCSIZE_PARAMS params{};
        params.rgrc[0] = CRect(-32000, -32000, -31840, -31970); // a minimised window, parked
        dialog.SendMessage(WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
        EXPECT_EQ(CRect(params.rgrc[0]), CRect(-32000, -32000, -31840, -31970));
        params.rgrc[0] = CRect(10, 10, 110, 110);
        dialog.SendMessage(WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&params));
        EXPECT_EQ(CRect(params.rgrc[0]), CRect(10, 10, 110, 110));
        dialog.SendMessage(WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
        EXPECT_EQ(CRect(params.rgrc[0]), CRect(13, 49, 107, 107));
    });
}

TEST_F(GameWindowTest, FramePaintsTheNineSlicesThenTitleThenButtonsInOrder) {
    RunGameWindow([&](ChtmlbrowserDlg& dialog) {
        dialog.SetWindowText("Drelk - 双线一区");
        CDrawLogScope log;
        dialog.OnNcPaint();
        const std::vector<CDrawCall>& calls = log.Calls();
        ASSERT_EQ(calls.size(), 8u + 1u + 7u + 4u); // slices, title, seven pictures, four captions
        const float W = 1280;
        const float H = 760;
        const float SW = 594;
        const float SH = 229;
        const Gdi::RectF expected[8][2] = {{{0, H - 3, W, 3}, {39, SH - 3, 3, 3}},
                                           {{W - 39, H - 39, 39, 39}, {SW - 39, SH - 39, 39, 39}},
                                           {{0, H - 39, 39, 39}, {0, SH - 39, 39, 39}},
                                           {{0, 39, 3, H - 78}, {0, 39, 3, 3}},
                                           {{W - 3, 39, 3, H - 78}, {SW - 3, 39, 3, 3}},
                                           {{0, 0, W, 39}, {218, 0, 1, 39}},
                                           {{0, 0, 218, 39}, {0, 0, 218, 39}},
                                           {{W - 50, 0, 50, 39}, {SW - 50, 0, 50, 39}}};
        for (int i = 0; i < 8; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(calls[i].eKind, CDrawCall::DrawImage);
            EXPECT_EQ(calls[i].dst.X, expected[i][0].X);
            EXPECT_EQ(calls[i].dst.Y, expected[i][0].Y);
            EXPECT_EQ(calls[i].dst.Width, expected[i][0].Width);
            EXPECT_EQ(calls[i].dst.Height, expected[i][0].Height);
            EXPECT_EQ(calls[i].src.X, expected[i][1].X);
            EXPECT_EQ(calls[i].src.Y, expected[i][1].Y);
            EXPECT_EQ(calls[i].src.Width, expected[i][1].Width);
            EXPECT_EQ(calls[i].src.Height, expected[i][1].Height);
        }
        const CDrawCall& title = calls[8];
        EXPECT_EQ(title.eKind, CDrawCall::DrawString);
        EXPECT_EQ(title.strText, u"Drelk - 双线一区");
        EXPECT_EQ(title.dst.X, 97);
        EXPECT_EQ(title.dst.Y, 15);
        EXPECT_EQ(title.strFace, u"宋体");
        EXPECT_EQ(title.fPixelSize, 12);
        EXPECT_TRUE(title.bBold);
        EXPECT_EQ(title.color, 0xFFFFFFFFu);
        EXPECT_EQ(title.nFormatFlags, Gdi::StringFormatFlagsNoWrap);
        // Buttons in ascending id order: 10 官网, 11 充值, 12 刷新, 13 清理, then 110, 111, 112.
        std::vector<std::u16string> captions;
        for (std::size_t i = 9; i < calls.size(); ++i) {
            if (calls[i].eKind == CDrawCall::DrawString) {
                captions.push_back(calls[i].strText);
            }
        }
        EXPECT_EQ(captions, (std::vector<std::u16string>{u"官网", u"充值", u"刷新", u"清理"}));
        EXPECT_EQ(calls.back().dst.X, 1206); // minimise, id 112, last
    });
}

TEST_F(GameWindowTest, NoSkinPaintsNothingButButtonsStillWork) {
    RunGameWindow([&](ChtmlbrowserDlg& dialog) {
        delete dialog.m_pSkinImage;
        dialog.m_pSkinImage = nullptr;
        CDrawLogScope log;
        dialog.OnNcPaint();
        EXPECT_TRUE(log.Calls().empty());
        Click(dialog, 1160, 20);
        EXPECT_EQ(Platform().navigations.size(), 2u);
    });
}

// Neither the start nor 刷新 takes the game window to an address that is no web address.
TEST_F(GameWindowTest, AGameAddressThatIsNoWebAddressIsNeverNavigatedTo) {
    App()->m_strGameUrl = "file:///etc/passwd?login.php&server_name=";
    RunGameWindow([&](ChtmlbrowserDlg& dialog) {
        CRect rect;
        dialog.GetWindowRect(&rect);
        const std::size_t nNavigations = Platform().navigations.size();
        Click(dialog, rect.Width() - 110, 20); // 刷新
        EXPECT_EQ(Platform().navigations.size(), nNavigations);
        for (const std::u16string& strUrl : Platform().navigations) {
            EXPECT_EQ(strUrl.find(u"file:"), std::u16string::npos);
        }
    });
}

} // namespace
