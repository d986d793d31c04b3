// Failures inside a handler end at the dispatch boundary: the generic error box, once, and the
// program goes on.
#include "framework/browser.h"
#include "framework/exception.h"
#include "framework/headless/headless_inspect.h"

#include "support/window_fixture.h"
#include "support/launcher_fixture.h"

#include <stdexcept>

namespace {

constexpr UINT WM_FAIL = WM_USER + 1;

class CDescribedFailure : public CException {
public:
    BOOL GetErrorMessage(char* lpszError, UINT nMaxError, UINT* = nullptr) const override {
        return CopyErrorText("磁盘已满", lpszError, nMaxError);
    }
};

// A window whose handlers fail on request, and that counts what it still receives.
class CFailingWnd : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_FAIL) {
            if (wParam == 1) {
                throw CDescribedFailure();
            }
            throw std::runtime_error("not one of the framework's");
        }
        if (message == WM_CREATE && m_bFailCreate) {
            throw CException();
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    BOOL OnCommand(WPARAM wParam, LPARAM) override {
        ++m_nCommands;
        if (LOWORD(wParam) == 7) {
            throw CDescribedFailure();
        }
        return TRUE;
    }
    BOOL OnEvent(UINT, DISPID dispid, DISPPARAMS* pParams) override {
        if (dispid == DISPID_BEFORENAVIGATE2) {
            *pParams->rgvarg[0].pboolVal = VARIANT_TRUE; // cancelled before the failure
            throw CDescribedFailure();
        }
        return FALSE;
    }
    bool m_bFailCreate = false;
    int m_nCommands = 0;
};

class DispatchBoundaryTest : public CWindowTest {
protected:
    HWND Create(CFailingWnd& wnd) {
        CWindowCreate create;
        create.strClass = "Plain";
        create.dwStyle = WS_POPUP | WS_VISIBLE;
        create.rect = CRect(0, 0, 200, 100);
        return ModelCreateWindow(create, &wnd);
    }
    const std::vector<CRecordedMessageBox>& Boxes() { return Platform().messageBoxes; }
};

TEST_F(DispatchBoundaryTest, AFailingHandlerShowsTheErrorBoxOnceAndTheWindowGoesOn) {
    CFailingWnd wnd;
    ASSERT_NE(Create(wnd), nullptr);
    EXPECT_EQ(AfxSendMessage(wnd.m_hWnd, WM_FAIL, 1, 0), 0);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].hOwner, wnd.m_hWnd);
    EXPECT_EQ(Boxes()[0].strText, "磁盘已满");
    EXPECT_EQ(Boxes()[0].strCaption, "Drelk");
    EXPECT_EQ(Boxes()[0].nType, UINT(MB_OK | MB_ICONSTOP));

    // Anything else thrown gets the framework's own text.
    AfxSendMessage(wnd.m_hWnd, WM_FAIL, 2, 0);
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[1].strText, "出现内部应用程序错误。");

    // The window still handles its messages.
    wnd.MoveWindow(10, 10, 200, 100);
    CRect rect;
    wnd.GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(10, 10, 210, 110));
    wnd.DestroyWindow();
}

TEST_F(DispatchBoundaryTest, AFailedCreateHandlerRefusesTheWindow) {
    CFailingWnd wnd;
    wnd.m_bFailCreate = true;
    EXPECT_EQ(Create(wnd), nullptr);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].strText, "出现内部应用程序错误。");
}

TEST_F(DispatchBoundaryTest, AFailingClickHandlerLeavesTheButtonUsable) {
    CFailingWnd wnd;
    Create(wnd);
    CWindowCreate create;
    create.strClass = "Button";
    create.dwStyle = WS_CHILD | WS_VISIBLE;
    create.rect = CRect(10, 10, 60, 40);
    create.hParent = wnd.m_hWnd;
    create.nID = 7;
    HWND hButton = ModelCreateWindow(create, nullptr);
    ASSERT_NE(hButton, nullptr);
    for (int i = 0; i < 2; ++i) {
        ModelMousePress(wnd.m_hWnd, CPoint(20, 20));
        ModelMouseRelease(wnd.m_hWnd, CPoint(20, 20));
    }
    EXPECT_EQ(wnd.m_nCommands, 2);
    EXPECT_EQ(Boxes().size(), 2u);
    EXPECT_FALSE(HeadlessInspectWindow(hButton).bPushed);
    wnd.DestroyWindow();
}

TEST_F(DispatchBoundaryTest, AFailingEventHandlerKeepsWhatItDecided) {
    CFailingWnd wnd;
    Create(wnd);
    CWnd browser;
    ASSERT_TRUE(browser.CreateControl(CLSID_DrelkWebBrowser, nullptr, WS_CHILD | WS_VISIBLE,
                                      CRect(0, 0, 50, 50), &wnd, 1001));
    EXPECT_TRUE(ModelGetBrowserControl(browser.m_hWnd)->FireBeforeNavigate2(u"http://127.0.0.1/x"));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].hOwner, wnd.m_hWnd);
    ModelGetBrowserControl(browser.m_hWnd)->FireDocumentComplete(u"about:blank");
    EXPECT_EQ(Boxes().size(), 1u);
    wnd.DestroyWindow();
}

class ReportFailureTest : public CLauncherTest {};

TEST_F(ReportFailureTest, ABrokenReportShowsItsErrorAndTheLauncherStillAppears) {
    CreateSettingsFile("platform=baidu\r\nsuccess=http://127.0.0.1:1/report?g=d");
    Platform().http.m_response = CHttpResult{EHttpOutcome::ReadFailed, 18, "ok\r\n"};
    Platform().http.m_errorTexts[18] = "Transferred a partial file";
    RunLauncher([&](CDrelkClientDlg& dialog) {
        EXPECT_TRUE(dialog.IsWindowVisible());
        EXPECT_TRUE(Controls().IsWindowVisible());
    });
    ASSERT_EQ(Platform().http.m_requests.size(), 1u);
    ASSERT_EQ(Platform().messageBoxes.size(), 1u);
    EXPECT_EQ(Platform().messageBoxes[0].strText, "Transferred a partial file");
    EXPECT_EQ(Platform().messageBoxes[0].nType, UINT(MB_OK | MB_ICONSTOP));
    // The report never completed, so nothing is recorded: the next start reports again.
    EXPECT_EQ(SettingsBytes(), "platform=baidu\r\nsuccess=http://127.0.0.1:1/report?g=d");
}

TEST_F(ReportFailureTest, AFailureWithoutDescriptionShowsTheFrameworksText) {
    CreateSettingsFile("platform=baidu\r\nsuccess=http://127.0.0.1:1/report?g=d");
    Platform().http.m_bSessionFails = true;
    RunLauncher([&](CDrelkClientDlg& dialog) { EXPECT_TRUE(dialog.IsWindowVisible()); });
    ASSERT_EQ(Platform().messageBoxes.size(), 1u);
    EXPECT_EQ(Platform().messageBoxes[0].strText, "出现内部应用程序错误。");
}

} // namespace
