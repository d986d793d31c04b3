// The launcher's login path on the native windows and the real WebBrowser control (under Wine, which
// raises BeforeNavigate2 and honours its cancel flag but renders no page): the login navigation of
// the platform's marker is cancelled and completed with the (absent) document's title, then either the
// game client is started or the backdrop ends with IDOK and the game address.
#include "launcher/controllers_dlg.h"
#include "launcher/drelk_client_dlg.h"
#include "support/app_fixture.h"
#include "support/loopback_server.h"

#include <exdisp.h>
#include <exdispid.h>
#include <ole2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>

#include <cstdio>
#include <fstream>
#include <thread>
#include <vector>
#include <string>

namespace {

constexpr DISPID kDispidApplication = 200; // the control's Application property: the control itself

class LauncherNavigationTest : public CWin32AppTest {
protected:
    // Runs the launcher as the program does and, once it is up, calls what the test does with it.
    // The backdrop's DoModal result.
    INT_PTR RunLauncher(const std::string& strSettings, TIMERPROC pfnOnceUp) {
        std::ofstream(ProgramDirectory() + "\\pm_config.ini", std::ios::binary) << strSettings;
        StartApplication();
        g_bControlsCreated = false;
        CDrelkClientDlg dialog;
        g_pClientDlg = &dialog;
        s_pDialog = &dialog;
        s_pServer = &m_server;
        SetTimer(nullptr, 0, 500, pfnOnceUp);
        const INT_PTR nResult = dialog.DoModal();
        g_pClientDlg = nullptr;
        s_pDialog = nullptr;
        if (dialog.m_pControls != nullptr) {
            dialog.m_pControls->DestroyWindow();
            delete dialog.m_pControls;
        }
        MSG msg{};
        PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE); // a quit left for the outermost loop
        return nResult;
    }

    // Runs the launcher and navigates its browser to the login address once it is up.
    INT_PTR RunLauncherAndLogIn(const std::string& strSettings) {
        s_strLogin = m_strLogin;
        return RunLauncher(strSettings, [](HWND, UINT, UINT_PTR nTimer, DWORD) {
            KillTimer(nullptr, nTimer);
            s_pDialog->m_pControls->m_browser.Navigate(s_strLogin.c_str(), nullptr, nullptr, nullptr,
                                                       nullptr);
        });
    }

    static inline CDrelkClientDlg* s_pDialog = nullptr;
    static inline std::string s_strLogin;
    static inline CLoopbackServer* s_pServer = nullptr;
    static inline DWORD s_dwDeadline = 0;
    // The login address is the loopback server's: a cancelled navigation never reaches it.
    CLoopbackServer m_server;
    const std::string m_strLogin = m_server.Url("/login.php?sid=7");
};

TEST_F(LauncherNavigationTest, WithTheGameClientTheLoginStartsItWithTheAddressAndEndsTheLauncher) {
    EXPECT_EQ(RunLauncherAndLogIn("airclient=true\r\n"), -1); // ended by the quit message
    // The client (our recorder as game\DrelkClient.exe) got exactly " p " + address + "&server_name=".
    WaitFor([this] { return Recorded(); }, 10);
    EXPECT_EQ(ReadWholeFile(m_strRecord), " p " + m_strLogin + "&server_name=");
    EXPECT_TRUE(m_app.m_strGameUrl.empty());
    EXPECT_TRUE(m_server.Requests().empty());
}

TEST_F(LauncherNavigationTest, WithoutTheGameClientTheBackdropEndsWithOkAndTheGameAddress) {
    EXPECT_EQ(RunLauncherAndLogIn("airclient=false\r\n"), IDOK);
    EXPECT_EQ(m_app.m_strGameUrl, m_strLogin + "&server_name=");
    EXPECT_EQ(GetFileAttributesA(m_strRecord.c_str()), INVALID_FILE_ATTRIBUTES); // no client started
    EXPECT_TRUE(m_server.Requests().empty());
}

// The control's events reach the dialog through the sink our host advised on its connection point:
// an Invoke of that sink with DocumentComplete (which Wine's control never raises, having no engine
// to render pages) makes the controls window navigate to the start page, which the server sees.
TEST_F(LauncherNavigationTest, DocumentCompleteThroughTheEventSinkOpensTheStartPage) {
    const INT_PTR nResult = RunLauncher(
        "page=" + m_server.Url("/mini/zonelist.html") + "\r\n", [](HWND, UINT, UINT_PTR nTimer, DWORD) {
            KillTimer(nullptr, nTimer);
            CWnd& browser = s_pDialog->m_pControls->m_browser;
            IDispatch* pControl = nullptr;
            browser.InvokeHelper(kDispidApplication, DISPATCH_PROPERTYGET, VT_DISPATCH, &pControl, nullptr);
            IConnectionPointContainer* pContainer = nullptr;
            IConnectionPoint* pPoint = nullptr;
            IEnumConnections* pConnections = nullptr;
            CONNECTDATA connection{};
            ULONG nFetched = 0;
            if (pControl != nullptr &&
                SUCCEEDED(pControl->QueryInterface(IID_IConnectionPointContainer,
                                                   reinterpret_cast<void**>(&pContainer))) &&
                SUCCEEDED(pContainer->FindConnectionPoint(DIID_DWebBrowserEvents2, &pPoint)) &&
                SUCCEEDED(pPoint->EnumConnections(&pConnections)) &&
                pConnections->Next(1, &connection, &nFetched) == S_OK) {
                IDispatch* pSink = nullptr;
                if (SUCCEEDED(
                        connection.pUnk->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&pSink)))) {
                    // DocumentComplete(pDisp, URL), in COM order: the last argument first.
                    VARIANT url{};
                    url.vt = VT_BSTR;
                    url.bstrVal = SysAllocString(L"about:blank");
                    VARIANT args[2] = {};
                    args[0].vt = VT_VARIANT | VT_BYREF;
                    args[0].pvarVal = &url;
                    args[1].vt = VT_DISPATCH;
                    args[1].pdispVal = pControl;
                    DISPPARAMS params{args, nullptr, 2, 0};
                    pSink->Invoke(DISPID_DOCUMENTCOMPLETE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                  &params, nullptr, nullptr, nullptr);
                    VariantClear(&url);
                    pSink->Release();
                }
                connection.pUnk->Release();
            }
            for (IUnknown* pUnknown :
                 std::initializer_list<IUnknown*>{pConnections, pPoint, pContainer, pControl}) {
                if (pUnknown != nullptr) {
                    pUnknown->Release();
                }
            }
            // Then the launcher ends once the server has seen a request, or after ten seconds.
            s_dwDeadline = GetTickCount() + 10000;
            SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR nPoll, DWORD) {
                if (!s_pServer->Requests().empty() || GetTickCount() > s_dwDeadline) {
                    KillTimer(nullptr, nPoll);
                    PostQuitMessage(0);
                }
            });
        });
    EXPECT_EQ(nResult, -1);
    const std::vector<std::string> requests = m_server.Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(CLoopbackServer::RequestLine(requests[0]), "GET /mini/zonelist.html HTTP/1.1");
}

// A launcher's top-level window in another process: the backdrop of a program started anew.
HWND FindOtherLauncher() {
    struct CSearch {
        HWND hFound = nullptr;
    } search;
    EnumWindows(
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            DWORD dwProcess = 0;
            GetWindowThreadProcessId(hWnd, &dwProcess);
            RECT rect{};
            GetWindowRect(hWnd, &rect);
            if (dwProcess != GetCurrentProcessId() && IsWindowVisible(hWnd) &&
                (GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0 &&
                GetWindow(hWnd, GW_OWNER) == nullptr && rect.right - rect.left == 1024 &&
                rect.bottom - rect.top == 635) {
                reinterpret_cast<CSearch*>(lParam)->hFound = hWnd;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.hFound;
}

// The two phases in one run: the application's InitInstance shows the launcher, its real control
// navigates to the login address, the game window opens on the completed address, and closing it,
// confirmed, starts Drelk.exe (copied into this program's folder) again, which shows the launcher.
TEST_F(LauncherNavigationTest, TheLoginOpensTheGameWindowAndClosingItStartsTheLauncherAgain) {
    std::ofstream(ProgramDirectory() + "\\pm_config.ini", std::ios::binary) << "airclient=false\r\n";
    StartApplication();
    m_app.m_pszExeName = "Drelk";
    g_bControlsCreated = false;
    s_strLogin = m_strLogin;
    SetTimer(nullptr, 0, 1000, [](HWND, UINT, UINT_PTR nTimer, DWORD) {
        KillTimer(nullptr, nTimer);
        if (g_pClientDlg != nullptr && g_pClientDlg->m_pControls != nullptr) {
            g_pClientDlg->m_pControls->m_browser.Navigate(s_strLogin.c_str(), nullptr, nullptr, nullptr,
                                                          nullptr);
        }
    });
    std::atomic<HWND> hGameWindow{nullptr};
    std::thread player([&] {
        // The game window: this process's maximised captioned window.
        WaitFor([&] {
            for (HWND hWnd : WindowsOf(GetCurrentProcessId())) {
                if ((GetWindowLongA(hWnd, GWL_STYLE) & WS_CAPTION) == WS_CAPTION && IsZoomed(hWnd)) {
                    hGameWindow = hWnd;
                }
            }
            return hGameWindow != nullptr;
        });
        if (hGameWindow == nullptr) {
            PostQuitMessage(0);
            return;
        }
        WaitFor([&] { return !m_server.Requests().empty(); }, 10);
        PostMessageA(hGameWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
        if (HWND hBox = WaitForMessageBox(GetCurrentProcessId(), {hGameWindow})) {
            PostMessageA(GetDlgItem(hBox, IDYES), BM_CLICK, 0, 0);
        }
    });
    EXPECT_FALSE(m_app.InitInstance());
    player.join();
    EXPECT_NE(hGameWindow.load(), nullptr);
    EXPECT_EQ(m_app.m_strGameUrl, m_strLogin + "&server_name=");
    // The game window's page is the completed address; the cancelled login never reached the server.
    const std::vector<std::string> requests = m_server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(CLoopbackServer::RequestLine(requests[0]), "GET /login.php?sid=7&server_name= HTTP/1.1");
    // Drelk.exe again, with its launcher.
    HWND hLauncher = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (hLauncher = FindOtherLauncher()) != nullptr; }));
    if (hLauncher != nullptr) {
        DWORD dwProcess = 0;
        GetWindowThreadProcessId(hLauncher, &dwProcess);
        if (HANDLE hProcess = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, dwProcess)) {
            TerminateProcess(hProcess, 0);
            WaitForSingleObject(hProcess, 10000);
            CloseHandle(hProcess);
        }
    }
}

} // namespace
