// The launcher's login path on the native windows and the real WebBrowser control (under Wine, which
// raises BeforeNavigate2 and honours its cancel flag but renders no page): the login navigation of
// the platform's marker is cancelled and completed with the (absent) document's title, then either the
// game client is started or the backdrop ends with IDOK and the game address.
#include "app/drelk_client_app.h"
#include "launcher/controllers_dlg.h"
#include "launcher/drelk_client_dlg.h"
#include "settings/client_config.h"
#include "settings/client_reporter.h"
#include "support/loopback_server.h"

#include <ole2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string ProgramDirectory() {
    char szPath[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    std::string strPath = szPath;
    return strPath.substr(0, strPath.find_last_of('\\'));
}

std::string ReadFile(const std::string& strPath) {
    std::ifstream file(strPath, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

class LauncherNavigationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        m_strRecord = ProgramDirectory() + "\\record-" + std::to_string(GetCurrentProcessId());
        DeleteFileA(m_strRecord.c_str());
        SetEnvironmentVariableA("DRELK_RECORD_FILE", m_strRecord.c_str());
    }
    void TearDown() override {
        DeleteFileA((ProgramDirectory() + "\\pm_config.ini").c_str());
        DeleteFileA(m_strRecord.c_str());
        delete g_pClientConfig;
        g_pClientConfig = nullptr;
        delete g_pClientReporter;
        g_pClientReporter = nullptr;
        OleUninitialize();
    }

    // Runs the launcher as the program does and, once it is up, navigates its browser to the login
    // address. The backdrop's DoModal result.
    INT_PTR RunLauncherAndLogIn(const std::string& strSettings) {
        std::ofstream(ProgramDirectory() + "\\pm_config.ini", std::ios::binary) << strSettings;
        g_pClientConfig = new CClientConfig;
        g_pClientReporter = new CClientReporter;
        AfxWinInit(&m_app, "");
        g_bControlsCreated = false;
        CDrelkClientDlg dialog;
        g_pClientDlg = &dialog;
        s_pDialog = &dialog;
        s_strLogin = m_strLogin;
        SetTimer(nullptr, 0, 500, [](HWND, UINT, UINT_PTR nTimer, DWORD) {
            KillTimer(nullptr, nTimer);
            s_pDialog->m_pControls->m_browser.Navigate(s_strLogin.c_str(), nullptr, nullptr, nullptr,
                                                       nullptr);
        });
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

    static inline CDrelkClientDlg* s_pDialog = nullptr;
    static inline std::string s_strLogin;
    CDrelkClientApp m_app;
    std::string m_strRecord;
    // The login address is the loopback server's: a cancelled navigation never reaches it.
    CLoopbackServer m_server;
    const std::string m_strLogin = m_server.Url("/login.php?sid=7");
};

TEST_F(LauncherNavigationTest, WithTheGameClientTheLoginStartsItWithTheAddressAndEndsTheLauncher) {
    EXPECT_EQ(RunLauncherAndLogIn("airclient=true\r\n"), -1); // ended by the quit message
    // The client (our recorder as game\DrelkClient.exe) got exactly " p " + address + "&server_name=".
    const DWORD dwDeadline = GetTickCount() + 10000;
    while (GetFileAttributesA(m_strRecord.c_str()) == INVALID_FILE_ATTRIBUTES &&
           GetTickCount() < dwDeadline) {
        Sleep(50);
    }
    EXPECT_EQ(ReadFile(m_strRecord), " p " + m_strLogin + "&server_name=");
    EXPECT_TRUE(m_app.m_strGameUrl.empty());
    EXPECT_TRUE(m_server.Requests().empty());
}

TEST_F(LauncherNavigationTest, WithoutTheGameClientTheBackdropEndsWithOkAndTheGameAddress) {
    EXPECT_EQ(RunLauncherAndLogIn("airclient=false\r\n"), IDOK);
    EXPECT_EQ(m_app.m_strGameUrl, m_strLogin + "&server_name=");
    EXPECT_EQ(GetFileAttributesA(m_strRecord.c_str()), INVALID_FILE_ATTRIBUTES); // no client started
    EXPECT_TRUE(m_server.Requests().empty());
}

} // namespace
