#include "app/drelk_client_app.h"

#include "gamewindow/htmlbrowser_dlg.h"
#include "launcher/controllers_dlg.h"
#include "launcher/doc_host_ui_handler.h"
#include "launcher/drelk_client_dlg.h"

#include "support/window_fixture.h"

namespace {

class DrelkClientAppTest : public CWindowTest {
protected:
    void SetUp() override {
        CWindowTest::SetUp();
        g_pClientDlg = nullptr;
        g_bControlsCreated = false;
        g_pDocHostUIHandler = nullptr;
    }
    void TearDown() override {
        // What the program keeps until it ends.
        if (g_pClientDlg != nullptr) {
            delete g_pClientDlg->m_pControls;
            delete g_pClientDlg;
        }
        g_pClientDlg = nullptr;
        // Its creator's reference went with the launcher's windows.
        g_pDocHostUIHandler = nullptr;
        CWindowTest::TearDown();
    }
};

TEST_F(DrelkClientAppTest, QuitEndsTheProgramWithoutTheGamePhase) {
    int nIdle = 0;
    Platform().onIdle = [&] {
        ++nIdle;
        AfxPostQuitMessage(0);
        return true;
    };
    EXPECT_FALSE(App()->InitInstance());
    EXPECT_EQ(nIdle, 1);
    EXPECT_EQ(App()->m_pMainWnd, nullptr);
    EXPECT_NE(g_pClientDlg, nullptr); // only the OK path clears it
    EXPECT_EQ(App()->m_dwRestartManagerSupportFlags, static_cast<DWORD>(AFX_RESTART_MANAGER_SUPPORT_RESTART));
}

TEST_F(DrelkClientAppTest, OkFromTheLoginOpensTheGameWindowOnItsAddress) {
    CDrelkClientDlg* pLauncher = nullptr;
    CControllersDlg* pControls = nullptr;
    bool bGameWindowSeen = false;
    int nIdle = 0;
    Platform().onIdle = [&] {
        ++nIdle;
        if (nIdle == 1) {
            pLauncher = g_pClientDlg;
            pControls = pLauncher->m_pControls;
            // The list is up; the player picks a server.
            CBrowserControl* pBrowser = ModelGetBrowserControl(pControls->m_browser.m_hWnd);
            pBrowser->FireDocumentComplete(u"about:blank");
            pBrowser->SetTitle(u"双线一区");
            pBrowser->FireBeforeNavigate2(u"http://op/login.php?sid=1");
            return true;
        }
        auto* pGame = dynamic_cast<ChtmlbrowserDlg*>(App()->m_pMainWnd);
        bGameWindowSeen = pGame != nullptr && pGame->IsZoomed() && g_pClientDlg == nullptr &&
                          pLauncher->m_hWnd == nullptr &&
                          Platform().navigations.back() == u"http://op/login.php?sid=1&server_name=双线一区";
        return false;
    };
    EXPECT_FALSE(App()->InitInstance());
    EXPECT_TRUE(bGameWindowSeen);
    auto* pGame = static_cast<ChtmlbrowserDlg*>(App()->m_pMainWnd);
    delete pGame->m_pSkinImage;
    delete pGame;
    App()->m_pMainWnd = nullptr;
    EXPECT_TRUE(pControls->HandlerReleased());
    delete pControls;
    delete pLauncher;
}

} // namespace
