// Drelk.exe started as a player starts it (under Wine on a virtual screen with a window manager):
// the launcher's two native windows, their pictures on the screen, drags and presses of the real
// pointer (xdotool), the keys that change nothing, a tab opening its page in the desktop's browser,
// and the close button's question.
#include "res/resource.h"
#include "support/desktop.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

bool Layered(HWND hWnd) { return (GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0; }

struct CButtonPlace {
    int nID;
    const char* pszBitmap;
    int x, y, cx, cy; // on the backdrop
};

const CButtonPlace kButtonPlaces[] = {{IDC_BTN_HOME, "tab_site_155.bmp", 316, 45, 104, 31},
                                      {IDC_BTN_FORUM, "tab_forum_153.bmp", 422, 45, 104, 31},
                                      {IDC_BTN_SERVICE, "tab_service_156.bmp", 528, 45, 104, 31},
                                      {IDC_BTN_CHARGE, "tab_topup_154.bmp", 634, 45, 104, 31},
                                      {IDC_BTN_CLOSE, "close_135.bmp", 1024 - 43, 7, 31, 32}};

class DrelkExeTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The fake browser of the tab test writes what it was started with here.
        m_strRecord = WinePath("/tmp/drelk-exe-browser-" + std::to_string(GetCurrentProcessId()));
        DeleteFileA(m_strRecord.c_str());
        SetEnvironmentVariableA("DRELK_RECORD_FILE", m_strRecord.c_str());
        const std::string strExe = WinePath(DRELK_EXE_HOST);
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        ASSERT_TRUE(CreateProcessA(strExe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &m_process));
        CloseHandle(m_process.hThread);
        // The launcher is up when its two layered windows are shown.
        ASSERT_TRUE(WaitFor([this] {
            m_hBackdrop = m_hControls = nullptr;
            for (HWND hWnd : WindowsOf(m_process.dwProcessId)) {
                if (Layered(hWnd)) {
                    (GetWindow(hWnd, GW_OWNER) == nullptr ? m_hBackdrop : m_hControls) = hWnd;
                }
            }
            return m_hBackdrop != nullptr && m_hControls != nullptr;
        }));
    }

    void TearDown() override {
        if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_process.hProcess, 1);
            WaitForSingleObject(m_process.hProcess, 10000);
        }
        CloseHandle(m_process.hProcess);
        DeleteFileA(m_strRecord.c_str());
    }

    // The question box the process shows, once it is there.
    HWND WaitForMessageBox() {
        return ::WaitForMessageBox(m_process.dwProcessId, {m_hBackdrop, m_hControls});
    }

    std::string m_strRecord;
    PROCESS_INFORMATION m_process{};
    HWND m_hBackdrop = nullptr;
    HWND m_hControls = nullptr;
};

TEST_F(DrelkExeTest, TheLauncherIsTwoLayeredWindowsCentredOnTheWorkAreaWithItsButtonsInPlace) {
    RECT backdrop{};
    RECT controls{};
    GetWindowRect(m_hBackdrop, &backdrop);
    GetWindowRect(m_hControls, &controls);
    EXPECT_EQ(backdrop.right - backdrop.left, 1024);
    EXPECT_EQ(backdrop.bottom - backdrop.top, 635);
    EXPECT_TRUE(EqualRect(&backdrop, &controls));
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR((backdrop.left + backdrop.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((backdrop.top + backdrop.bottom) / 2, (work.top + work.bottom) / 2, 1);
    EXPECT_EQ(GetWindow(m_hControls, GW_OWNER), m_hBackdrop);

    // The five buttons are owner-drawn children at their places (the close button at the right edge).
    for (const CButtonPlace& button : kButtonPlaces) {
        SCOPED_TRACE(button.nID);
        HWND hButton = GetDlgItem(m_hControls, button.nID);
        ASSERT_NE(hButton, nullptr);
        EXPECT_TRUE(IsWindowVisible(hButton));
        EXPECT_EQ(GetWindowLongA(hButton, GWL_STYLE) & 0x0F, BS_OWNERDRAW);
        RECT rect{};
        GetWindowRect(hButton, &rect);
        EXPECT_EQ(rect.left - backdrop.left, button.x);
        EXPECT_EQ(rect.top - backdrop.top, button.y);
        EXPECT_EQ(rect.right - rect.left, button.cx);
        EXPECT_EQ(rect.bottom - rect.top, button.cy);
    }
}

TEST_F(DrelkExeTest, TheScreenShowsTheButtonBitmapsOverThePictureAndTheDesktopWhereBothAreClear) {
    const CPixels picture = PictureFile("backdrop_143.png");
    const int cx = picture.cx;
    const int cy = picture.cy;
    ASSERT_EQ(cx, 1024);
    ASSERT_EQ(cy, 635);
    std::this_thread::sleep_for(std::chrono::seconds(1)); // the first paints reach the screen
    RECT backdrop{};
    GetWindowRect(m_hBackdrop, &backdrop);
    const CPixels screen = CaptureScreen(backdrop);
    const DWORD crDesktop = CaptureScreen(RECT{0, 0, 1, 1}).Rgb(0, 0);

    std::vector<bool> underButton(static_cast<std::size_t>(cx) * cy, false);
    for (const CButtonPlace& button : kButtonPlaces) {
        SCOPED_TRACE(button.pszBitmap);
        const CPixels bitmap = BitmapFile(button.pszBitmap);
        ASSERT_EQ(bitmap.cx, button.cx);
        ASSERT_EQ(bitmap.cy, button.cy);
        for (int y = 0; y < bitmap.cy; ++y) {
            for (int x = 0; x < bitmap.cx; ++x) {
                underButton[static_cast<std::size_t>(button.y + y) * cx + button.x + x] = true;
            }
        }
        EXPECT_GE(CountSame(screen, button.x, button.y, bitmap), bitmap.cx * bitmap.cy * 99 / 100);
    }
    // Elsewhere the controls window is keyed, so the backdrop shows: its opaque pixels exactly as the
    // picture has them, and the desktop through its clear ones. (Partly transparent pixels depend on
    // a compositing manager, which this screen has not.)
    int nOpaque = 0;
    int nOpaqueSame = 0;
    int nClear = 0;
    int nClearSame = 0;
    for (int y = 0; y < cy; ++y) {
        for (int x = 0; x < cx; ++x) {
            const std::size_t nAt = static_cast<std::size_t>(y) * cx + x;
            const DWORD argb = picture.bits[nAt];
            if (underButton[nAt]) {
                continue;
            }
            if (argb >> 24 == 0xFF) {
                ++nOpaque;
                nOpaqueSame += Near(screen.Rgb(x, y), argb & 0xFFFFFF) ? 1 : 0;
            } else if (argb >> 24 == 0) {
                ++nClear;
                nClearSame += Near(screen.Rgb(x, y), crDesktop) ? 1 : 0;
            }
        }
    }
    EXPECT_GT(nOpaque, cx * cy / 2);
    EXPECT_GT(nClear, 10000);
    EXPECT_GE(nOpaqueSame, nOpaque * 995 / 1000);
    EXPECT_GE(nClearSame, nClear * 995 / 1000);
}

TEST_F(DrelkExeTest, ADragOnThePictureMovesBothWindowsAndAPressOnAClearPixelDoesNotReachThem) {
    RECT before{};
    GetWindowRect(m_hBackdrop, &before);
    // (5, 300) of the picture is fully transparent: the press goes to the desktop beneath.
    ASSERT_TRUE(DragOnScreen(before.left + 5, before.top + 300, 60, 40));
    RECT after{};
    GetWindowRect(m_hBackdrop, &after);
    EXPECT_TRUE(EqualRect(&before, &after));

    // (150, 300) is opaque picture under a keyed pixel of the controls window.
    ASSERT_TRUE(DragOnScreen(before.left + 150, before.top + 300, 60, 40));
    EXPECT_TRUE(WaitFor(
        [&] {
            GetWindowRect(m_hBackdrop, &after);
            return after.left == before.left + 60 && after.top == before.top + 40;
        },
        5));
    RECT controls{};
    EXPECT_TRUE(WaitFor(
        [&] {
            GetWindowRect(m_hControls, &controls);
            return EqualRect(&after, &controls) != FALSE;
        },
        5));
    EXPECT_EQ(after.right - after.left, 1024);
    // The controls window is still over the backdrop: the close button's bitmap is on the screen.
    const CPixels bitmap = BitmapFile("close_135.bmp");
    const CPixels screen =
        CaptureScreen(RECT{after.right - 43, after.top + 7, after.right - 12, after.top + 39});
    EXPECT_GE(CountSame(screen, 0, 0, bitmap), bitmap.cx * bitmap.cy * 99 / 100);
}

TEST_F(DrelkExeTest, ATabOpensItsPageInTheDesktopsDefaultBrowser) {
    CFakeBrowser browser(DRELK_RECORD_CMDLINE_HOST);
    ASSERT_TRUE(browser.Registered());
    PostMessageA(GetDlgItem(m_hControls, IDC_BTN_HOME), BM_CLICK, 0, 0);
    ASSERT_TRUE(
        WaitFor([this] { return GetFileAttributesA(m_strRecord.c_str()) != INVALID_FILE_ATTRIBUTES; }));
    // The official site's built-in address (no settings file beside this Drelk.exe).
    const std::string strStarted = ReadWholeFile(m_strRecord);
    EXPECT_NE(strStarted.find(std::string(DRELK_DEFAULT_HOST) + "/index.html"), std::string::npos)
        << strStarted;
    EXPECT_TRUE(IsWindowVisible(m_hBackdrop));
    EXPECT_TRUE(IsWindowVisible(m_hControls));
}

TEST_F(DrelkExeTest, EnterAndEscapeChangeNothingAndCloseAsksFirstNoKeepsYesEnds) {
    for (HWND hWnd : {m_hBackdrop, m_hControls}) {
        PostMessageA(hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(hWnd, WM_KEYDOWN, VK_RETURN, 0);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_TRUE(IsWindowVisible(m_hBackdrop));
    EXPECT_TRUE(IsWindowVisible(m_hControls));

    HWND hClose = GetDlgItem(m_hControls, IDC_BTN_CLOSE);
    ASSERT_NE(hClose, nullptr);
    PostMessageA(hClose, BM_CLICK, 0, 0);
    HWND hBox = WaitForMessageBox();
    ASSERT_NE(hBox, nullptr);
    EXPECT_EQ(TextOf(hBox), L"关闭提示");
    EXPECT_EQ(TextOf(GetDlgItem(hBox, 0xFFFF)), L"正在游戏中，确定退出Drelk？");
    PostMessageA(GetDlgItem(hBox, IDNO), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([hBox] { return !IsWindow(hBox); }));
    EXPECT_TRUE(IsWindowVisible(m_hBackdrop));
    EXPECT_TRUE(IsWindowVisible(m_hControls));
    EXPECT_EQ(WaitForSingleObject(m_process.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));

    PostMessageA(hClose, BM_CLICK, 0, 0);
    hBox = WaitForMessageBox();
    ASSERT_NE(hBox, nullptr);
    PostMessageA(GetDlgItem(hBox, IDYES), BM_CLICK, 0, 0);
    ASSERT_EQ(WaitForSingleObject(m_process.hProcess, 20000), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD dwExit = 1;
    GetExitCodeProcess(m_process.hProcess, &dwExit);
    EXPECT_EQ(dwExit, 0u);
}

// The page shown in place of one that cannot be reached is a resource of Drelk.exe itself (the
// control reaches it by its res: address), whole: every reason and the retry button.
TEST(DrelkExeResourcesTest, TheFailurePageIsInTheExecutable) {
    HMODULE hExe = LoadLibraryExA(WinePath(DRELK_EXE_HOST).c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(hExe, nullptr);
    const std::string strName = "HTML" + std::to_string(IDR_PAGE_FAILURE); // as the resource script names it
    HRSRC hResource = FindResourceA(hExe, strName.c_str(), MAKEINTRESOURCEA(23));
    ASSERT_NE(hResource, nullptr);
    const std::string strPage(static_cast<const char*>(LockResource(LoadResource(hExe, hResource))),
                              SizeofResource(hExe, hResource));
    for (const char* pszText :
         {"nonetwork", "notfound", "refused", "noanswer", "secure", "stopped", "重试"}) {
        EXPECT_NE(strPage.find(pszText), std::string::npos) << pszText;
    }
    FreeLibrary(hExe);
}

} // namespace
