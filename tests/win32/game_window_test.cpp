// The game window on the native windows (under Wine on a virtual screen with a window manager): the
// frame painted from the skin through GDI+, the rounded region, the caption buttons under the real
// pointer, the window commands through the default non-client handling, the URL cache and the close
// question with the relaunch. A driver thread acts as the player while the test's thread runs the
// window's modal loop.
#include "gamewindow/htmlbrowser_dlg.h"
#include "support/app_fixture.h"
#include "support/loopback_server.h"

#include <ole2.h>
#include <wininet.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace {

constexpr int kCaption = 39;
constexpr int kBorder = 3;
constexpr int kLogoWidth = 218;
constexpr int kEndCapWidth = 50;

// The game window, counting its frame paints.
class CCountingGameWindow : public ChtmlbrowserDlg {
public:
    void OnNcPaint() override {
        ++m_nFramePaints;
        ChtmlbrowserDlg::OnNcPaint();
    }
    std::atomic<int> m_nFramePaints{0};
};

class GameWindowTest : public CWin32AppTest {
protected:
    void SetUp() override {
        CWin32AppTest::SetUp();
        StartApplication();
        // The relaunch starts this folder's "DrelkRelaunch.exe": the recorder.
        m_app.m_pszExeName = "DrelkRelaunch";
        CClientConfig::Instance()->SetDefaults();
        m_app.m_strGameUrl = m_server.Url("/game.html?sid=7&server_name=");
    }

    // Runs the game window; the player's script runs on its own thread once the window is shown.
    // The window ends with the script if the script did not end it. DoModal's result.
    INT_PTR RunGameWindow(const std::function<void(CCountingGameWindow&, HWND)>& script) {
        CCountingGameWindow window;
        static std::atomic<bool> s_bScriptDone;
        static CCountingGameWindow* s_pWindow;
        s_bScriptDone = false;
        s_pWindow = &window;
        SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR nTimer, DWORD) {
            if (s_bScriptDone) {
                KillTimer(nullptr, nTimer);
                if (s_pWindow->m_hWnd != nullptr) {
                    s_pWindow->EndDialog(IDABORT);
                }
            }
        });
        std::thread player([&] {
            if (WaitFor([&] { return window.m_hWnd != nullptr && IsWindowVisible(window.m_hWnd); })) {
                Sleep(1000); // the first paints reach the screen
                script(window, window.m_hWnd);
            }
            s_bScriptDone = true;
        });
        const INT_PTR nResult = window.DoModal();
        s_bScriptDone = true;
        player.join();
        return nResult;
    }

    // Whether the browser (our control host, the dialog's one child of that class) covers exactly
    // the client area.
    static bool BrowserCoversTheClientArea(HWND hWnd) {
        HWND hBrowser = FindWindowExA(hWnd, nullptr, "DrelkBrowserHost", nullptr);
        RECT client{};
        RECT browser{};
        GetClientRect(hWnd, &client);
        if (hBrowser == nullptr || !GetWindowRect(hBrowser, &browser)) {
            return false;
        }
        MapWindowPoints(nullptr, hWnd, reinterpret_cast<POINT*>(&browser), 2);
        return EqualRect(&client, &browser) != FALSE;
    }

    // The message box of this process, once it is there.
    HWND WaitForBox(HWND hWindow) { return WaitForMessageBox(GetCurrentProcessId(), {hWindow}); }
    static void Answer(HWND hBox, int nButton) { PostMessageA(GetDlgItem(hBox, nButton), BM_CLICK, 0, 0); }

    static RECT WindowRect(HWND hWnd) {
        RECT rect{};
        GetWindowRect(hWnd, &rect);
        return rect;
    }
    // A caption button's centre on the screen, by its distance from the right edge.
    static POINT CaptionButton(HWND hWnd, int nLeftFromRight, int nRightFromRight) {
        const RECT rect = WindowRect(hWnd);
        return POINT{rect.right - (nLeftFromRight + nRightFromRight) / 2, rect.top + 20};
    }

    // Clicks a button that asks first and returns the question box, checked against its texts.
    HWND ClickForQuestion(HWND hWnd, POINT button, const wchar_t* pszCaption, const wchar_t* pszText) {
        if (!ClickOnScreen(button.x, button.y)) {
            return nullptr;
        }
        HWND hBox = WaitForBox(hWnd);
        if (hBox != nullptr) {
            EXPECT_EQ(TextOf(hBox), pszCaption);
            EXPECT_EQ(TextOf(GetDlgItem(hBox, 0xFFFF)), pszText);
        }
        return hBox;
    }

    CLoopbackServer m_server;
};

// Whether every pixel of the screen capture's block is one of the skin's pixels in the given block.
int CountFromSkin(const CPixels& screen, const CPixels& skin, int x0, int y0, int cx, int cy,
                  const std::function<POINT(int, int)>& skinPoint) {
    int nSame = 0;
    for (int y = y0; y < y0 + cy; ++y) {
        for (int x = x0; x < x0 + cx; ++x) {
            const POINT pt = skinPoint(x, y);
            nSame += Near(screen.Rgb(x, y), skin.Rgb(pt.x, pt.y)) ? 1 : 0;
        }
    }
    return nSame;
}

TEST_F(GameWindowTest, MaximisedInARoundedRegionWithTheFramePaintedFromTheSkin) {
    const CPixels skin = PictureFile("skin_164.png");
    ASSERT_GT(skin.cx, kLogoWidth + kEndCapWidth);
    RunGameWindow([&](CCountingGameWindow&, HWND hWnd) {
        EXPECT_TRUE(IsZoomed(hWnd));
        const RECT rect = WindowRect(hWnd);
        const int W = rect.right - rect.left;
        const int H = rect.bottom - rect.top;
        HRGN hRegion = CreateRectRgn(0, 0, 0, 0);
        EXPECT_NE(GetWindowRgn(hWnd, hRegion), ERROR);
        EXPECT_FALSE(PtInRegion(hRegion, 0, 0));
        EXPECT_FALSE(PtInRegion(hRegion, W - 1, H - 1));
        EXPECT_TRUE(PtInRegion(hRegion, W / 2, H / 2));
        EXPECT_TRUE(PtInRegion(hRegion, W / 2, 0));
        DeleteObject(hRegion);

        const CPixels screen = CaptureScreen(rect);
        const int SW = skin.cx;
        const int SH = skin.cy;
        // The logo, the caption background (the skin's column after the logo, stretched) and the right
        // end cap beside its buttons, inside the rounded corners.
        const auto same = [](int x, int y) { return POINT{x, y}; };
        EXPECT_GE(CountFromSkin(screen, skin, 6, 6, 84, kCaption - 6, same), 84 * (kCaption - 6) * 99 / 100);
        const int nMiddle = W - kLogoWidth - 320;
        EXPECT_GE(CountFromSkin(screen, skin, kLogoWidth + 20, 0, nMiddle, kCaption,
                                [](int, int y) {
                                    return POINT{kLogoWidth, y};
                                }),
                  nMiddle * kCaption * 99 / 100);
        const auto endCap = [&](int x, int y) {
            return POINT{x - (W - kEndCapWidth) + SW - kEndCapWidth, y};
        };
        EXPECT_GE(CountFromSkin(screen, skin, W - 8, 6, 8 - kBorder, kCaption - 6, endCap),
                  (8 - kBorder) * (kCaption - 6) * 99 / 100);
        // The bottom corners, where they are frame (the client area covers the rest of them).
        const auto bottomLeft = [&](int x, int y) { return POINT{x, y - (H - kCaption) + SH - kCaption}; };
        EXPECT_GE(CountFromSkin(screen, skin, 6, H - kBorder, kCaption - 6, kBorder, bottomLeft),
                  (kCaption - 6) * kBorder * 99 / 100);
        EXPECT_GE(CountFromSkin(screen, skin, 0, H - kCaption, kBorder, kCaption - 6, bottomLeft),
                  kBorder * (kCaption - 6) * 99 / 100);
        const auto bottomRight = [&](int x, int y) {
            return POINT{x - (W - kCaption) + SW - kCaption, y - (H - kCaption) + SH - kCaption};
        };
        EXPECT_GE(CountFromSkin(screen, skin, W - kCaption, H - kBorder, kCaption - 6, kBorder, bottomRight),
                  (kCaption - 6) * kBorder * 99 / 100);
        EXPECT_GE(CountFromSkin(screen, skin, W - kBorder, H - kCaption, kBorder, kCaption - 6, bottomRight),
                  kBorder * (kCaption - 6) * 99 / 100);
        // The borders: a 3 x 3 block of the skin stretched along them (any of its pixels).
        int nBorder = 0;
        int nBorderSame = 0;
        for (int y = kCaption; y < H - kCaption; y += 7) {
            for (int x = 0; x < kBorder; ++x) {
                ++nBorder;
                for (int k = 0; k < kBorder; ++k) {
                    if (Near(screen.Rgb(x, y), skin.Rgb(x, kCaption + k))) {
                        ++nBorderSame;
                        break;
                    }
                }
            }
        }
        for (int x = kCaption; x < W - kCaption; x += 7) {
            for (int y = H - kBorder; y < H; ++y) {
                ++nBorder;
                for (int k = 0; k < kBorder; ++k) {
                    if (Near(screen.Rgb(x, y), skin.Rgb(kCaption + k, y - (H - kBorder) + SH - kBorder))) {
                        ++nBorderSame;
                        break;
                    }
                }
            }
        }
        EXPECT_GE(nBorderSame, nBorder * 99 / 100);

        // The title is drawn after the logo, white.
        SetWindowTextW(hWnd, L"Drelk 一区");
        RedrawWindow(hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        Sleep(500);
        const CPixels title =
            CaptureScreen(RECT{rect.left + 97, rect.top + 15, rect.left + 200, rect.top + 32});
        int nWhite = 0;
        for (DWORD bits : title.bits) {
            nWhite += Near(bits & 0xFFFFFF, 0xFFFFFF, 40) ? 1 : 0;
        }
        EXPECT_GE(nWhite, 20);
    });
}

TEST_F(GameWindowTest, CaptionButtonsTurnHotOncePerButtonAndOpenTheirPagesOrRefresh) {
    CFakeBrowser browser(DRELK_RECORD_CMDLINE_HOST);
    ASSERT_TRUE(browser.Registered());
    RunGameWindow([&](CCountingGameWindow& window, HWND hWnd) {
        const POINT home = CaptionButton(hWnd, 265, 225);
        const RECT cell{home.x - 15, home.y - 8, home.x + 15, home.y + 8};
        const CPixels normal = CaptureScreen(cell);
        const int nBefore = window.m_nFramePaints;
        ASSERT_TRUE(PointAt(home.x, home.y));
        EXPECT_TRUE(WaitFor([&] { return window.m_nFramePaints == nBefore + 1; }, 5));
        ASSERT_TRUE(PointAt(home.x + 3, home.y + 2)); // within the same button: nothing to repaint
        Sleep(300);
        EXPECT_EQ(window.m_nFramePaints, nBefore + 1);
        const CPixels hot = CaptureScreen(cell);
        EXPECT_LT(CountSame(hot, 0, 0, normal), normal.cx * normal.cy * 9 / 10);

        ASSERT_TRUE(ClickOnScreen(home.x, home.y));
        ASSERT_TRUE(WaitFor([&] { return Recorded(); }));
        EXPECT_NE(ReadWholeFile(m_strRecord).find(CClientConfig::Instance()->GetValue("home")),
                  std::string::npos);
        DeleteFileA(m_strRecord.c_str());

        const POINT charge = CaptionButton(hWnd, 220, 180);
        ASSERT_TRUE(ClickOnScreen(charge.x, charge.y));
        ASSERT_TRUE(WaitFor([&] { return Recorded(); }));
        EXPECT_NE(ReadWholeFile(m_strRecord).find(CClientConfig::Instance()->GetValue("charge")),
                  std::string::npos);

        // Refresh navigates to the game address again: the server sees it once more.
        ASSERT_TRUE(WaitFor([&] { return m_server.Requests().size() == 1; }, 10));
        const POINT refresh = CaptionButton(hWnd, 130, 90);
        ASSERT_TRUE(ClickOnScreen(refresh.x, refresh.y));
        EXPECT_TRUE(WaitFor([&] { return m_server.Requests().size() == 2; }, 10));
        for (const std::string& strRequest : m_server.Requests()) {
            EXPECT_EQ(CLoopbackServer::RequestLine(strRequest), "GET /game.html?sid=7&server_name= HTTP/1.1");
        }
        EXPECT_TRUE(IsWindowVisible(hWnd));
    });
}

// A cache entry of the given address with a small body.
bool MakeCacheEntry(const std::string& strUrl) {
    char szFile[MAX_PATH] = {};
    if (!CreateUrlCacheEntryA(strUrl.c_str(), 0, "html", szFile, 0)) {
        return false;
    }
    HANDLE hFile =
        CreateFileA(szFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD dwWritten = 0;
    WriteFile(hFile, "<p>cached</p>", 13, &dwWritten, nullptr);
    CloseHandle(hFile);
    FILETIME never{};
    return CommitUrlCacheEntryA(strUrl.c_str(), szFile, never, never, NORMAL_CACHE_ENTRY, nullptr, 0, nullptr,
                                nullptr) != FALSE;
}

bool InCache(const std::string& strUrl) {
    DWORD dwSize = 0;
    GetUrlCacheEntryInfoA(strUrl.c_str(), nullptr, &dwSize);
    return GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

TEST_F(GameWindowTest, CleaningAsksFirstThenEmptiesTheUrlCacheButKeepsTheCookies) {
    const std::string strPage = "http://127.0.0.1:9/drelk/page.html";
    // An entry whose description is over 4096 bytes, which the walk must fetch again.
    const std::string strLong = "http://127.0.0.1:9/drelk/long?" + std::string(5000, 'q');
    ASSERT_TRUE(MakeCacheEntry(strPage));
    ASSERT_TRUE(MakeCacheEntry(strLong));
    ASSERT_TRUE(InternetSetCookieA("http://127.0.0.1:9/", "drelk_save",
                                   "level=12; expires=Sat, 01-Jan-2050 00:00:00 GMT"));
    ASSERT_TRUE(InCache(strPage));
    ASSERT_TRUE(InCache(strLong));
    RunGameWindow([&](CCountingGameWindow&, HWND hWnd) {
        const POINT clean = CaptionButton(hWnd, 175, 135);
        HWND hBox = ClickForQuestion(hWnd, clean, L"清理提示", L"确定清理浏览器缓存？");
        ASSERT_NE(hBox, nullptr);
        Answer(hBox, IDNO);
        ASSERT_TRUE(WaitFor([hBox] { return !IsWindow(hBox); }));
        EXPECT_TRUE(InCache(strPage));

        hBox = ClickForQuestion(hWnd, clean, L"清理提示", L"确定清理浏览器缓存？");
        ASSERT_NE(hBox, nullptr);
        Answer(hBox, IDYES);
        ASSERT_TRUE(WaitFor([hBox] { return !IsWindow(hBox); }));
        EXPECT_FALSE(InCache(strPage));
        EXPECT_FALSE(InCache(strLong));
        char szCookie[256] = {};
        DWORD dwSize = sizeof(szCookie);
        ASSERT_TRUE(InternetGetCookieA("http://127.0.0.1:9/", "drelk_save", szCookie, &dwSize));
        EXPECT_NE(std::string(szCookie).find("level=12"), std::string::npos);
    });
}

TEST_F(GameWindowTest, TheWindowCommandsThroughTheCaptionTheBordersAndTheSystemMenu) {
    RunGameWindow([&](CCountingGameWindow&, HWND hWnd) {
        // A double click on the caption of the maximised window restores it. The browser follows
        // every size.
        EXPECT_TRUE(BrowserCoversTheClientArea(hWnd));
        RECT rect = WindowRect(hWnd);
        ASSERT_TRUE(ClickOnScreen((rect.left + rect.right) / 2, rect.top + 20, true));
        ASSERT_TRUE(WaitFor([hWnd] { return !IsZoomed(hWnd); }, 5));
        EXPECT_TRUE(BrowserCoversTheClientArea(hWnd));
        // The maximise button maximises, and restores again.
        POINT maximize = CaptionButton(hWnd, 52, 32);
        ASSERT_TRUE(ClickOnScreen(maximize.x, maximize.y));
        ASSERT_TRUE(WaitFor([hWnd] { return IsZoomed(hWnd) != FALSE; }, 5));
        maximize = CaptionButton(hWnd, 52, 32);
        ASSERT_TRUE(ClickOnScreen(maximize.x, maximize.y));
        ASSERT_TRUE(WaitFor([hWnd] { return !IsZoomed(hWnd); }, 5));

        // The icon's place opens the system menu; Escape closes it.
        rect = WindowRect(hWnd);
        ASSERT_TRUE(ClickOnScreen(rect.left + 20, rect.top + 20));
        const auto menuShown = [] {
            HWND hMenu = FindWindowA("#32768", nullptr);
            return hMenu != nullptr && IsWindowVisible(hMenu) != FALSE;
        };
        EXPECT_TRUE(WaitFor(menuShown, 5));
        ASSERT_TRUE(RunOnHost("xdotool key Escape; sleep 0.3"));
        EXPECT_TRUE(WaitFor([&] { return !menuShown(); }, 5));

        // The minimise button.
        const POINT minimize = CaptionButton(hWnd, 74, 54);
        ASSERT_TRUE(ClickOnScreen(minimize.x, minimize.y));
        EXPECT_TRUE(WaitFor([hWnd] { return IsIconic(hWnd) != FALSE; }, 5));
        ShowWindow(hWnd, SW_RESTORE);
        ASSERT_TRUE(WaitFor([hWnd] { return !IsIconic(hWnd) && !IsZoomed(hWnd); }, 5));
        Sleep(500);

        // Restored, the caption moves the window (the window manager may hold it at a screen edge for
        // a few pixels) and the bottom border resizes it, never below the caption and a border.
        RECT before = WindowRect(hWnd);
        ASSERT_TRUE(DragOnScreen((before.left + before.right) / 2 - 100, before.top + 20, 40, 40));
        RECT after = WindowRect(hWnd);
        EXPECT_NEAR(after.left - before.left, 40, 20);
        EXPECT_NEAR(after.top - before.top, 40, 20);
        EXPECT_EQ(after.right - after.left, before.right - before.left);
        before = after;
        ASSERT_TRUE(DragOnScreen((before.left + before.right) / 2, before.bottom - 1, 0,
                                 -(before.bottom - before.top)));
        after = WindowRect(hWnd);
        EXPECT_EQ(after.top, before.top);
        EXPECT_LT(after.bottom - after.top, before.bottom - before.top);
        EXPECT_EQ(after.bottom - after.top, 42);
        EXPECT_TRUE(BrowserCoversTheClientArea(hWnd));
    });
}

TEST_F(GameWindowTest, CloseAsksFirstNoKeepsTheWindowYesStartsTheLauncherAgainAndEnds) {
    const INT_PTR nResult = RunGameWindow([&](CCountingGameWindow&, HWND hWnd) {
        const POINT close = CaptionButton(hWnd, 30, 10);
        HWND hBox = ClickForQuestion(hWnd, close, L"关闭提示", L"正在游戏中，确定退出Drelk？");
        ASSERT_NE(hBox, nullptr);
        Answer(hBox, IDNO);
        ASSERT_TRUE(WaitFor([hBox] { return !IsWindow(hBox); }));
        Sleep(300);
        EXPECT_TRUE(IsWindowVisible(hWnd));
        EXPECT_EQ(GetFileAttributesA(m_strRecord.c_str()), INVALID_FILE_ATTRIBUTES);

        hBox = ClickForQuestion(hWnd, close, L"关闭提示", L"正在游戏中，确定退出Drelk？");
        ASSERT_NE(hBox, nullptr);
        Answer(hBox, IDYES);
        EXPECT_TRUE(WaitFor([hWnd] { return !IsWindow(hWnd); }));
    });
    EXPECT_EQ(nResult, IDCANCEL);
    // The launcher started again from the program's folder, without arguments.
    ASSERT_TRUE(WaitFor([&] { return Recorded(); }));
    const std::string strStarted = ReadWholeFile(m_strRecord);
    const std::string strExpected = ProgramDirectory() + "\\DrelkRelaunch.exe";
    EXPECT_TRUE(strStarted == strExpected || strStarted == "\"" + strExpected + "\"") << strStarted;
}

} // namespace
