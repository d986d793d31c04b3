// The launcher's login path on the native windows and the real WebBrowser control (under Wine, which
// raises BeforeNavigate2 and honours its cancel flag but renders no page): the login navigation of
// the platform's marker is cancelled and completed with the (absent) document's title, then either the
// game client is started or the backdrop ends with IDOK and the game address.
#include "launcher/controllers_dlg.h"
#include "launcher/drelk_client_dlg.h"
#include "launcher/page_failure.h"
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

// The control's connection point for DWebBrowserEvents2, or null (the caller releases it).
IConnectionPoint* EventConnectionPoint(CWnd& browser) {
    IDispatch* pControl = nullptr;
    browser.InvokeHelper(kDispidApplication, DISPATCH_PROPERTYGET, VT_DISPATCH, &pControl, nullptr);
    IConnectionPointContainer* pContainer = nullptr;
    IConnectionPoint* pPoint = nullptr;
    if (pControl != nullptr && SUCCEEDED(pControl->QueryInterface(IID_IConnectionPointContainer,
                                                                  reinterpret_cast<void**>(&pContainer)))) {
        pContainer->FindConnectionPoint(DIID_DWebBrowserEvents2, &pPoint);
        pContainer->Release();
    }
    if (pControl != nullptr) {
        pControl->Release();
    }
    return pPoint;
}

// Event arguments as the control passes them: references to a VARIANT or a flag, a frame object.
VARIANT ByRef(VARIANT& value) {
    VARIANT argument{};
    argument.vt = VT_VARIANT | VT_BYREF;
    argument.pvarVal = &value;
    return argument;
}
VARIANT ByRef(VARIANT_BOOL& bFlag) {
    VARIANT argument{};
    argument.vt = VT_BOOL | VT_BYREF;
    argument.pboolVal = &bFlag;
    return argument;
}
VARIANT Frame(IDispatch* pDisp) {
    VARIANT argument{};
    argument.vt = VT_DISPATCH;
    argument.pdispVal = pDisp;
    return argument;
}

// Raises an event as the control would: an Invoke of our host's sink, which is the control's client
// site. (Reached through the site rather than the connection point's enumerator, whose connections
// carry no reference under Wine.)
void RaiseEvent(CWnd& browser, DISPID dispid, DISPPARAMS& params) {
    IDispatch* pControl = nullptr;
    browser.InvokeHelper(kDispidApplication, DISPATCH_PROPERTYGET, VT_DISPATCH, &pControl, nullptr);
    IOleObject* pObject = nullptr;
    IOleClientSite* pSite = nullptr;
    IDispatch* pSink = nullptr;
    if (pControl != nullptr &&
        SUCCEEDED(pControl->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&pObject))) &&
        SUCCEEDED(pObject->GetClientSite(&pSite)) && pSite != nullptr &&
        SUCCEEDED(pSite->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&pSink)))) {
        pSink->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                      nullptr);
    }
    for (IUnknown* pUnknown : std::initializer_list<IUnknown*>{pSink, pSite, pObject, pControl}) {
        if (pUnknown != nullptr) {
            pUnknown->Release();
        }
    }
}

// A second sink on the control's connection point: what the control itself raises, in order.
class CRecordingSink : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == DIID_DWebBrowserEvents2) {
            *ppv = static_cast<IDispatch*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; } // lives as long as the test
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pn) override {
        *pn = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* pParams, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        std::wstring strUrl;
        // BeforeNavigate2 and NavigateError carry the URL second (in COM order, second from the end).
        if ((dispid == DISPID_BEFORENAVIGATE2 || dispid == DISPID_NAVIGATEERROR) && pParams->cArgs >= 2) {
            const VARIANT& url = pParams->rgvarg[pParams->cArgs - 2];
            if (url.vt == (VT_BYREF | VT_VARIANT) && url.pvarVal->vt == VT_BSTR &&
                url.pvarVal->bstrVal != nullptr) {
                strUrl = url.pvarVal->bstrVal;
            }
        }
        HRESULT hrStatus = S_OK;
        // NavigateError's status code, fourth in COM order (second from the first).
        if (dispid == DISPID_NAVIGATEERROR && pParams->cArgs == 5) {
            const VARIANT& status = pParams->rgvarg[1];
            if (status.vt == (VT_BYREF | VT_VARIANT) && status.pvarVal->vt == VT_I4) {
                hrStatus = status.pvarVal->lVal;
            }
        }
        events.push_back({dispid, strUrl, hrStatus});
        return S_OK;
    }
    struct CEvent {
        DISPID dispid;
        std::wstring strUrl;
        HRESULT hrStatus;
    };
    std::vector<CEvent> events;
};

// The control's events reach the dialog through the sink our host advised on its connection point:
// an Invoke of that sink with DocumentComplete (which Wine's control never raises, having no engine
// to render pages) makes the controls window navigate to the start page, which the server sees.
TEST_F(LauncherNavigationTest, DocumentCompleteThroughTheEventSinkOpensTheStartPage) {
    const INT_PTR nResult = RunLauncher(
        "page=" + m_server.Url("/mini/zonelist.html") + "\r\n", [](HWND, UINT, UINT_PTR nTimer, DWORD) {
            KillTimer(nullptr, nTimer);
            CWnd& browser = s_pDialog->m_pControls->m_browser;
            // DocumentComplete(pDisp, URL), in COM order: the last argument first.
            VARIANT url{};
            url.vt = VT_BSTR;
            url.bstrVal = SysAllocString(L"about:blank");
            VARIANT args[2] = {ByRef(url), Frame(nullptr)};
            DISPPARAMS params{args, nullptr, 2, 0};
            RaiseEvent(browser, DISPID_DOCUMENTCOMPLETE, params);
            VariantClear(&url);
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

// The failed address as the program's page carries it: its UTF-8 bytes in hexadecimal.
std::wstring HexOf(const std::string& strText) {
    std::wstring strHex;
    for (unsigned char c : strText) {
        strHex += L"0123456789abcdef"[c >> 4];
        strHex += L"0123456789abcdef"[c & 0xF];
    }
    return strHex;
}

// A list that cannot be shown: NavigateError through the sink (with the control's own frame object,
// the top-level one) is cancelled, the control is sent to the program's page, a resource of the
// executable, by a res: address carrying the failure and the failed address, and the list is asked
// for again 3 s later (the server sees it). Wine's control cannot show that page (it has no engine)
// and says so with a NavigateError of its own, which leaves the retries going. Then a real
// navigation to a closed port: Wine's control raises NavigateError itself, and the program's page
// follows.
TEST_F(LauncherNavigationTest, NavigateErrorShowsTheProgramsOwnPageAndTheListIsRetried) {
    static CRecordingSink s_sink;
    static VARIANT_BOOL s_bCancel = VARIANT_FALSE;
    static std::string s_strList;
    s_strList = m_server.Url("/mini/zonelist.html");
    const INT_PTR nResult = RunLauncher("page=" + s_strList + "\r\n", [](HWND, UINT, UINT_PTR nTimer, DWORD) {
        KillTimer(nullptr, nTimer);
        CWnd& browser = s_pDialog->m_pControls->m_browser;
        DWORD dwCookie = 0;
        if (IConnectionPoint* pPoint = EventConnectionPoint(browser)) {
            pPoint->Advise(&s_sink, &dwCookie);
            pPoint->Release();
        }
        IDispatch* pControl = nullptr;
        browser.InvokeHelper(kDispidApplication, DISPATCH_PROPERTYGET, VT_DISPATCH, &pControl, nullptr);
        // NavigateError(pDisp, URL, TargetFrameName, StatusCode, Cancel), last first.
        VARIANT url{}, frame{}, status{};
        url.vt = VT_BSTR;
        url.bstrVal = SysAllocString(std::wstring(s_strList.begin(), s_strList.end()).c_str());
        status.vt = VT_I4;
        status.lVal = INET_E_CANNOT_CONNECT;
        VARIANT args[5] = {ByRef(s_bCancel), ByRef(status), ByRef(frame), ByRef(url), Frame(pControl)};
        DISPPARAMS params{args, nullptr, 5, 0};
        RaiseEvent(browser, DISPID_NAVIGATEERROR, params);
        VariantClear(&url);
        if (pControl != nullptr) {
            pControl->Release();
        }
        // The retry reaches the server after 3 s; ten are allowed.
        s_dwDeadline = GetTickCount() + 10000;
        SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR nPoll, DWORD) {
            if (s_pServer->Requests().empty() && GetTickCount() < s_dwDeadline) {
                return;
            }
            KillTimer(nullptr, nPoll);
            s_sink.events.push_back({0, L"", S_OK}); // the real navigation starts here
            s_pDialog->m_pControls->m_browser.Navigate("http://127.0.0.1:1/mini/zonelist.html", nullptr,
                                                       nullptr, nullptr, nullptr);
            s_dwDeadline = GetTickCount() + 5000;
            SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR nEnd, DWORD) {
                if (GetTickCount() > s_dwDeadline) {
                    KillTimer(nullptr, nEnd);
                    PostQuitMessage(0);
                }
            });
        });
    });
    EXPECT_EQ(nResult, -1);
    EXPECT_EQ(s_bCancel, VARIANT_TRUE); // the control's own error page is not shown
    EXPECT_NE(FindResourceA(nullptr, "HTML2201", MAKEINTRESOURCEA(23)), nullptr);
    const std::vector<std::string> requests = m_server.Requests();
    ASSERT_FALSE(requests.empty()) << "the list was not asked for again";
    EXPECT_EQ(CLoopbackServer::RequestLine(requests[0]), "GET /mini/zonelist.html HTTP/1.1");

    // Where the program's page was asked for, by its res: address and the reason in it.
    auto OwnPageAfter = [&](size_t nFrom, const std::wstring& strReasonAndUrl) {
        for (size_t i = nFrom; i < s_sink.events.size(); ++i) {
            const CRecordingSink::CEvent& event = s_sink.events[i];
            if (event.dispid == DISPID_BEFORENAVIGATE2 && event.strUrl.rfind(L"res://", 0) == 0 &&
                event.strUrl.find(L".exe/HTML2201#" + strReasonAndUrl) != std::wstring::npos) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(OwnPageAfter(0, L"refused:" + HexOf(s_strList)));
    size_t nWineError = s_sink.events.size();
    for (size_t i = 0, nReal = s_sink.events.size(); i < s_sink.events.size(); ++i) {
        const CRecordingSink::CEvent& event = s_sink.events[i];
        nReal = event.dispid == 0 ? i : nReal;
        if (i > nReal && event.dispid == DISPID_NAVIGATEERROR && event.strUrl.rfind(L"http:", 0) == 0) {
            nWineError = i;
            std::printf("Wine's control raised NavigateError for a closed port, status 0x%08lX\n",
                        static_cast<unsigned long>(event.hrStatus));
            break;
        }
    }
    ASSERT_LT(nWineError, s_sink.events.size()) << "Wine's control raised no NavigateError for a closed port";
    const EPageFailure eFailure = ClassifyNavigateError(s_sink.events[nWineError].hrStatus);
    const std::string strCode = PageFailureCode(eFailure);
    EXPECT_TRUE(OwnPageAfter(nWineError, std::wstring(strCode.begin(), strCode.end()) + L":" +
                                             HexOf("http://127.0.0.1:1/mini/zonelist.html")));
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
