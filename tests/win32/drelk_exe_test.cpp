// Drelk.exe started as a player starts it (under Wine on a virtual screen with a window manager):
// the launcher's two native windows, their pictures on the screen, drags and presses of the real
// pointer (xdotool), the keys that change nothing, a tab opening its page in the desktop's browser,
// and the close button's question.
#include "res/resource.h"

#include <windows.h>
// GDI+ wants min/max of its own.
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
} // namespace Gdiplus
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string WinePath(std::string strHostPath) {
    for (char& ch : strHostPath) {
        if (ch == '/') {
            ch = '\\';
        }
    }
    return "Z:" + strHostPath;
}

std::string ReadFile(const std::string& strPath) {
    std::ifstream file(strPath, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

struct CFound {
    DWORD dwProcessId;
    std::vector<HWND> windows;
};

// The visible top-level windows of the process.
std::vector<HWND> WindowsOf(DWORD dwProcessId) {
    CFound found{dwProcessId, {}};
    EnumWindows(
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* pFound = reinterpret_cast<CFound*>(lParam);
            DWORD dwOwner = 0;
            GetWindowThreadProcessId(hWnd, &dwOwner);
            if (dwOwner == pFound->dwProcessId && IsWindowVisible(hWnd)) {
                pFound->windows.push_back(hWnd);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.windows;
}

bool WaitFor(const std::function<bool()>& done, int nSeconds = 20) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(nSeconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return done();
}

bool Layered(HWND hWnd) { return (GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0; }

std::wstring TextOf(HWND hWnd) {
    wchar_t szText[256] = {};
    GetWindowTextW(hWnd, szText, 256);
    return szText;
}

// Runs a command of the host (a Unix program such as xdotool) and waits until it is done. Wine starts
// Unix executables, but their process handles cannot be waited on, so the command leaves a marker.
bool RunOnHost(const std::string& strCommand) {
    static int s_nRun = 0;
    const std::string strMarker =
        "/tmp/drelk-exe-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++s_nRun);
    std::string strLine = "/bin/sh -c \"" + strCommand + "; touch " + strMarker + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA("Z:\\bin\\sh", strLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const std::string strDone = WinePath(strMarker);
    const bool bDone =
        WaitFor([&] { return GetFileAttributesA(strDone.c_str()) != INVALID_FILE_ATTRIBUTES; });
    DeleteFileA(strDone.c_str());
    return bDone;
}

// A press of the real pointer at a screen point, moved by (dx, dy) in steps while held, released.
bool DragOnScreen(int x, int y, int dx, int dy) {
    std::string strCommand = "xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) +
                             "; sleep 0.3; xdotool mousedown 1; sleep 0.3";
    for (int nStep = 1; nStep <= 4; ++nStep) {
        strCommand += "; xdotool mousemove " + std::to_string(x + dx * nStep / 4) + " " +
                      std::to_string(y + dy * nStep / 4) + "; sleep 0.15";
    }
    return RunOnHost(strCommand + "; sleep 0.3; xdotool mouseup 1; sleep 0.5");
}

// Pixels as 0x00RRGGBB, row by row.
struct CPixels {
    int cx = 0;
    int cy = 0;
    std::vector<DWORD> bits;
    DWORD At(int x, int y) const { return bits[static_cast<std::size_t>(y) * cx + x] & 0xFFFFFF; }
};

// What the screen shows in a rectangle.
CPixels CaptureScreen(const RECT& rect) {
    CPixels pixels;
    pixels.cx = rect.right - rect.left;
    pixels.cy = rect.bottom - rect.top;
    pixels.bits.resize(static_cast<std::size_t>(pixels.cx) * pixels.cy);
    HDC hScreen = GetDC(nullptr);
    HDC hMemory = CreateCompatibleDC(hScreen);
    HBITMAP hBitmap = CreateCompatibleBitmap(hScreen, pixels.cx, pixels.cy);
    HGDIOBJ hOld = SelectObject(hMemory, hBitmap);
    BitBlt(hMemory, 0, 0, pixels.cx, pixels.cy, hScreen, rect.left, rect.top, SRCCOPY);
    SelectObject(hMemory, hOld);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = pixels.cx;
    info.bmiHeader.biHeight = -pixels.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    GetDIBits(hMemory, hBitmap, 0, pixels.cy, pixels.bits.data(), &info, DIB_RGB_COLORS);
    DeleteObject(hBitmap);
    DeleteDC(hMemory);
    ReleaseDC(nullptr, hScreen);
    return pixels;
}

// A bitmap file of res/ as it is drawn.
CPixels BitmapFile(const std::string& strName) {
    CPixels pixels;
    const std::string strPath = WinePath(std::string(DRELK_RES_DIR) + "/" + strName);
    auto* hBitmap = static_cast<HBITMAP>(
        LoadImageA(nullptr, strPath.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (hBitmap == nullptr) {
        return pixels;
    }
    BITMAP bm{};
    GetObjectA(hBitmap, sizeof(bm), &bm);
    pixels.cx = bm.bmWidth;
    pixels.cy = bm.bmHeight;
    pixels.bits.resize(static_cast<std::size_t>(pixels.cx) * pixels.cy);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = pixels.cx;
    info.bmiHeader.biHeight = -pixels.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC hDC = CreateCompatibleDC(nullptr);
    GetDIBits(hDC, hBitmap, 0, pixels.cy, pixels.bits.data(), &info, DIB_RGB_COLORS);
    DeleteDC(hDC);
    DeleteObject(hBitmap);
    return pixels;
}

// The backdrop picture's straight colour and alpha (0xAARRGGBB), decoded by GDI+.
std::vector<DWORD> BackdropPicture(int& cx, int& cy) {
    std::vector<DWORD> argb;
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    {
        const std::string strPath = WinePath(std::string(DRELK_RES_DIR) + "/backdrop_143.png");
        const std::wstring strWide(strPath.begin(), strPath.end());
        Gdiplus::Bitmap picture(strWide.c_str());
        cx = static_cast<int>(picture.GetWidth());
        cy = static_cast<int>(picture.GetHeight());
        Gdiplus::Rect rect(0, 0, cx, cy);
        Gdiplus::BitmapData data{};
        if (cx > 0 &&
            picture.LockBits(&rect, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) == Gdiplus::Ok) {
            for (int y = 0; y < cy; ++y) {
                const auto* pRow = reinterpret_cast<const DWORD*>(
                    static_cast<const BYTE*>(data.Scan0) + static_cast<std::ptrdiff_t>(y) * data.Stride);
                argb.insert(argb.end(), pRow, pRow + cx);
            }
            picture.UnlockBits(&data);
        }
    }
    Gdiplus::GdiplusShutdown(token);
    return argb;
}

bool Near(DWORD crA, DWORD crB) {
    for (int nShift = 0; nShift < 24; nShift += 8) {
        if (std::abs(static_cast<int>((crA >> nShift) & 0xFF) - static_cast<int>((crB >> nShift) & 0xFF)) >
            6) {
            return false;
        }
    }
    return true;
}

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
        HWND hBox = nullptr;
        WaitFor([&] {
            for (HWND hWnd : WindowsOf(m_process.dwProcessId)) {
                char szClass[16] = {};
                GetClassNameA(hWnd, szClass, sizeof(szClass));
                if (hWnd != m_hBackdrop && hWnd != m_hControls && std::string(szClass) == "#32770") {
                    hBox = hWnd;
                }
            }
            return hBox != nullptr;
        });
        return hBox;
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
    int cx = 0;
    int cy = 0;
    const std::vector<DWORD> picture = BackdropPicture(cx, cy);
    ASSERT_EQ(cx, 1024);
    ASSERT_EQ(cy, 635);
    std::this_thread::sleep_for(std::chrono::seconds(1)); // the first paints reach the screen
    RECT backdrop{};
    GetWindowRect(m_hBackdrop, &backdrop);
    const CPixels screen = CaptureScreen(backdrop);
    const DWORD crDesktop = CaptureScreen(RECT{0, 0, 1, 1}).At(0, 0);

    std::vector<bool> underButton(static_cast<std::size_t>(cx) * cy, false);
    for (const CButtonPlace& button : kButtonPlaces) {
        SCOPED_TRACE(button.pszBitmap);
        const CPixels bitmap = BitmapFile(button.pszBitmap);
        ASSERT_EQ(bitmap.cx, button.cx);
        ASSERT_EQ(bitmap.cy, button.cy);
        int nSame = 0;
        for (int y = 0; y < bitmap.cy; ++y) {
            for (int x = 0; x < bitmap.cx; ++x) {
                underButton[static_cast<std::size_t>(button.y + y) * cx + button.x + x] = true;
                nSame += Near(screen.At(button.x + x, button.y + y), bitmap.At(x, y)) ? 1 : 0;
            }
        }
        EXPECT_GE(nSame, bitmap.cx * bitmap.cy * 99 / 100);
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
            const DWORD argb = picture[nAt];
            if (underButton[nAt]) {
                continue;
            }
            if (argb >> 24 == 0xFF) {
                ++nOpaque;
                nOpaqueSame += Near(screen.At(x, y), argb & 0xFFFFFF) ? 1 : 0;
            } else if (argb >> 24 == 0) {
                ++nClear;
                nClearSame += Near(screen.At(x, y), crDesktop) ? 1 : 0;
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
    int nSame = 0;
    for (int y = 0; y < bitmap.cy; ++y) {
        for (int x = 0; x < bitmap.cx; ++x) {
            nSame += Near(screen.At(x, y), bitmap.At(x, y)) ? 1 : 0;
        }
    }
    EXPECT_GE(nSame, bitmap.cx * bitmap.cy * 99 / 100);
}

// A fake default browser for http addresses: the recorder, registered as the protocol's open command.
class CFakeBrowser {
public:
    CFakeBrowser() {
        if (RegCreateKeyExA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &m_hKey, nullptr) != ERROR_SUCCESS) {
            m_hKey = nullptr;
            return;
        }
        char szOld[1024] = {};
        DWORD dwSize = sizeof(szOld);
        if (RegQueryValueExA(m_hKey, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(szOld), &dwSize) ==
            ERROR_SUCCESS) {
            m_strOld = szOld;
        }
        const std::string strCommand = "\"" + WinePath(DRELK_RECORD_CMDLINE_HOST) + "\" \"%1\"";
        RegSetValueExA(m_hKey, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(strCommand.c_str()),
                       static_cast<DWORD>(strCommand.size() + 1));
    }
    ~CFakeBrowser() {
        if (m_hKey != nullptr) {
            RegSetValueExA(m_hKey, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(m_strOld.c_str()),
                           static_cast<DWORD>(m_strOld.size() + 1));
            RegCloseKey(m_hKey);
        }
    }
    bool Registered() const { return m_hKey != nullptr; }

private:
    HKEY m_hKey = nullptr;
    std::string m_strOld;
};

TEST_F(DrelkExeTest, ATabOpensItsPageInTheDesktopsDefaultBrowser) {
    CFakeBrowser browser;
    ASSERT_TRUE(browser.Registered());
    PostMessageA(GetDlgItem(m_hControls, IDC_BTN_HOME), BM_CLICK, 0, 0);
    ASSERT_TRUE(
        WaitFor([this] { return GetFileAttributesA(m_strRecord.c_str()) != INVALID_FILE_ATTRIBUTES; }));
    // The official site's built-in address (no settings file beside this Drelk.exe).
    const std::string strStarted = ReadFile(m_strRecord);
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

} // namespace
