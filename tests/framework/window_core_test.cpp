// The framework's window model on the headless platform: what the platform would do by default.
#include "framework/dialog.h"
#include "framework/headless/headless_platform.h"
#include "framework/headless/headless_inspect.h"
#include "res/resource.h"

#include "support/modal_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A window that records the messages it receives.
class CRecordingWnd : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        m_messages.push_back(message);
        if (message == WM_SIZE) {
            m_sizeTypes.push_back(wParam);
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<UINT> m_messages;
    std::vector<WPARAM> m_sizeTypes;
};

class WindowCoreTest : public ::testing::Test {
protected:
    void SetUp() override { HeadlessReset(); }
    HWND Create(CWnd& wnd, DWORD dwStyle, const CRect& rect, HWND hOwner = nullptr) {
        CWindowCreate create;
        create.strClass = "Plain";
        create.dwStyle = dwStyle;
        create.rect = rect;
        create.hOwner = hOwner;
        return ModelCreateWindow(create, &wnd);
    }
};

TEST_F(WindowCoreTest, CreationSendsTheMessagesInThePlatformsOrder) {
    CRecordingWnd wnd;
    ASSERT_NE(Create(wnd, WS_POPUP | WS_VISIBLE, CRect(10, 20, 110, 220)), nullptr);
    const std::vector<UINT> expected{WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW};
    EXPECT_EQ(wnd.m_messages, expected);
    EXPECT_TRUE(wnd.IsWindowVisible());
    wnd.DestroyWindow();
    EXPECT_EQ(wnd.m_hWnd, nullptr);
}

TEST_F(WindowCoreTest, RefusedCreationLeavesNoWindow) {
    struct CRefusing : CWnd {
        int OnCreate(LPCREATESTRUCT) override { return -1; }
    } wnd;
    EXPECT_EQ(Create(wnd, WS_POPUP, CRect(0, 0, 10, 10)), nullptr);
    EXPECT_EQ(wnd.m_hWnd, nullptr);
}

TEST_F(WindowCoreTest, MovesAndSizesAreReportedOnlyWhenTheyChange) {
    CRecordingWnd wnd;
    Create(wnd, WS_POPUP, CRect(0, 0, 100, 100));
    wnd.m_messages.clear();
    wnd.MoveWindow(0, 0, 100, 100);
    EXPECT_TRUE(wnd.m_messages.empty());
    wnd.MoveWindow(5, 0, 100, 100);
    EXPECT_EQ(wnd.m_messages, std::vector<UINT>{WM_MOVE});
    wnd.m_messages.clear();
    wnd.MoveWindow(5, 0, 120, 100);
    EXPECT_EQ(wnd.m_messages, (std::vector<UINT>{WM_NCCALCSIZE, WM_SIZE}));
    wnd.DestroyWindow();
}

// What the window system reports reaches the system as Windows would have it: a window without a
// sizing border keeps the size it asked for, wherever the window manager moves it.
TEST_F(WindowCoreTest, AWindowManagersMovesArriveWithTheAskedSizeAndItsIntermediateSizesNever) {
    CRecordingWnd fixed;
    Create(fixed, WS_POPUP | WS_VISIBLE, CRect(100, 100, 1124, 735));
    fixed.m_messages.clear();
    ModelNativeMoved(fixed.m_hWnd, CRect(0, 0, 558, 635)); // placed before it was sized
    EXPECT_TRUE(fixed.m_messages.empty());
    EXPECT_EQ(HeadlessInspectWindow(fixed.m_hWnd).ScreenRect(), CRect(100, 100, 1124, 735));
    ModelNativeMoved(fixed.m_hWnd, CRect(128, 83, 1152, 718)); // then moved at its size
    EXPECT_EQ(fixed.m_messages, std::vector<UINT>{WM_MOVE});
    EXPECT_EQ(HeadlessInspectWindow(fixed.m_hWnd).ScreenRect(), CRect(128, 83, 1152, 718));

    CRecordingWnd sizable;
    Create(sizable, WS_POPUP | WS_THICKFRAME | WS_VISIBLE, CRect(0, 0, 400, 300));
    ModelNativeMoved(sizable.m_hWnd, CRect(0, 0, 500, 300)); // the player sized it
    EXPECT_EQ(HeadlessInspectWindow(sizable.m_hWnd).ScreenRect(), CRect(0, 0, 500, 300));
    fixed.DestroyWindow();
    sizable.DestroyWindow();
}

TEST_F(WindowCoreTest, MaximiseMinimiseRestoreReportTheirSizeTypes) {
    CRecordingWnd wnd;
    Create(wnd, WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_VISIBLE, CRect(100, 100, 500, 400));
    wnd.m_sizeTypes.clear();
    wnd.ShowWindow(SW_SHOWMAXIMIZED);
    CRect rect;
    wnd.GetWindowRect(&rect);
    EXPECT_EQ(rect, Headless().workArea);
    wnd.ShowWindow(SW_MINIMIZE);
    EXPECT_TRUE(wnd.IsIconic());
    wnd.ShowWindow(SW_RESTORE); // back to maximised, as the window was before
    EXPECT_TRUE(wnd.IsZoomed());
    wnd.ShowWindow(SW_RESTORE);
    wnd.GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(100, 100, 500, 400));
    EXPECT_EQ(wnd.m_sizeTypes,
              (std::vector<WPARAM>{SIZE_MAXIMIZED, SIZE_MINIMIZED, SIZE_MAXIMIZED, SIZE_RESTORED}));
    wnd.DestroyWindow();
}

TEST_F(WindowCoreTest, DefaultHitTestOfASizableCaptionedWindow) {
    CWnd wnd;
    Create(wnd, WS_POPUP | WS_CAPTION | WS_THICKFRAME, CRect(100, 100, 500, 400));
    const auto hit = [&](int x, int y) { return wnd.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(x, y)); };
    // Without a frame of its own the client is the whole window.
    EXPECT_EQ(hit(300, 250), HTCLIENT);
    EXPECT_EQ(hit(99, 250), HTNOWHERE);
    EXPECT_EQ(hit(500, 250), HTNOWHERE);
    wnd.DestroyWindow();
}

TEST_F(WindowCoreTest, DestroyingAnOwnerDestroysWhatItOwns) {
    CRecordingWnd owner;
    CRecordingWnd owned;
    Create(owner, WS_POPUP, CRect(0, 0, 10, 10));
    Create(owned, WS_POPUP, CRect(0, 0, 10, 10), owner.m_hWnd);
    owner.m_messages.clear();
    owner.DestroyWindow();
    EXPECT_EQ(owned.m_hWnd, nullptr);
    EXPECT_EQ(owned.m_messages.back(), static_cast<UINT>(WM_NCDESTROY));
    EXPECT_EQ(owner.m_messages, (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
}

TEST_F(WindowCoreTest, ABackendStillHasItsDataWhenTheModelLetsGoOfAWindow) {
    // The backend frees its native side then: a window and the child destroyed with it.
    CRecordingWnd parent;
    CRecordingWnd child;
    const HWND hParent = Create(parent, WS_POPUP, CRect(0, 0, 100, 100));
    CWindowCreate create;
    create.strClass = "Plain";
    create.dwStyle = WS_CHILD;
    create.rect = CRect(10, 10, 20, 20);
    create.hParent = hParent;
    const HWND hChild = ModelCreateWindow(create, &child);
    int nParentData = 0;
    int nChildData = 0;
    ModelSetBackendData(hParent, &nParentData);
    ModelSetBackendData(hChild, &nChildData);
    parent.DestroyWindow();
    const auto& destroyed = Headless().destroyed;
    ASSERT_EQ(destroyed.size(), 2u);
    EXPECT_EQ(destroyed[0].hWnd, hChild);
    EXPECT_EQ(destroyed[0].pBackendData, &nChildData);
    EXPECT_EQ(destroyed[1].hWnd, hParent);
    EXPECT_EQ(destroyed[1].pBackendData, &nParentData);
}

TEST_F(WindowCoreTest, AViewOfAWindowThatIsGoneIsEmpty) {
    CRecordingWnd wnd;
    const HWND hWnd = Create(wnd, WS_POPUP | WS_VISIBLE, CRect(10, 20, 110, 220));
    ASSERT_TRUE(HeadlessInspectWindow(hWnd).bVisible);
    EXPECT_EQ(HeadlessInspectWindow(hWnd).ScreenRect(), CRect(10, 20, 110, 220));
    wnd.DestroyWindow();
    const CHeadlessWindowView view = HeadlessInspectWindow(hWnd);
    EXPECT_FALSE(view.bVisible);
    EXPECT_TRUE(view.rcWindow.IsRectEmpty());
    EXPECT_TRUE(view.strClass.empty());
}

TEST_F(WindowCoreTest, PostedMessagesArriveInOrderAndQuitEndsTheLoop) {
    CRecordingWnd wnd;
    Create(wnd, WS_POPUP, CRect(0, 0, 10, 10));
    wnd.m_messages.clear();
    wnd.PostMessage(WM_USER + 1);
    wnd.PostMessage(WM_USER + 2);
    EXPECT_TRUE(wnd.m_messages.empty()); // posted, not sent
    int nIdle = 0;
    Headless().onIdle = [&] {
        if (++nIdle == 1) {
            AfxPostQuitMessage(3);
        }
        return nIdle < 5;
    };
    EXPECT_TRUE(ModelRunMessageLoop([](void*) { return true; }, nullptr));
    EXPECT_EQ(wnd.m_messages, (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
    EXPECT_EQ(nIdle, 1);
    EXPECT_EQ(ModelQuitCode(), 3);
    wnd.DestroyWindow();
}

TEST_F(WindowCoreTest, ModalDialogEndsWithEndDialogOrMinusOneOnQuit) {
    CDialog dialog(IDD_DRELKCLIENT_DIALOG);
    EXPECT_EQ(RunModalWithStep<CDialog>(dialog, [](CDialog& d) { d.EndDialog(42); }), 42);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    CDialog other(IDD_DRELKCLIENT_DIALOG);
    EXPECT_EQ(RunModalWithStep<CDialog>(other, [](CDialog&) { AfxPostQuitMessage(0); }), -1);
    CDialog missing(4711);
    EXPECT_EQ(missing.DoModal(), -1);
}

TEST_F(WindowCoreTest, CentringPushesAWindowBackInsideTheWorkArea) {
    Headless().workArea = CRect(0, 0, 800, 500); // smaller than the window
    CWnd wnd;
    Create(wnd, WS_POPUP, CRect(0, 0, 1024, 635));
    AfxCenterOnWorkArea(&wnd);
    CRect rect;
    wnd.GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(0, 0, 1024, 635)); // right/bottom first, then left/top win
    Headless().workArea = CRect(100, 50, 1380, 810);
    AfxCenterOnWorkArea(&wnd);
    wnd.GetWindowRect(&rect);
    EXPECT_EQ(rect.TopLeft(), CPoint(740 - 512, 430 - 317));
    wnd.DestroyWindow();
}

TEST_F(WindowCoreTest, ShellOpensOnlyWebAddresses) {
    EXPECT_GT(AfxShellExecute(nullptr, "open", "https://op/x", nullptr, nullptr, SW_SHOWNORMAL), 32);
    EXPECT_LE(AfxShellExecute(nullptr, "open", "", nullptr, nullptr, SW_SHOWNORMAL), 32);
    EXPECT_LE(AfxShellExecute(nullptr, "open", "file:///etc/passwd", nullptr, nullptr, SW_SHOWNORMAL), 32);
    EXPECT_LE(AfxShellExecute(nullptr, "open", "javascript:alert(1)", nullptr, nullptr, SW_SHOWNORMAL), 32);
    EXPECT_LE(AfxShellExecute(nullptr, "print", "http://op/", nullptr, nullptr, SW_SHOWNORMAL), 32);
    EXPECT_EQ(Headless().shellOpened, std::vector<std::string>{"https://op/x"});
}

TEST_F(WindowCoreTest, LayeredAttributesNeedTheLayeredStyle) {
    CWnd wnd;
    Create(wnd, WS_POPUP, CRect(0, 0, 10, 10));
    EXPECT_FALSE(wnd.SetLayeredWindowAttributes(RGB(255, 0, 255), 0, LWA_COLORKEY));
    wnd.ModifyStyleEx(0, WS_EX_LAYERED);
    EXPECT_TRUE(wnd.SetLayeredWindowAttributes(RGB(255, 0, 255), 0, LWA_COLORKEY));
    wnd.DestroyWindow();
}

// Points and invalid parts are the client area's, wherever the frame puts it.
TEST_F(WindowCoreTest, ClientCoordinatesAndPaintsAreTheClientAreas) {
    // A frame of its own, as the game window makes: 3 pixels around, a 39-pixel caption.
    struct CFramedWnd : CRecordingWnd {
        void OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS* lpncsp) override {
            RECT& rc = lpncsp->rgrc[0];
            rc = {rc.left + 3, rc.top + 39, rc.right - 3, rc.bottom - 3};
        }
    } wnd;
    Create(wnd, WS_POPUP | WS_VISIBLE, CRect(100, 50, 500, 350));
    ModelRecalculateClient(wnd.m_hWnd); // the frame asked for, as SetWindowPos(SWP_FRAMECHANGED) does
    CRect rcWindow, rcClient;
    wnd.GetWindowRect(&rcWindow);
    wnd.GetClientRect(&rcClient);
    ASSERT_LT(rcClient.Width(), rcWindow.Width()); // a frame around the client area
    CPoint pt(0, 0);
    wnd.ClientToScreen(&pt);
    EXPECT_GT(pt.x, rcWindow.left);
    EXPECT_GT(pt.y, rcWindow.top);
    EXPECT_LE(pt.x + rcClient.Width(), rcWindow.right);
    wnd.ScreenToClient(&pt);
    EXPECT_EQ(pt, CPoint(0, 0));

    auto paints = [&] { return std::count(wnd.m_messages.begin(), wnd.m_messages.end(), UINT(WM_PAINT)); };
    Headless().invalidated.clear();
    const CRect rcOutside(-40, -30, -10, -5); // above and left of the client area: the frame's place
    wnd.InvalidateRect(&rcOutside, TRUE);
    EXPECT_TRUE(Headless().invalidated.empty());
    const auto nBefore = paints();
    wnd.UpdateWindow(); // nothing marked: nothing painted
    EXPECT_EQ(paints(), nBefore);
    const CRect rcPart(10, 10, 30, 20);
    wnd.InvalidateRect(&rcPart, TRUE);
    EXPECT_EQ(Headless().invalidated.size(), 1u);
    wnd.UpdateWindow();
    EXPECT_EQ(paints(), nBefore + 1); // painted before UpdateWindow returned
    wnd.UpdateWindow();
    EXPECT_EQ(paints(), nBefore + 1);
    wnd.DestroyWindow();
}

} // namespace
