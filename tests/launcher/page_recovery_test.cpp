// The launcher's and the game window's browsers when a page cannot be shown: the program's page,
// the retries on the model's clock, the page process's end, and the rules of the list untouched.
#include "launcher/page_failure.h"
#include "launcher/page_recovery.h"

#include "gamewindow/htmlbrowser_dlg.h"
#include "support/launcher_fixture.h"

#include "framework/browser.h"
#include "framework/codepage.h"
#include "framework/emulated/window_core.h"
#include "framework/resources.h"
#include "res/resource.h"

#include <regex>

namespace {

constexpr char16_t kList[] = u"http://op/mini/zonelist.html";

// Delivers what was posted (the network's return) from inside a step.
void DeliverPosted() {
    ModelRunMessageLoop([](void*) { return true; }, nullptr);
}

std::string ShownParameters(const CHeadlessPlatform::CShownPage& page) {
    std::smatch match;
    static const std::regex kMeta("<meta name=\"page-parameters\" content=\"([^\"]*)\">");
    return std::regex_search(page.strHtml, match, kMeta) ? match[1].str() : "(none)";
}

class PageRecoveryTest : public CLauncherTest {
protected:
    // The launcher started: the blank page completed, the list requested.
    INT_PTR RunWithListRequested(const std::function<void()>& step) {
        return RunLauncher([&](CDrelkClientDlg&) {
            CClientConfig::Instance()->SetValue("page", "http://op/mini/zonelist.html");
            Browser().FireDocumentComplete(u"about:blank");
            step();
        });
    }
    // The list fails; the program's page is shown and completes as the engine would report it.
    void FailList(HRESULT hrStatus = INET_E_CANNOT_CONNECT) {
        ASSERT_TRUE(Browser().FireNavigateError(kList, hrStatus));
        Browser().FireDocumentComplete(kList);
    }
    size_t ListRequests() {
        size_t n = 0;
        for (const std::u16string& url : Platform().navigations) {
            n += url == kList ? 1 : 0;
        }
        return n;
    }
    // The retry asked for: the engine asks the rules before it loads.
    void ExpectRetryAfter(unsigned nSeconds) {
        const size_t nBefore = ListRequests();
        HeadlessAdvanceClock(nSeconds * 1000 - 1);
        EXPECT_EQ(ListRequests(), nBefore) << "early, before " << nSeconds << " s";
        HeadlessAdvanceClock(1);
        EXPECT_EQ(ListRequests(), nBefore + 1) << "after " << nSeconds << " s";
        EXPECT_FALSE(Browser().FireBeforeNavigate2(kList));
    }
};

TEST_F(PageRecoveryTest, TheProgramsPageNamesTheFailureUnderTheFailedAddressAndIsPlacedAsAnyPage) {
    RunWithListRequested([&] {
        FailList(INET_E_RESOURCE_NOT_FOUND);
        ASSERT_EQ(Platform().shownPages.size(), 1u);
        EXPECT_EQ(Platform().shownPages[0].strUrl, kList);
        EXPECT_EQ(ShownParameters(Platform().shownPages[0]),
                  ComposeFailurePageParameters(EPageFailure::NameNotFound, "http://op/mini/zonelist.html"));
        EXPECT_EQ(Controls().m_pageRecovery.ShownFailure(), EPageFailure::NameNotFound);
        EXPECT_TRUE(Controls().m_browser.IsWindowVisible());
        EXPECT_EQ(ChildRect(Controls().m_browser), CRect(316, 98, 998, 600));
    });
}

TEST_F(PageRecoveryTest, EachStatusFamilyGivesItsPageAndTheServersOwnAnswersShowNone) {
    const std::pair<HRESULT, const char*> kCases[] = {
        {INET_E_NO_SESSION, "nonetwork:"},       {INET_E_RESOURCE_NOT_FOUND, "notfound:"},
        {INET_E_CANNOT_CONNECT, "refused:"},     {INET_E_CONNECTION_TIMEOUT, "noanswer:"},
        {INET_E_INVALID_CERTIFICATE, "secure:"},
    };
    RunWithListRequested([&] {
        for (const auto& [hrStatus, pszCode] : kCases) {
            Platform().shownPages.clear();
            EXPECT_TRUE(Browser().FireNavigateError(kList, hrStatus));
            ASSERT_EQ(Platform().shownPages.size(), 1u);
            EXPECT_EQ(ShownParameters(Platform().shownPages[0]).rfind(pszCode, 0), 0u) << pszCode;
        }
        Platform().shownPages.clear();
        EXPECT_FALSE(Browser().FireNavigateError(u"http://op/maintenance.html", 503));
        EXPECT_FALSE(Browser().FireNavigateError(u"http://op/mini/zonelist.html", HRESULT(0x80004004)));
        EXPECT_TRUE(Platform().shownPages.empty());
    });
}

TEST_F(PageRecoveryTest, RetriesBackOffUntilTheListLoadsAndThenStop) {
    RunWithListRequested([&] {
        FailList();
        ExpectRetryAfter(3);
        FailList();
        ExpectRetryAfter(10);
        FailList();
        ExpectRetryAfter(30);
        FailList();
        ExpectRetryAfter(60);
        FailList();
        ExpectRetryAfter(60);
        // The server is back.
        Browser().SetTitle(u"双线一区");
        Browser().FireDocumentComplete(kList);
        EXPECT_EQ(Controls().m_pageRecovery.ShownFailure(), EPageFailure::None);
        const size_t nRequests = ListRequests();
        HeadlessAdvanceClock(10 * 60 * 1000);
        EXPECT_EQ(ListRequests(), nRequests);
    });
}

// On Windows the program's page has a res: address; a control that cannot show even that (Wine's,
// without an engine) still gets the retries, and never its own error page in place of ours.
TEST_F(PageRecoveryTest, WhenTheProgramsPageItselfFailsTheRetriesGoOn) {
    RunWithListRequested([&] {
        ASSERT_TRUE(Browser().FireNavigateError(kList, INET_E_CANNOT_CONNECT));
        EXPECT_TRUE(Browser().FireNavigateError(u"res://C:%5CDrelk.exe/HTML2201#refused:00",
                                                INET_E_DOWNLOAD_FAILURE));
        ExpectRetryAfter(3);
        // Once the list loads, a failing res: address is the engine's business again.
        Browser().FireDocumentComplete(kList);
        EXPECT_FALSE(Browser().FireNavigateError(u"res://C:%5CDrelk.exe/HTML2201#refused:00",
                                                 INET_E_DOWNLOAD_FAILURE));
    });
}

TEST_F(PageRecoveryTest, OneRequestAtATimeAndTheNetworksReturnRetriesAtOnce) {
    RunWithListRequested([&] {
        FailList(INET_E_NO_SESSION);
        EXPECT_TRUE(Platform().bNetworkWatched);
        const size_t nBefore = ListRequests();
        HeadlessNetworkAvailable();
        DeliverPosted();
        EXPECT_EQ(ListRequests(), nBefore + 1);
        // While that load is on its way nothing more is asked, whatever the network or the clock do.
        EXPECT_FALSE(Browser().FireBeforeNavigate2(kList));
        HeadlessNetworkAvailable();
        DeliverPosted();
        HeadlessAdvanceClock(5 * 60 * 1000);
        EXPECT_EQ(ListRequests(), nBefore + 1);
    });
}

TEST_F(PageRecoveryTest, RetryOnThePageRestartsTheScheduleAndAnotherNavigationEndsIt) {
    RunWithListRequested([&] {
        FailList();
        ExpectRetryAfter(3);
        FailList();
        // 重试: the page loads the failed address itself; the next failure waits 3 s again.
        EXPECT_FALSE(Browser().FireBeforeNavigate2(kList));
        FailList();
        ExpectRetryAfter(3);
        FailList();
        // The player goes elsewhere: no more retries.
        EXPECT_FALSE(Browser().FireBeforeNavigate2(u"http://op/news.html"));
        const size_t nRequests = ListRequests();
        HeadlessAdvanceClock(10 * 60 * 1000);
        EXPECT_EQ(ListRequests(), nRequests);
    });
}

TEST_F(PageRecoveryTest, NoRetryWhileTheWindowIsHiddenNorAfterItsEnd) {
    RunWithListRequested([&] {
        FailList();
        Controls().ShowWindow(SW_HIDE);
        const size_t nBefore = ListRequests();
        HeadlessAdvanceClock(3 * 60 * 1000);
        EXPECT_EQ(ListRequests(), nBefore);
        Controls().ShowWindow(SW_SHOW);
        HeadlessAdvanceClock(3000);
        EXPECT_EQ(ListRequests(), nBefore + 1);
        FailList();
        Controls().DestroyWindow();
        HeadlessAdvanceClock(10 * 60 * 1000);
        EXPECT_EQ(ListRequests(), nBefore + 1);
    });
}

TEST_F(PageRecoveryTest, APageProcessEndReloadsOnceAndASecondWithinAMinuteShowsThePage) {
    RunWithListRequested([&] {
        Browser().FireDocumentComplete(kList);
        const size_t nBefore = ListRequests();
        Browser().FirePageProcessEnded();
        EXPECT_EQ(ListRequests(), nBefore + 1);
        Browser().FireDocumentComplete(kList);
        HeadlessAdvanceClock(59 * 1000);
        Browser().FirePageProcessEnded();
        EXPECT_EQ(ListRequests(), nBefore + 1);
        ASSERT_EQ(Platform().shownPages.size(), 1u);
        EXPECT_EQ(ShownParameters(Platform().shownPages[0]).rfind("stopped:", 0), 0u);
        Browser().FireDocumentComplete(kList);
        // Only the player's 重试 loads it again.
        HeadlessAdvanceClock(10 * 60 * 1000);
        EXPECT_EQ(ListRequests(), nBefore + 1);
        EXPECT_FALSE(Browser().FireBeforeNavigate2(kList));
        Browser().FireDocumentComplete(kList);
        EXPECT_EQ(Controls().m_pageRecovery.ShownFailure(), EPageFailure::None);
        // A minute later an end is a first one again.
        HeadlessAdvanceClock(61 * 1000);
        Browser().FirePageProcessEnded();
        EXPECT_EQ(Platform().shownPages.size(), 1u);
    });
}

TEST_F(PageRecoveryTest, TheLoginRulesAreUntouched) {
    g_pClientDlg = nullptr;
    INT_PTR nResult = -1;
    RunLauncher([&](CDrelkClientDlg& dialog) {
        g_pClientDlg = &dialog;
        Browser().FireDocumentComplete(u"about:blank");
        Browser().SetTitle(u"双线一区");
        // A failure of a login-looking address is only a failure: no hand-off, no end.
        EXPECT_TRUE(Browser().FireNavigateError(u"http://op/login.php?sid=1", INET_E_CANNOT_CONNECT));
        EXPECT_EQ(App()->m_strGameUrl, "");
        EXPECT_FALSE(Record(dialog).bDialogEnded);
        EXPECT_EQ(Platform().nStops, 0);
        // The same navigation going ahead is still a login navigation, handled as always.
        EXPECT_TRUE(Browser().FireBeforeNavigate2(u"http://op/login.php?sid=1"));
        EXPECT_EQ(Platform().nStops, 1);
        EXPECT_EQ(App()->m_strGameUrl, "http://op/login.php?sid=1&server_name=双线一区");
        nResult = Record(dialog).nDialogResult;
    });
    g_pClientDlg = nullptr;
    EXPECT_EQ(nResult, IDOK);
}

TEST(FailurePageResourceTest, ThePageHasEveryReasonAndNoOutsideReference) {
    const BYTE* pData = nullptr;
    std::size_t nSize = 0;
    ASSERT_TRUE(AfxFindResource(IDR_PAGE_FAILURE, "HTML", pData, nSize));
    const std::string strPage(reinterpret_cast<const char*>(pData), nSize);
    const std::pair<EPageFailure, const char*> kTexts[] = {
        {EPageFailure::NoNetwork, "网络未连接"},          {EPageFailure::NameNotFound, "找不到服务器"},
        {EPageFailure::Refused, "服务器拒绝连接"},        {EPageFailure::NoAnswer, "服务器没有响应"},
        {EPageFailure::SecureConnection, "安全连接失败"}, {EPageFailure::PageStopped, "页面意外停止"},
    };
    for (const auto& [eFailure, pszText] : kTexts) {
        const std::size_t nAt = strPage.find(std::string("id=\"") + PageFailureCode(eFailure) + "\"");
        ASSERT_NE(nAt, std::string::npos) << PageFailureCode(eFailure);
        EXPECT_EQ(strPage.find(pszText, nAt), strPage.find("<h1>", nAt) + 4) << pszText;
    }
    EXPECT_NE(strPage.find(">重试</button>"), std::string::npos);
    // It renders with no network: nothing it loads comes from outside.
    for (const char* pszOutside : {"src=", "href=", "url(", "@import", "//fonts", "http://", "https://"}) {
        EXPECT_EQ(strPage.find(pszOutside), std::string::npos) << pszOutside;
    }
    // No secure-connection failure is ever bypassed: the page has no way to go on anyway.
    EXPECT_EQ(strPage.find("continue"), std::string::npos);
}

class GamePageRecoveryTest : public CWindowTest {
protected:
    void SetUp() override {
        CWindowTest::SetUp();
        App()->m_strGameUrl = "http://op/login.php?sid=1&server_name=s1";
        CClientConfig::Instance()->SetDefaults();
    }
};

TEST_F(GamePageRecoveryTest, TheGamePageIsRetriedAndAProcessEndKeepsThePlayersPage) {
    ChtmlbrowserDlg dialog;
    RunModalWithStep<ChtmlbrowserDlg>(dialog, [&](ChtmlbrowserDlg& game) {
        CBrowserControl& browser = *ModelGetBrowserControl(game.GetDlgItemHandle(AFX_IDC_BROWSER));
        const std::u16string strGame = u"http://op/login.php?sid=1&server_name=s1";
        EXPECT_TRUE(browser.FireNavigateError(strGame, INET_E_CONNECTION_TIMEOUT));
        ASSERT_EQ(Platform().shownPages.size(), 1u);
        EXPECT_EQ(Platform().shownPages[0].strUrl, strGame);
        browser.SetTitle(u"服务器没有响应");
        browser.FireDocumentComplete(strGame);
        EXPECT_EQ(game.GetWindowText(), AfxAnsiText(u"服务器没有响应"));
        HeadlessAdvanceClock(3000);
        EXPECT_EQ(Platform().navigations.back(), strGame);
        // It loads; the player moves on to another page of the game; its process ends.
        browser.FireDocumentComplete(strGame);
        EXPECT_FALSE(browser.FireBeforeNavigate2(u"http://op/game/room2.html"));
        browser.FireDocumentComplete(u"http://op/game/room2.html");
        browser.FirePageProcessEnded();
        EXPECT_EQ(Platform().navigations.back(), u"http://op/game/room2.html");
    });
    delete dialog.m_pSkinImage;
}

} // namespace
