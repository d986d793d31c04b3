// The scenarios on the native windows, under Wine on a virtual screen with a window manager. The
// script runs on a player's thread while the test's thread runs the window's modal loop; the player
// acts with the host's real pointer and keyboard (xdotool), reads the windows' real rectangles,
// regions and the screen's pixels, answers the real message boxes, and sees what the program did
// through a loopback server (the game address), the recorder (the default browser and the
// relaunched launcher) and WinInet's cache. Wine has no page engine: no document completes.
#include "scenarios/scenario_driver.h"

#include "support/app_fixture.h"
#include "support/loopback_server.h"

#include "framework/dialog.h"

#include <wininet.h>

#include <atomic>
#include <thread>

namespace {

constexpr char kUiClass[] = "DrelkScenarioUi";
constexpr UINT kRunOnUi = WM_APP + 1;

std::string Utf8(const std::wstring& strText) {
    const int nBytes =
        WideCharToMultiByte(CP_UTF8, 0, strText.c_str(), int(strText.size()), nullptr, 0, nullptr, nullptr);
    std::string strUtf8(std::size_t(nBytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, strText.c_str(), int(strText.size()), strUtf8.data(), nBytes, nullptr,
                        nullptr);
    return strUtf8;
}

CPixelBlock FromPixels(const CPixels& pixels, DWORD dwMask = 0xFFFFFF) {
    CPixelBlock block{pixels.cx, pixels.cy, {}};
    block.rgb.reserve(pixels.bits.size());
    for (DWORD bits : pixels.bits) {
        block.rgb.push_back(bits & dwMask);
    }
    return block;
}

// The fixture's set-up and tear-down, without the gtest fixture around them.
class CWin32Program : public CWin32AppTest {
public:
    CWin32Program() { SetUp(); }
    ~CWin32Program() override { TearDown(); }
    void TestBody() override {}
    using CWin32AppTest::m_app;
    using CWin32AppTest::m_strRecord;
    using CWin32AppTest::Recorded;
    using CWin32AppTest::StartApplication;
};

class CWin32Driver : public CScenarioDriver {
public:
    CWin32Driver() : m_browser(DRELK_RECORD_CMDLINE_HOST) {
        m_program.StartApplication();
        // The relaunch starts this folder's "DrelkRelaunch.exe": the recorder.
        m_program.m_app.m_pszExeName = "DrelkRelaunch";
        CClientConfig::Instance()->SetDefaults();
        m_program.m_app.m_strGameUrl = GameAddress();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = [](HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (message == kRunOnUi) {
                (*reinterpret_cast<const std::function<void()>*>(lParam))();
                return 0;
            }
            return DefWindowProcA(hWnd, message, wParam, lParam);
        };
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kUiClass;
        RegisterClassA(&windowClass);
        m_hUi = CreateWindowExA(0, kUiClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance,
                                nullptr);
    }
    ~CWin32Driver() override { DestroyWindow(m_hUi); }

    bool RendersPages() const override { return false; }
    bool KeepsUrlCacheEntries() const override { return true; }
    std::string GameAddress() const override { return m_server.Url("/game.html?sid=7&server_name="); }

    INT_PTR RunModal(CDialog& dialog, const std::function<void()>& script) override {
        static std::atomic<bool> s_bScriptDone;
        static CDialog* s_pDialog;
        s_bScriptDone = false;
        s_pDialog = &dialog;
        const UINT_PTR nTimer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR nTimer, DWORD) {
            if (s_bScriptDone) {
                KillTimer(nullptr, nTimer);
                if (s_pDialog->m_hWnd != nullptr) {
                    s_pDialog->EndDialog(IDABORT);
                }
            }
        });
        std::thread player([&] {
            if (::WaitFor([&] { return dialog.m_hWnd != nullptr && IsWindowVisible(dialog.m_hWnd); })) {
                Sleep(1000); // the first paints reach the screen
                script();
            }
            s_bScriptDone = true;
        });
        const INT_PTR nResult = dialog.DoModal();
        s_bScriptDone = true;
        player.join();
        KillTimer(nullptr, nTimer);
        // A modal loop ended by the quit message posts it again for the loop around it: here there is
        // none, and the next scenario's loop must not end at once.
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        return nResult;
    }
    void OnUiThread(const std::function<void()>& fn) override {
        SendMessageA(m_hUi, kRunOnUi, 0, reinterpret_cast<LPARAM>(&fn));
    }
    bool WaitFor(const std::function<bool()>& done, int nSeconds) override {
        return ::WaitFor(done, nSeconds);
    }
    void Settle() override { Sleep(500); }

    CRect WindowRect(HWND hWnd) override {
        RECT rect{};
        GetWindowRect(hWnd, &rect);
        return rect;
    }
    CRect WorkArea() override {
        RECT rect{};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &rect, 0);
        return rect;
    }
    CPixelBlock Capture(HWND hWnd, const CRect& rect) override {
        CRect onScreen = rect;
        const CRect window = WindowRect(hWnd);
        onScreen.OffsetRect(window.left, window.top);
        return FromPixels(CaptureScreen(onScreen));
    }
    bool InShape(HWND hWnd, CPoint pt) override {
        HRGN hRegion = CreateRectRgn(0, 0, 0, 0);
        const bool bInside = GetWindowRgn(hWnd, hRegion) == ERROR || PtInRegion(hRegion, pt.x, pt.y);
        DeleteObject(hRegion);
        return bInside;
    }
    CPixelBlock PictureFile(const std::string& strName) override {
        return strName.ends_with(".bmp") ? FromPixels(BitmapFile(strName))
                                         : FromPixels(::PictureFile(strName), 0xFFFFFFFF);
    }

    void MoveTo(HWND hWnd, CPoint pt) override {
        const CPoint screen = Screen(hWnd, pt);
        EXPECT_TRUE(PointAt(screen.x, screen.y));
    }
    void Click(HWND hWnd, CPoint pt) override {
        const CPoint screen = Screen(hWnd, pt);
        EXPECT_TRUE(ClickOnScreen(screen.x, screen.y));
    }
    void DoubleClick(HWND hWnd, CPoint pt) override {
        const CPoint screen = Screen(hWnd, pt);
        EXPECT_TRUE(ClickOnScreen(screen.x, screen.y, true));
    }
    void Drag(HWND hWnd, CPoint from, CPoint to) override {
        const CPoint screen = Screen(hWnd, from);
        EXPECT_TRUE(DragOnScreen(screen.x, screen.y, to.x - from.x, to.y - from.y));
    }
    void Key(HWND, UINT nVirtualKey) override {
        EXPECT_TRUE(RunOnHost(std::string("xdotool key ") + (nVirtualKey == VK_RETURN ? "Return" : "Escape") +
                              "; sleep 0.3"));
    }
    CQuestion ClickAndAnswer(HWND hWnd, CPoint pt, int nAnswer) override {
        CQuestion question;
        const std::vector<HWND> shown = WindowsOf(GetCurrentProcessId());
        Click(hWnd, pt);
        HWND hBox = WaitForMessageBox(GetCurrentProcessId(), shown);
        if (hBox == nullptr) {
            return question;
        }
        question.bAsked = true;
        question.strCaption = Utf8(TextOf(hBox));
        question.strText = Utf8(TextOf(GetDlgItem(hBox, 0xFFFF)));
        PostMessageA(GetDlgItem(hBox, nAnswer), BM_CLICK, 0, 0);
        EXPECT_TRUE(::WaitFor([hBox] { return !IsWindow(hBox); }));
        return question;
    }
    bool SystemMenuShown() override {
        const auto menuShown = [] {
            HWND hMenu = FindWindowA("#32768", nullptr);
            return hMenu != nullptr && IsWindowVisible(hMenu) != FALSE;
        };
        const bool bShown = ::WaitFor(menuShown, 5);
        EXPECT_TRUE(RunOnHost("xdotool key Escape; sleep 0.3"));
        EXPECT_TRUE(::WaitFor([&] { return !menuShown(); }, 5));
        return bShown;
    }

    std::string WaitForOpenedPage(int nSeconds) override {
        if (!::WaitFor([&] { return m_program.Recorded(); }, nSeconds)) {
            return "";
        }
        Sleep(200); // the recorder has finished writing
        const std::string strOpened = ReadWholeFile(m_program.m_strRecord);
        DeleteFileA(m_program.m_strRecord.c_str());
        return strOpened;
    }
    std::size_t GameAddressRequests() override {
        std::size_t nRequests = 0;
        for (const std::string& strRequest : m_server.Requests()) {
            nRequests +=
                CLoopbackServer::RequestLine(strRequest) == "GET /game.html?sid=7&server_name= HTTP/1.1";
        }
        return nRequests;
    }
    std::string WaitForRelaunch() override { return WaitForOpenedPage(20); }
    std::string LauncherPath() const override { return ProgramDirectory() + "\\DrelkRelaunch.exe"; }
    bool AddCacheEntry(const std::string& strUrl) override {
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
        return CommitUrlCacheEntryA(strUrl.c_str(), szFile, never, never, NORMAL_CACHE_ENTRY, nullptr, 0,
                                    nullptr, nullptr) != FALSE &&
               InCache(strUrl);
    }
    bool InCache(const std::string& strUrl) override {
        DWORD dwSize = 0;
        GetUrlCacheEntryInfoA(strUrl.c_str(), nullptr, &dwSize);
        return GetLastError() == ERROR_INSUFFICIENT_BUFFER;
    }
    bool SetCookie(const std::string& strUrl, const std::string& strName,
                   const std::string& strData) override {
        return InternetSetCookieA(strUrl.c_str(), strName.c_str(), strData.c_str()) != FALSE;
    }
    bool HasCookie(const std::string& strUrl, const std::string& strName) override {
        char szCookie[256] = {};
        DWORD dwSize = sizeof(szCookie);
        return InternetGetCookieA(strUrl.c_str(), strName.c_str(), szCookie, &dwSize) != FALSE;
    }
    bool WaitForGamePage() override { return false; }

private:
    CPoint Screen(HWND hWnd, CPoint pt) { return WindowRect(hWnd).TopLeft() + pt; }

    CWin32Program m_program;
    CFakeBrowser m_browser;
    CLoopbackServer m_server;
    HWND m_hUi = nullptr;
};

} // namespace

std::unique_ptr<CScenarioDriver> MakeScenarioDriver() { return std::make_unique<CWin32Driver>(); }
