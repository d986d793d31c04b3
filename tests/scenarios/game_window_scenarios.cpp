// The game window as a player meets it, on every realisation: maximised in its rounded, skinned
// frame, the caption buttons under the pointer, the window commands, the cache cleaning and the close
// question with the relaunch; and the framework's members it rests on (client coordinates, marked
// parts and immediate paints).
#include "scenarios/scenario_driver.h"

#include "gamewindow/htmlbrowser_dlg.h"
#include "framework/codepage.h"
#include "res/resource.h"
#include "settings/client_config.h"

#include <gmock/gmock.h>

#include <atomic>

namespace {

using ::testing::HasSubstr;

constexpr int kCaption = 39;
constexpr int kBorder = 3;
constexpr int kLogoWidth = 218;
constexpr int kEndCapWidth = 50;

// The game window, counting its frame and client paints.
class CScenarioGameWindow : public ChtmlbrowserDlg {
public:
    void OnNcPaint() override {
        ++m_nFramePaints;
        ChtmlbrowserDlg::OnNcPaint();
    }
    void OnPaint() override {
        ++m_nClientPaints;
        ChtmlbrowserDlg::OnPaint();
    }
    std::atomic<int> m_nFramePaints{0};
    std::atomic<int> m_nClientPaints{0};
};

class GameWindowScenario : public CScenarioTest {
protected:
    // Runs the game window; the script runs once it is shown. DoModal's result.
    INT_PTR RunGameWindow(const std::function<void(CScenarioGameWindow&, HWND)>& script) {
        CScenarioGameWindow window;
        const INT_PTR nResult = Driver().RunModal(window, [&] { script(window, window.m_hWnd); });
        delete window.m_pSkinImage; // the program keeps the skin for the rest of the process
        window.m_pSkinImage = nullptr;
        return nResult;
    }

    int Width(HWND hWnd) { return Driver().WindowRect(hWnd).Width(); }
    // A caption button's centre, by its edges' distances from the window's right edge.
    CPoint CaptionButton(HWND hWnd, int nLeftFromRight, int nRightFromRight) {
        return CPoint(Width(hWnd) - (nLeftFromRight + nRightFromRight) / 2, 20);
    }
    CPoint Home(HWND hWnd) { return CaptionButton(hWnd, 265, 225); }
    CPoint Charge(HWND hWnd) { return CaptionButton(hWnd, 220, 180); }
    CPoint Clean(HWND hWnd) { return CaptionButton(hWnd, 175, 135); }
    CPoint Refresh(HWND hWnd) { return CaptionButton(hWnd, 130, 90); }
    CPoint Minimize(HWND hWnd) { return CaptionButton(hWnd, 74, 54); }
    CPoint Maximize(HWND hWnd) { return CaptionButton(hWnd, 52, 32); }
    CPoint Close(HWND hWnd) { return CaptionButton(hWnd, 30, 10); }

    bool Zoomed(CWnd& wnd) {
        bool bZoomed = false;
        Driver().OnUiThread([&] { bZoomed = wnd.IsZoomed() != FALSE; });
        return bZoomed;
    }
    bool Iconic(CWnd& wnd) {
        bool bIconic = false;
        Driver().OnUiThread([&] { bIconic = wnd.IsIconic() != FALSE; });
        return bIconic;
    }
    // The client area in screen coordinates, as the window computes it.
    CRect ClientOnScreen(CWnd& wnd) {
        CRect rect;
        Driver().OnUiThread([&] {
            wnd.GetClientRect(&rect);
            CPoint origin(0, 0);
            wnd.ClientToScreen(&origin);
            rect.OffsetRect(origin.x, origin.y);
        });
        return rect;
    }
    // Whether the browser covers exactly the client area, on the screen (and shows nothing when the
    // client area is empty).
    bool BrowserCoversTheClientArea(CWnd& wnd) {
        HWND hBrowser = nullptr;
        Driver().OnUiThread([&] { hBrowser = wnd.GetDlgItemHandle(AFX_IDC_BROWSER); });
        if (hBrowser == nullptr) {
            return false;
        }
        const CRect client = ClientOnScreen(wnd);
        const CRect browser = Driver().WindowRect(hBrowser);
        return client.IsRectEmpty() ? browser.IsRectEmpty() : browser == client;
    }
};

TEST_F(GameWindowScenario, OpensMaximisedOnTheGameAddressInARoundedFramePaintedFromTheSkin) {
    const CPixelBlock skin = Driver().PictureFile("skin_164.png");
    ASSERT_GT(skin.cx, kLogoWidth + kEndCapWidth);
    RunGameWindow([&](CScenarioGameWindow& window, HWND hWnd) {
        EXPECT_TRUE(Zoomed(window));
        const CRect rect = Driver().WindowRect(hWnd);
        EXPECT_EQ(rect, Driver().WorkArea());
        EXPECT_TRUE(Driver().WaitFor([&] { return Driver().GameAddressRequests() == 1; }));
        // The client area inside a 39-pixel caption and 3-pixel borders, the browser on it.
        const CRect client(rect.left + kBorder, rect.top + kCaption, rect.right - kBorder,
                           rect.bottom - kBorder);
        EXPECT_EQ(ClientOnScreen(window), client);
        EXPECT_TRUE(BrowserCoversTheClientArea(window));

        const int W = rect.Width();
        const int H = rect.Height();
        EXPECT_FALSE(Driver().InShape(hWnd, CPoint(0, 0)));
        EXPECT_FALSE(Driver().InShape(hWnd, CPoint(W - 1, H - 1)));
        EXPECT_TRUE(Driver().InShape(hWnd, CPoint(W / 2, H / 2)));
        EXPECT_TRUE(Driver().InShape(hWnd, CPoint(W / 2, 0)));

        const CPixelBlock frame = Driver().Capture(hWnd, CRect(0, 0, W, H));
        ASSERT_EQ(frame.cx, W);
        const int SW = skin.cx;
        const int SH = skin.cy;
        const auto same = [](int x, int y) { return CPoint(x, y); };
        // The logo, the caption background (the skin's column after the logo, stretched) and the right
        // end cap beside its buttons, inside the rounded corners.
        EXPECT_GE(CountFromPicture(frame, skin, CRect(6, 6, 90, kCaption), same),
                  84 * (kCaption - 6) * 99 / 100);
        const int nMiddle = W - kLogoWidth - 320;
        EXPECT_GE(CountFromPicture(frame, skin,
                                   CRect(kLogoWidth + 20, 0, kLogoWidth + 20 + nMiddle, kCaption),
                                   [](int, int y) { return CPoint(kLogoWidth, y); }),
                  nMiddle * kCaption * 99 / 100);
        const auto endCap = [&](int x, int y) {
            return CPoint(x - (W - kEndCapWidth) + SW - kEndCapWidth, y);
        };
        EXPECT_GE(CountFromPicture(frame, skin, CRect(W - 8, 6, W - kBorder, kCaption), endCap),
                  (8 - kBorder) * (kCaption - 6) * 99 / 100);
        // The bottom corners where they are frame (the client area covers the rest of them).
        const auto bottomLeft = [&](int x, int y) { return CPoint(x, y - (H - kCaption) + SH - kCaption); };
        EXPECT_GE(CountFromPicture(frame, skin, CRect(6, H - kBorder, kCaption, H), bottomLeft),
                  (kCaption - 6) * kBorder * 99 / 100);
        EXPECT_GE(CountFromPicture(frame, skin, CRect(0, H - kCaption, kBorder, H - 6), bottomLeft),
                  kBorder * (kCaption - 6) * 99 / 100);
        const auto bottomRight = [&](int x, int y) {
            return CPoint(x - (W - kCaption) + SW - kCaption, y - (H - kCaption) + SH - kCaption);
        };
        EXPECT_GE(CountFromPicture(frame, skin, CRect(W - kCaption, H - kBorder, W - 6, H), bottomRight),
                  (kCaption - 6) * kBorder * 99 / 100);
        EXPECT_GE(CountFromPicture(frame, skin, CRect(W - kBorder, H - kCaption, W, H - 6), bottomRight),
                  kBorder * (kCaption - 6) * 99 / 100);
        // The borders: a 3 x 3 block of the skin stretched along them (any of its pixels).
        int nBorder = 0;
        int nBorderSame = 0;
        const auto anyOf = [&](std::uint32_t pixel, int sx, int sy, bool bAlongX) {
            for (int k = 0; k < kBorder; ++k) {
                if (NearColour(pixel, skin.At(bAlongX ? sx + k : sx, bAlongX ? sy : sy + k))) {
                    return true;
                }
            }
            return false;
        };
        for (int y = kCaption; y < H - kCaption; y += 7) {
            for (int x = 0; x < kBorder; ++x) {
                ++nBorder;
                nBorderSame += anyOf(frame.At(x, y), x, kCaption, false) ? 1 : 0;
            }
        }
        for (int x = kCaption; x < W - kCaption; x += 7) {
            for (int y = H - kBorder; y < H; ++y) {
                ++nBorder;
                nBorderSame +=
                    anyOf(frame.At(x, y), kCaption, y - (H - kBorder) + SH - kBorder, true) ? 1 : 0;
            }
        }
        EXPECT_GE(nBorderSame, nBorder * 99 / 100);

        // The page's title becomes the window's and is drawn after the logo, in white.
        if (Driver().RendersPages()) {
            ASSERT_TRUE(Driver().WaitForGamePage());
        } else {
            Driver().OnUiThread([&] {
                window.SetWindowText(AfxAnsiText(kGamePageTitle).c_str());
                window.OnNcPaint();
            });
        }
        const std::string strTitle = AfxAnsiText(kGamePageTitle);
        EXPECT_TRUE(Driver().WaitFor([&] {
            std::string strText;
            Driver().OnUiThread([&] { strText = window.GetWindowText(); });
            return strText == strTitle;
        }));
        Driver().Settle();
        const CPixelBlock title = Driver().Capture(hWnd, CRect(97, 15, 200, 32));
        int nWhite = 0;
        for (std::uint32_t pixel : title.rgb) {
            nWhite += NearColour(pixel, 0xFFFFFF, 40) ? 1 : 0;
        }
        EXPECT_GE(nWhite, 20);
    });
}

TEST_F(GameWindowScenario, CaptionButtonsAreLaidOutForTheWidthWithTheirHitCodes) {
    RunGameWindow([&](CScenarioGameWindow& window, HWND hWnd) {
        const int W = Width(hWnd);
        Driver().OnUiThread([&] {
            const auto rect = [&](int nID) { return window.m_mapButtons.at(nID).m_rect; };
            EXPECT_EQ(rect(IDC_CAPTION_HOME), CRect(W - 265, 10, W - 225, 30));
            EXPECT_EQ(rect(IDC_CAPTION_CHARGE), CRect(W - 220, 10, W - 180, 30));
            EXPECT_EQ(rect(IDC_CAPTION_CLEAN), CRect(W - 175, 10, W - 135, 30));
            EXPECT_EQ(rect(IDC_CAPTION_REFRESH), CRect(W - 130, 10, W - 90, 30));
            EXPECT_EQ(rect(IDC_CAPTION_MINIMIZE), CRect(W - 74, 10, W - 54, 30));
            EXPECT_EQ(rect(IDC_CAPTION_MAXIMIZE), CRect(W - 52, 10, W - 32, 30));
            EXPECT_EQ(rect(IDC_CAPTION_CLOSE), CRect(W - 30, 10, W - 10, 30));
            EXPECT_EQ(window.m_mapButtons.at(IDC_CAPTION_HOME).m_strText, AfxAnsiText(u"官网"));
            EXPECT_EQ(window.m_mapButtons.at(IDC_CAPTION_CLOSE).m_strText, "");
            EXPECT_EQ(window.m_mapButtons.at(IDC_CAPTION_CLOSE).m_nStateCount, 3u);

            CRect screen;
            window.GetWindowRect(&screen);
            const auto hit = [&](int x, int y) {
                return window.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(screen.left + x, screen.top + y));
            };
            EXPECT_EQ(hit(W - 20, 20), HTCLOSE);
            EXPECT_EQ(hit(W - 42, 20), HTMAXBUTTON);
            EXPECT_EQ(hit(W - 64, 20), HTMINBUTTON);
            // A text button, and the caption around the buttons, take the platform's default
            // classification (Windows places its own caption buttons there by the system metrics).
            EXPECT_EQ(hit(W - 250, 20), HTCAPTION);
            EXPECT_EQ(hit(20, 20), HTSYSMENU);
            EXPECT_EQ(hit(15 + 16, 20), HTCAPTION);
            EXPECT_EQ(hit(600, 300), HTCLIENT);
            EXPECT_EQ(hit(600, 20), HTCAPTION);
            // Laid out for a minimised width, the buttons keep their distances from the right edge.
            window.LayoutCaptionButtons(200);
            EXPECT_EQ(rect(IDC_CAPTION_HOME), CRect(-65, 10, -25, 30));
            window.LayoutCaptionButtons(W);
        });
    });
}

TEST_F(GameWindowScenario, HotTrackingRepaintsTheFrameOncePerChangeOfButton) {
    RunGameWindow([&](CScenarioGameWindow& window, HWND hWnd) {
        const CPoint home = Home(hWnd);
        const CRect cell(home.x - 15, home.y - 8, home.x + 15, home.y + 8);
        Driver().MoveTo(hWnd, CPoint(600, 300));
        Driver().Settle();
        const CPixelBlock normal = Driver().Capture(hWnd, cell);
        int nPaints = window.m_nFramePaints;
        Driver().MoveTo(hWnd, home);
        EXPECT_TRUE(Driver().WaitFor([&] { return window.m_nFramePaints == nPaints + 1; }, 5));
        Driver().MoveTo(hWnd, home + CPoint(3, 2)); // within the same button: nothing to repaint
        Driver().Settle();
        EXPECT_EQ(window.m_nFramePaints, ++nPaints);
        const CPixelBlock hot = Driver().Capture(hWnd, cell);
        int nSame = 0;
        for (std::size_t i = 0; i < hot.rgb.size(); ++i) {
            nSame += NearColour(hot.rgb[i], normal.rgb[i]) ? 1 : 0;
        }
        EXPECT_LT(nSame, int(normal.rgb.size()) * 9 / 10);

        Driver().MoveTo(hWnd, Charge(hWnd)); // straight onto the neighbour
        EXPECT_TRUE(Driver().WaitFor([&] { return window.m_nFramePaints == nPaints + 1; }, 5));
        ++nPaints;
        Driver().OnUiThread([&] {
            EXPECT_FALSE(window.m_mapButtons.at(IDC_CAPTION_HOME).m_bHot);
            EXPECT_TRUE(window.m_mapButtons.at(IDC_CAPTION_CHARGE).m_bHot);
        });
        Driver().MoveTo(hWnd, CPoint(600, 20)); // the caption without a button
        EXPECT_TRUE(Driver().WaitFor([&] { return window.m_nFramePaints == nPaints + 1; }, 5));
        ++nPaints;
        Driver().MoveTo(hWnd, Charge(hWnd));
        EXPECT_TRUE(Driver().WaitFor([&] { return window.m_nFramePaints == nPaints + 1; }, 5));
        ++nPaints;
        Driver().MoveTo(hWnd, CPoint(600, 300)); // into the page: cleared, not repainted
        EXPECT_TRUE(Driver().WaitFor([&] {
            bool bCleared = false;
            Driver().OnUiThread([&] { bCleared = window.m_nHotButton == -1 && !window.m_bTracking; });
            return bCleared;
        }));
        Driver().Settle();
        Driver().OnUiThread([&] { EXPECT_FALSE(window.m_mapButtons.at(IDC_CAPTION_CHARGE).m_bHot); });
        EXPECT_EQ(window.m_nFramePaints, nPaints);
    });
}

TEST_F(GameWindowScenario, AButtonRunsOnReleaseUnderThePointerAndRefreshAsksForTheGameAgain) {
    RunGameWindow([&](CScenarioGameWindow&, HWND hWnd) {
        const CRect before = Driver().WindowRect(hWnd);
        Driver().Click(hWnd, Home(hWnd));
        EXPECT_THAT(Driver().WaitForOpenedPage(), HasSubstr(CClientConfig::Instance()->GetValue("home")));
        // Pressed on 官网, moved with the button held, released over 充值: 充值 runs.
        Driver().Drag(hWnd, Home(hWnd), Charge(hWnd));
        EXPECT_THAT(Driver().WaitForOpenedPage(), HasSubstr(CClientConfig::Instance()->GetValue("charge")));
        // Pressed on a button, released over the page: nothing runs.
        Driver().Drag(hWnd, Home(hWnd), CPoint(600, 400));
        EXPECT_EQ(Driver().WaitForOpenedPage(2), "");
        EXPECT_EQ(Driver().WindowRect(hWnd), before); // a press on a button never moves the window

        ASSERT_TRUE(Driver().WaitFor([&] { return Driver().GameAddressRequests() == 1; }));
        Driver().Click(hWnd, Refresh(hWnd));
        EXPECT_TRUE(Driver().WaitFor([&] { return Driver().GameAddressRequests() == 2; }));
    });
}

TEST_F(GameWindowScenario, DoubleClicksRunATextButtonAndOnTheCaptionRestore) {
    RunGameWindow([&](CScenarioGameWindow& window, HWND hWnd) {
        Driver().DoubleClick(hWnd, Home(hWnd)); // twice on the model; the recorder keeps one under Wine
        EXPECT_THAT(Driver().WaitForOpenedPage(), HasSubstr(CClientConfig::Instance()->GetValue("home")));
        Driver().Settle();
        Driver().DoubleClick(hWnd, CPoint(100, 20)); // on the logo
        EXPECT_TRUE(Driver().WaitFor([&] { return !Zoomed(window); }, 5));
        EXPECT_TRUE(BrowserCoversTheClientArea(window));
    });
}

TEST_F(GameWindowScenario, WindowButtonsRestoreMaximiseMinimiseAndTheIconOpensTheSystemMenu) {
    RunGameWindow([&](CScenarioGameWindow& window, HWND hWnd) {
        Driver().Click(hWnd, Maximize(hWnd)); // restore
        EXPECT_TRUE(Driver().WaitFor([&] { return !Zoomed(window); }, 5));
        Driver().Click(hWnd, Maximize(hWnd)); // maximise again
        EXPECT_TRUE(Driver().WaitFor([&] { return Zoomed(window); }, 5));
        Driver().Click(hWnd, CPoint(20, 20));
        EXPECT_TRUE(Driver().SystemMenuShown());
        Driver().Click(hWnd, Minimize(hWnd));
        EXPECT_TRUE(Driver().WaitFor([&] { return Iconic(window); }, 5));
        Driver().OnUiThread([&] { window.ShowWindow(SW_RESTORE); });
        EXPECT_TRUE(Driver().WaitFor([&] { return !Iconic(window); }, 5));
    });
}

TEST_F(GameWindowScenario, RestoredTheCaptionMovesTheWindowAndTheBottomBorderSizesItDownToTheCaption) {
    RunGameWindow([&](CScenarioGameWindow& window, HWND hWnd) {
        Driver().Click(hWnd, Maximize(hWnd));
        ASSERT_TRUE(Driver().WaitFor([&] { return !Zoomed(window); }, 5));
        Driver().Settle();
        // The window manager may hold the window at a screen edge for a few pixels.
        CRect before = Driver().WindowRect(hWnd);
        Driver().Drag(hWnd, CPoint(before.Width() / 2 - 100, 20), CPoint(before.Width() / 2 - 60, 60));
        CRect after = Driver().WindowRect(hWnd);
        EXPECT_NEAR(after.left - before.left, 40, 20);
        EXPECT_NEAR(after.top - before.top, 40, 20);
        EXPECT_EQ(after.Width(), before.Width());
        before = after;
        Driver().Drag(hWnd, CPoint(before.Width() / 2, before.Height() - 1), CPoint(before.Width() / 2, -1));
        after = Driver().WindowRect(hWnd);
        EXPECT_EQ(after.top, before.top);
        EXPECT_EQ(after.Height(), kCaption + kBorder);
        EXPECT_TRUE(BrowserCoversTheClientArea(window));
    });
}

TEST_F(GameWindowScenario, CleaningAsksFirstThenEmptiesTheUrlCacheButKeepsTheCookies) {
    if (!Driver().KeepsUrlCacheEntries()) {
        GTEST_SKIP() << "the browser keeps no cache entries by address to make and look up";
    }
    const std::string strPage = "http://127.0.0.1:9/drelk/page.html";
    // An entry whose description is over 4096 bytes, which the walk must fetch again.
    const std::string strLong = "http://127.0.0.1:9/drelk/long?" + std::string(5000, 'q');
    ASSERT_TRUE(Driver().AddCacheEntry(strPage));
    ASSERT_TRUE(Driver().AddCacheEntry(strLong));
    ASSERT_TRUE(Driver().SetCookie("http://127.0.0.1:9/", "drelk_save",
                                   "level=12; expires=Sat, 01-Jan-2050 00:00:00 GMT"));
    RunGameWindow([&](CScenarioGameWindow&, HWND hWnd) {
        CQuestion question = Driver().ClickAndAnswer(hWnd, Clean(hWnd), IDNO);
        EXPECT_TRUE(question.bAsked);
        EXPECT_EQ(question.strCaption, "清理提示");
        EXPECT_EQ(question.strText, "确定清理浏览器缓存？");
        EXPECT_TRUE(Driver().InCache(strPage));
        question = Driver().ClickAndAnswer(hWnd, Clean(hWnd), IDYES);
        EXPECT_TRUE(question.bAsked);
        EXPECT_FALSE(Driver().InCache(strPage));
        EXPECT_FALSE(Driver().InCache(strLong));
        EXPECT_TRUE(Driver().HasCookie("http://127.0.0.1:9/", "drelk_save"));
    });
}

TEST_F(GameWindowScenario, CloseAsksFirstNoKeepsTheWindowYesStartsTheLauncherAgainAndEnds) {
    const INT_PTR nResult = RunGameWindow([&](CScenarioGameWindow& window, HWND hWnd) {
        CQuestion question = Driver().ClickAndAnswer(hWnd, Close(hWnd), IDNO);
        EXPECT_TRUE(question.bAsked);
        EXPECT_EQ(question.strCaption, "关闭提示");
        EXPECT_EQ(question.strText, "正在游戏中，确定退出Drelk？");
        Driver().Settle();
        bool bVisible = false;
        Driver().OnUiThread([&] { bVisible = window.m_hWnd != nullptr && window.IsWindowVisible(); });
        EXPECT_TRUE(bVisible);
        question = Driver().ClickAndAnswer(hWnd, Close(hWnd), IDYES);
        EXPECT_TRUE(question.bAsked);
    });
    EXPECT_EQ(nResult, IDCANCEL);
    // The launcher started again from the program's folder, without arguments.
    const std::string strStarted = Driver().WaitForRelaunch();
    const std::string strExpected = Driver().LauncherPath();
    EXPECT_TRUE(strStarted == strExpected || strStarted == "\"" + strExpected + "\"") << strStarted;
}

TEST_F(GameWindowScenario, EnterAndEscapeInThePageLeaveTheWindowOpen) {
    RunGameWindow([&](CScenarioGameWindow& window, HWND hWnd) {
        Driver().Click(hWnd, CPoint(600, 400));
        Driver().Key(hWnd, VK_RETURN);
        Driver().Key(hWnd, VK_ESCAPE);
        Driver().Settle();
        bool bShown = false;
        Driver().OnUiThread([&] { bShown = window.m_hWnd != nullptr && window.IsWindowVisible(); });
        EXPECT_TRUE(bShown);
    });
}

TEST_F(GameWindowScenario, ClientCoordinatesMarkedPartsAndImmediatePaintsAreTheClientAreas) {
    RunGameWindow([&](CScenarioGameWindow& window, HWND) {
        // Client coordinates start inside the frame: where the browser is on the screen.
        HWND hBrowser = nullptr;
        Driver().OnUiThread([&] { hBrowser = window.GetDlgItemHandle(AFX_IDC_BROWSER); });
        const CRect browser = Driver().WindowRect(hBrowser);
        Driver().OnUiThread([&] {
            CPoint pt(0, 0);
            window.ClientToScreen(&pt);
            EXPECT_EQ(pt, browser.TopLeft());
            window.ScreenToClient(&pt);
            EXPECT_EQ(pt, CPoint(0, 0));
        });
        Driver().Settle();
        Driver().OnUiThread([&] {
            window.UpdateWindow(); // whatever the window system had marked
            const int nFrame = window.m_nFramePaints;
            const int nClient = window.m_nClientPaints;
            // Above and left of the client area (the frame's place): nothing is marked or painted.
            const CRect rcOutside(-40, -30, -10, -5);
            window.InvalidateRect(&rcOutside, TRUE);
            window.UpdateWindow();
            EXPECT_EQ(window.m_nClientPaints, nClient);
            // A part of the client area: painted before UpdateWindow returns, once.
            const CRect rcPart(10, 10, 30, 20);
            window.InvalidateRect(&rcPart, TRUE);
            window.UpdateWindow();
            EXPECT_EQ(window.m_nClientPaints, nClient + 1);
            window.UpdateWindow();
            EXPECT_EQ(window.m_nClientPaints, nClient + 1);
            EXPECT_EQ(window.m_nFramePaints, nFrame); // the frame is not the client area's
        });
    });
}

} // namespace
