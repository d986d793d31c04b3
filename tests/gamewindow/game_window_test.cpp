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
    void Move(ChtmlbrowserDlg& dialog, int x, int y) { ModelMouseHover(dialog.m_hWnd, Screen(dialog, x, y)); }
    void Click(ChtmlbrowserDlg& dialog, int x, int y) {
        ModelMousePress(dialog.m_hWnd, Screen(dialog, x, y));
        ModelMouseRelease(dialog.m_hWnd, Screen(dialog, x, y));
    }
};

TEST_F(GameWindowTest, OpensMaximisedOnTheLoginAddressWithThePageTitle) {
    RunGameWindow([&](ChtmlbrowserDlg& dialog) {
        EXPECT_TRUE(dialog.IsZoomed());
        CRect rect;
        dialog.GetWindowRect(&rect);
        EXPECT_EQ(rect, CRect(0, 0, 1280, 760));
        ASSERT_FALSE(Platform().navigations.empty());
        EXPECT_EQ(Platform().navigations.back(), u"http://op/login.php?sid=1&server_name=双线一区");
        CRect client;
        dialog.GetClientRect(&client);
        EXPECT_EQ(client, CRect(0, 0, 1280 - 6, 760 - 42));
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
        EXPECT_EQ(dialog.GetWindowText(), "Drelk - 双线一区");
        EXPECT_GT(Platform().nFramePaints, nPaints); // the caption shows it
        EXPECT_EQ(dialog.GetIcon(TRUE), dialog.m_hIcon);
        EXPECT_EQ(dialog.GetIcon(FALSE), nullptr);
        EXPECT_TRUE(Record(dialog).bHasRegion);
        EXPECT_EQ(Record(dialog).rcRegion, CRect(0, 0, 1281, 761));
    });
}

TEST_F(GameWindowTest, CaptionButtonsAreLaidOutForTheWidth) {
    RunGameWindow([&](ChtmlbrowserDlg& dialog) {
        const auto rect = [&](int nID) { return dialog.m_mapButtons.at(nID).m_rect; };
        EXPECT_EQ(rect(IDC_CAPTION_HOME), CRect(1015, 10, 1055, 30));
        EXPECT_EQ(rect(IDC_CAPTION_CHARGE), CRect(1060, 10, 1100, 30));
        EXPECT_EQ(rect(IDC_CAPTION_CLEAN), CRect(1105, 10, 1145, 30));
        EXPECT_EQ(rect(IDC_CAPTION_REFRESH), CRect(1150, 10, 1190, 30));
        EXPECT_EQ(rect(IDC_CAPTION_MINIMIZE), CRect(1206, 10, 1226, 30));
        EXPECT_EQ(rect(IDC_CAPTION_MAXIMIZE), CRect(1228, 10, 1248, 30));
        EXPECT_EQ(rect(IDC_CAPTION_CLOSE), CRect(1250, 10, 1270, 30));
        EXPECT_EQ(dialog.m_mapButtons.at(IDC_CAPTION_HOME).m_strText, "官网");
        EXPECT_EQ(dialog.m_mapButtons.at(IDC_CAPTION_CLOSE).m_strText, "");
        EXPECT_EQ(dialog.m_mapButtons.at(IDC_CAPTION_CLOSE).m_nStateCount, 3u);
        // Minimising lays out again for the minimised width, without a new shape or a repaint.
        const int nPaints = Platform().nFramePaints;
        dialog.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
        EXPECT_TRUE(dialog.IsIconic());
        EXPECT_EQ(Platform().nFramePaints, nPaints + 1); // only OnSysCommand's own repaint
        dialog.LayoutCaptionButtons(200);
        EXPECT_EQ(rect(IDC_CAPTION_HOME), CRect(-65, 10, -25, 30));
    });
}

TEST_F(GameWindowTest, HitCodesAndTheIconRectangle) {
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

TEST_F(GameWindowTest, HotTrackingRepaintsOncePerChangeOfButton) {
    RunGameWindow([&](ChtmlbrowserDlg& dialog) {
        CDUIButton& home = dialog.m_mapButtons.at(IDC_CAPTION_HOME);
        CDUIButton& charge = dialog.m_mapButtons.at(IDC_CAPTION_CHARGE);
        int nPaints = Platform().nFramePaints;
        Move(dialog, 1020, 20);
        EXPECT_TRUE(home.m_bHot);
        EXPECT_EQ(Platform().nFramePaints, ++nPaints);
        EXPECT_TRUE(Record(dialog).bTrackingLeave);
        Move(dialog, 1030, 25); // within the same button
        EXPECT_EQ(Platform().nFramePaints, nPaints);
        Move(dialog, 1070, 20); // straight onto the neighbour
        EXPECT_FALSE(home.m_bHot);
        EXPECT_TRUE(charge.m_bHot);
        EXPECT_EQ(Platform().nFramePaints, ++nPaints);
        Move(dialog, 600, 20); // caption without a button
        EXPECT_FALSE(charge.m_bHot);
        EXPECT_EQ(Platform().nFramePaints, ++nPaints);
        Move(dialog, 1070, 20);
        ++nPaints;
        ModelMouseLeftFrame(dialog.m_hWnd); // into the page: cleared, not repainted
        EXPECT_FALSE(charge.m_bHot);
        EXPECT_EQ(dialog.m_nHotButton, -1);
        EXPECT_FALSE(dialog.m_bTracking);
        EXPECT_EQ(Platform().nFramePaints, nPaints);
    });
}

TEST_F(GameWindowTest, MovesWithTheButtonHeldLeaveThePressedButtonForItsNeighbour) {
    RunGameWindow([&](ChtmlbrowserDlg& dialog) {
        CDUIButton& home = dialog.m_mapButtons.at(IDC_CAPTION_HOME);
        CDUIButton& charge = dialog.m_mapButtons.at(IDC_CAPTION_CHARGE);
        Move(dialog, 1020, 20);
        ModelMousePress(dialog.m_hWnd, Screen(dialog, 1020, 20)); // 官网, held
        EXPECT_TRUE(home.m_bPressed);
        ModelMouseMove(dialog.m_hWnd, Screen(dialog, 1070, 20)); // onto 充值
        EXPECT_FALSE(home.m_bPressed);
        EXPECT_FALSE(home.m_bHot);
        EXPECT_TRUE(charge.m_bHot);
        ModelMouseRelease(dialog.m_hWnd, Screen(dialog, 1070, 20));
        EXPECT_EQ(Platform().shellOpened,
                  std::vector<std::string>{CClientConfig::Instance()->GetValue("charge")});
    });
}

TEST_F(GameWindowTest, ReleaseRunsTheButtonUnderThePointer) {
    RunGameWindow([&](ChtmlbrowserDlg& dialog) {
        ModelMousePress(dialog.m_hWnd, Screen(dialog, 1020, 20)); // 官网
        EXPECT_TRUE(dialog.m_mapButtons.at(IDC_CAPTION_HOME).m_bPressed);
        ModelMouseRelease(dialog.m_hWnd, Screen(dialog, 1070, 20)); // over 充值
        EXPECT_EQ(Platform().shellOpened,
                  std::vector<std::string>{CClientConfig::Instance()->GetValue("charge")});
        // Pressed on a button, released over the page: nothing runs.
        ModelMousePress(dialog.m_hWnd, Screen(dialog, 1020, 20));
        ModelMouseRelease(dialog.m_hWnd, Screen(dialog, 600, 400));
        EXPECT_EQ(Platform().shellOpened.size(), 1u);
        Click(dialog, 1020, 20);
        EXPECT_EQ(Platform().shellOpened.back(), CClientConfig::Instance()->GetValue("home"));
        EXPECT_TRUE(dialog.m_mapButtons.at(IDC_CAPTION_HOME).m_bPressed); // until the pointer leaves
        EXPECT_TRUE(Platform().moveDrags.empty()); // a press on a button never moves the window
    });
}

TEST_F(GameWindowTest, RefreshNavigatesToTheLoginAddressAgain) {
    RunGameWindow([&](ChtmlbrowserDlg& dialog) {
        const std::size_t nBefore = Platform().navigations.size();
        Click(dialog, 1160, 20);
        ASSERT_EQ(Platform().navigations.size(), nBefore + 1);
        EXPECT_EQ(Platform().navigations.back(), u"http://op/login.php?sid=1&server_name=双线一区");
    });
}

TEST_F(GameWindowTest, DoubleClicks) {
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

TEST_F(GameWindowTest, WindowButtonsSendTheirSystemCommands) {
    Platform().messageBoxAnswers = {IDNO};
    const INT_PTR nResult = RunGameWindow([&](ChtmlbrowserDlg& dialog) {
        const auto clickButton = [&](int nID) {
            const CRect rect = dialog.m_mapButtons.at(nID).m_rect;
            Click(dialog, rect.left + 5, rect.top + 5);
        };
        clickButton(IDC_CAPTION_MAXIMIZE); // restore
        EXPECT_FALSE(dialog.IsZoomed());
        clickButton(IDC_CAPTION_MAXIMIZE); // maximise again
        EXPECT_TRUE(dialog.IsZoomed());
        clickButton(IDC_CAPTION_CLOSE); // answered No
        EXPECT_EQ(Platform().messageBoxes.size(), 1u);
        EXPECT_FALSE(Record(dialog).bDialogEnded);
        clickButton(IDC_CAPTION_MINIMIZE);
        EXPECT_TRUE(dialog.IsIconic());
    });
    EXPECT_EQ(nResult, -1);
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

TEST_F(GameWindowTest, CloseAsksAndYesRelaunchesTheLauncher) {
    Platform().messageBoxAnswers = {IDNO, IDYES};
    Platform().module.m_strPath = "D:\\Drelk\\Drelk.exe";
    delete g_pClientConfig; // a program directory of its own
    g_pClientConfig = nullptr;
    StartApp("");
    App()->m_strGameUrl = "http://op/login.php?sid=1";
    const INT_PTR nResult = RunGameWindow([&](ChtmlbrowserDlg& dialog) {
        dialog.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(Platform().processes.m_started.empty());
        ASSERT_EQ(Platform().messageBoxes.size(), 1u);
        EXPECT_EQ(Platform().messageBoxes[0].strText, "正在游戏中，确定退出Drelk？");
        EXPECT_EQ(Platform().messageBoxes[0].strCaption, "关闭提示");
        dialog.SendMessage(WM_CLOSE, 0, 0); // Alt+F4 and the system menu come the same way
        ASSERT_EQ(Platform().processes.m_started.size(), 1u);
        EXPECT_EQ(Platform().processes.m_started[0].strApplication, "D:\\Drelk\\Drelk.exe");
    });
    EXPECT_EQ(nResult, IDCANCEL);
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

TEST_F(GameWindowTest, FramePixelsComeFromTheSkinSlicesAndTheClientAreaIsLeftAlone) {
    RunGameWindow([&](ChtmlbrowserDlg& dialog) {
        const CSurfaceRef skin = HeadlessInspectResourcePicture(IDB_SKIN, true);
        ASSERT_TRUE(skin);
        const int W = 1280;
        const int H = 760;
        const int SW = skin.Width();
        const int SH = skin.Height();
        const auto skinAt = [&](int x, int y) { return ModelSurfacePixel(skin.Get(), x, y); };
        dialog.SetWindowText("");
        dialog.OnNcPaint();
        const auto frameAt = [&](int x, int y) { return HeadlessInspectFramePixel(dialog.m_hWnd, x, y); };
        // Each sample with the skin pixel its slice maps it to (stretched slices take the nearest).
        EXPECT_EQ(frameAt(50, 20), skinAt(50, 20));               // logo
        EXPECT_EQ(frameAt(500, 20), skinAt(218, 20));             // caption background, stretched
        EXPECT_EQ(frameAt(W - 3, 37), skinAt(SW - 3, 37));        // right end cap
        EXPECT_EQ(frameAt(1, 400), skinAt(1, 40));                // left border
        EXPECT_EQ(frameAt(W - 2, 400), skinAt(SW - 2, 40));       // right border
        EXPECT_EQ(frameAt(640, H - 2), skinAt(40, SH - 2));       // bottom border
        EXPECT_EQ(frameAt(1, H - 2), skinAt(1, SH - 2));          // bottom-left corner
        EXPECT_EQ(frameAt(W - 2, H - 2), skinAt(SW - 2, SH - 2)); // bottom-right corner
        EXPECT_EQ(frameAt(640, 400), 0u);                         // the client area: not the frame's
        EXPECT_EQ(frameAt(5, H - 5), 0u);
        EXPECT_EQ(frameAt(3, 39), 0u);
        EXPECT_NE(frameAt(2, 39), 0u);

        // The title changes pixels after its origin only, in white.
        std::vector<std::uint32_t> before;
        for (int y = 0; y < 39; ++y) {
            for (int x = 0; x < 700; ++x) {
                before.push_back(frameAt(x, y));
            }
        }
        dialog.SetWindowText("Drelk - 双线一区");
        dialog.OnNcPaint();
        int nChanged = 0;
        int nWhite = 0;
        for (int y = 0; y < 39; ++y) {
            for (int x = 0; x < 700; ++x) {
                if (frameAt(x, y) != before[std::size_t(y) * 700 + x]) {
                    ++nChanged;
                    ASSERT_GE(x, 97);
                    ASSERT_GE(y, 15);
                    nWhite += frameAt(x, y) == 0xFFFFFFFFu ? 1 : 0;
                }
            }
        }
        EXPECT_GT(nChanged, 50);
        EXPECT_GT(nWhite, 10);
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

} // namespace
