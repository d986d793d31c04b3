#include "launcher/login_rules.h"

#include "framework/codepage.h"

#include "support/launcher_fixture.h"

namespace {

class NavigationTest : public CLauncherTest {
protected:
    // Runs the launcher, completes the blank page and the start page, then runs the step.
    INT_PTR RunWithServerList(const std::function<void()>& step) {
        return RunLauncher([&](CDrelkClientDlg&) {
            Browser().FireDocumentComplete(u"about:blank");
            Browser().SetTitle(u"双线一区");
            Browser().FireDocumentComplete(u"http://op/mini/zonelist.html");
            step();
        });
    }
};

TEST_F(NavigationTest, FirstDocumentInstallsTheHandlerAndOpensTheStartPage) {
    RunLauncher([&](CDrelkClientDlg&) {
        CClientConfig::Instance()->SetValue("page", "http://op/mini/zonelist.html");
        Browser().FireDocumentComplete(u"about:blank");
        ASSERT_NE(g_pDocHostUIHandler, nullptr);
        EXPECT_EQ(Browser().m_pUIHandler, g_pDocHostUIHandler);
        EXPECT_EQ(Browser().HostInfo().dwFlags,
                  static_cast<DWORD>(DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO));
        EXPECT_TRUE(Browser().HandlerSuppressesContextMenu(POINT{1, 1}));
        ASSERT_EQ(Platform().navigations.size(), 2u);
        EXPECT_EQ(Platform().navigations[1], u"http://op/mini/zonelist.html");
        // The first blank page never shows the browser; a later blank page changes nothing.
        EXPECT_FALSE(Controls().m_browser.IsWindowVisible());
        Browser().FireDocumentComplete(u"http://x/?back=about:blank");
        EXPECT_FALSE(Controls().m_browser.IsWindowVisible());
        // A real page places and shows it.
        Browser().FireDocumentComplete(u"http://op/mini/zonelist.html");
        EXPECT_TRUE(Controls().m_browser.IsWindowVisible());
        EXPECT_EQ(ChildRect(Controls().m_browser), CRect(316, 98, 998, 600));
        CDocHostUIHandlerImpl* pHandler = g_pDocHostUIHandler;
        Browser().FireDocumentComplete(u"http://op/other.html");
        EXPECT_EQ(g_pDocHostUIHandler, pHandler); // one handler per process
    });
}

TEST_F(NavigationTest, OrdinaryNavigationsGoAhead) {
    RunWithServerList([&] {
        EXPECT_FALSE(Browser().FireBeforeNavigate2(u"http://op/news.html"));
        EXPECT_EQ(Platform().nStops, 0);
    });
}

TEST_F(NavigationTest, LoginWithTheGameWindowStoresTheAddressAndEndsWithOk) {
    g_pClientDlg = nullptr;
    INT_PTR nResult = -1;
    RunLauncher([&](CDrelkClientDlg& dialog) {
        g_pClientDlg = &dialog;
        Browser().FireDocumentComplete(u"about:blank");
        Browser().SetTitle(u"双线一区");
        EXPECT_TRUE(Browser().FireBeforeNavigate2(u"http://op/login.php?sid=1"));
        EXPECT_EQ(Platform().nStops, 1);
        EXPECT_EQ(App()->m_strGameUrl, "http://op/login.php?sid=1&server_name=双线一区");
        EXPECT_TRUE(Record(dialog).bDialogEnded);
        nResult = Record(dialog).nDialogResult;
    });
    g_pClientDlg = nullptr;
    EXPECT_EQ(nResult, IDOK);
}

TEST_F(NavigationTest, LoginWithTheGameClientStartsItAndQuits) {
    RunWithServerList([&] {
        CClientConfig::Instance()->SetValue("airclient", "true");
        EXPECT_TRUE(Browser().FireBeforeNavigate2(u"http://op/login.php?sid=2"));
        ASSERT_EQ(Platform().processes.m_started.size(), 1u);
        EXPECT_EQ(Platform().processes.m_started[0].strCommandLine,
                  " p http://op/login.php?sid=2&server_name=双线一区");
        EXPECT_TRUE(ModelQuitPosted());
        EXPECT_EQ(App()->m_strGameUrl, "");
    });
}

TEST_F(NavigationTest, AirclientMustBeExactlyTrue) {
    RunWithServerList([&] {
        CClientConfig::Instance()->SetValue("airclient", "True");
        Browser().FireBeforeNavigate2(u"http://op/login.php?sid=2");
        EXPECT_TRUE(Platform().processes.m_started.empty());
        EXPECT_EQ(App()->m_strGameUrl, "http://op/login.php?sid=2&server_name=双线一区");
    });
}

TEST_F(NavigationTest, FailedGameClientLeavesTheListStopped) {
    Platform().processes.m_bFails = true;
    RunWithServerList([&] {
        CClientConfig::Instance()->SetValue("airclient", "true");
        EXPECT_TRUE(Browser().FireBeforeNavigate2(u"http://op/login.php?sid=2"));
        EXPECT_EQ(Platform().nStops, 1);
        EXPECT_FALSE(ModelQuitPosted());
        EXPECT_TRUE(Controls().m_browser.IsWindowVisible());
    });
}

TEST_F(NavigationTest, NoDocumentMeansAnEmptyServerName) {
    RunLauncher([&](CDrelkClientDlg&) {
        // Before any document: the handler is not installed and the title is empty.
        CClientConfig::Instance()->SetValue("airclient", "true");
        EXPECT_TRUE(Browser().FireBeforeNavigate2(u"http://op/login.php?sid=3"));
        EXPECT_EQ(Platform().processes.m_started.at(0).strCommandLine,
                  " p http://op/login.php?sid=3&server_name=");
    });
}

TEST_F(NavigationTest, AnyUrlOrTitleIsSafe) {
    RunWithServerList([&] {
        CClientConfig::Instance()->SetValue("airclient", "true");
        Platform().processes.m_bFails = true;
        const std::u16string strLong(100000, u'x');
        Browser().SetTitle(std::u16string{u'a', char16_t(0xD800), u'&', u'#'});
        EXPECT_TRUE(Browser().FireBeforeNavigate2(u"http://op/login.php?" + strLong));
        EXPECT_EQ(Platform().processes.m_started.back().strCommandLine,
                  " p http://op/login.php?" + std::string(100000, 'x') + "&server_name=a?&#");
        EXPECT_FALSE(Browser().FireBeforeNavigate2(u""));
        Browser().FireDocumentComplete(u"");
    });
}

// A page may aim its login navigation at a file, a script or a scheme of its own: the navigation is
// cancelled and stopped as any login is, and nothing is handed on.
TEST_F(NavigationTest, ALoginToAnythingButAWebAddressIsCancelledAndGoesNoFurther) {
    g_pClientDlg = nullptr;
    RunLauncher([&](CDrelkClientDlg& dialog) {
        g_pClientDlg = &dialog;
        Browser().FireDocumentComplete(u"about:blank");
        Browser().FireDocumentComplete(u"http://op/mini/zonelist.html");
        int nStops = Platform().nStops;
        for (const char* pszAirclient : {"true", "false"}) {
            CClientConfig::Instance()->SetValue("airclient", pszAirclient);
            for (const char16_t* pszUrl :
                 {u"file:///etc/passwd?login.php", u"data:text/html,login.php", u"javascript:'login.php'",
                  u"drelk-made-up:login.php", u"  ftp://op/login.php", u"http:login.php"}) {
                SCOPED_TRACE(AfxUtf16ToCodePage(CP_UTF8, pszUrl));
                EXPECT_TRUE(Browser().FireBeforeNavigate2(pszUrl));
                EXPECT_EQ(Platform().nStops, ++nStops);
            }
        }
        EXPECT_TRUE(Platform().processes.m_started.empty());
        EXPECT_FALSE(ModelQuitPosted());
        EXPECT_EQ(App()->m_strGameUrl, "");
        EXPECT_FALSE(Record(dialog).bDialogEnded);
        EXPECT_TRUE(Controls().m_browser.IsWindowVisible());
        // A web address in any case still goes on.
        EXPECT_TRUE(Browser().FireBeforeNavigate2(u"HTTPS://op/login.php?sid=4"));
        EXPECT_EQ(App()->m_strGameUrl, "HTTPS://op/login.php?sid=4&server_name=");
    });
    g_pClientDlg = nullptr;
}

} // namespace
