// The framework's windows and dialogs on real Windows windows (under Wine on a virtual screen):
// one window procedure into CWnd::WindowProc, the dialog manager as default processing, the modal
// loop, subclassed items.
#include "framework/browser.h"
#include "framework/codepage.h"
#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/resources.h"
#include "framework/services.h"
#include "framework/wnd.h"
#include "res/resource.h"

#include <ole2.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

class CProbeDialog : public CDialog {
public:
    CProbeDialog() : CDialog(IDD_CONTROLLERS) {}
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        messages.push_back(message);
        return CDialog::WindowProc(message, wParam, lParam);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        bItemsAtInit = GetDlgItemHandle(IDC_BTN_CLOSE) != nullptr;
        if (onInit) {
            onInit(*this);
        }
        return TRUE;
    }
    BOOL OnEvent(UINT idCtrl, DISPID dispid, DISPPARAMS* pParams) override {
        const CEventParams params(pParams);
        if (dispid == DISPID_BEFORENAVIGATE2) {
            VARIANT* pUrl = params.VariantRef(1);
            navigations.push_back(pUrl != nullptr && pUrl->vt == VT_BSTR ? AfxBstrText(pUrl->bstrVal) : u"?");
            eventItems.push_back(idCtrl);
            if (VARIANT* pCancel = params.VariantRef(6);
                pCancel != nullptr && pCancel->vt == (VT_BYREF | VT_BOOL)) {
                *pCancel->pboolVal = VARIANT_TRUE;
            } else if (VARIANT_BOOL* pFlag = params.BoolRef(6)) {
                *pFlag = VARIANT_TRUE;
            }
            return TRUE;
        }
        return CDialog::OnEvent(idCtrl, dispid, pParams);
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        commands.push_back(static_cast<UINT>(wParam));
        return CDialog::OnCommand(wParam, lParam);
    }
    std::vector<UINT> messages;
    std::vector<UINT> commands;
    std::vector<std::u16string> navigations;
    std::vector<UINT> eventItems;
    bool bItemsAtInit = false;
    std::function<void(CProbeDialog&)> onInit;
};

int IndexOf(const std::vector<UINT>& messages, UINT message) {
    for (std::size_t i = 0; i < messages.size(); ++i) {
        if (messages[i] == message) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

TEST(Win32WindowsTest, ADialogFromItsTemplateGetsEveryMessageFromItsCreationOn) {
    CProbeDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_CONTROLLERS));
    ASSERT_NE(dialog.m_hWnd, nullptr);
    EXPECT_TRUE(IsWindow(dialog.m_hWnd));
    EXPECT_EQ(CWnd::FromHandle(dialog.m_hWnd), &dialog);
    // From WM_NCCREATE on, through the one window procedure; the items exist at initialisation.
    const int nNcCreate = IndexOf(dialog.messages, WM_NCCREATE);
    const int nInit = IndexOf(dialog.messages, WM_INITDIALOG);
    ASSERT_GE(nNcCreate, 0);
    ASSERT_GT(nInit, nNcCreate);
    EXPECT_TRUE(dialog.bItemsAtInit);
    char szClass[32] = {};
    GetClassNameA(dialog.GetDlgItemHandle(IDC_BTN_CLOSE), szClass, sizeof(szClass));
    EXPECT_STREQ(szClass, "Button");
    // Default processing is the dialog manager's: the text round trip through WM_SETTEXT.
    dialog.SetWindowText("Drelk 测试");
    EXPECT_EQ(dialog.GetWindowText(), "Drelk 测试");
    // Not shown, not moved, no owner, no centring style: centred on the work area.
    CRect rect;
    dialog.GetWindowRect(&rect);
    const CRect work = AfxGetWorkArea();
    EXPECT_NEAR((rect.left + rect.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((rect.top + rect.bottom) / 2, (work.top + work.bottom) / 2, 1);
    EXPECT_TRUE(dialog.DestroyWindow());
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_GE(IndexOf(dialog.messages, WM_NCDESTROY), 0);
}

// A framed window (the game window's template): points and invalid parts are the client area's, as
// the native calls have them, and UpdateWindow paints what is marked before it returns.
TEST(Win32WindowsTest, ClientCoordinatesAndPaintsAreTheClientAreas) {
    class CFramedDialog : public CDialog {
    public:
        CFramedDialog() : CDialog(IDD_HTMLBROWSER) {}
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
            nPaints += message == WM_PAINT ? 1 : 0;
            return CDialog::WindowProc(message, wParam, lParam);
        }
        int nPaints = 0;
    } dialog;
    ASSERT_TRUE(dialog.Create(IDD_HTMLBROWSER));
    dialog.ShowWindow(SW_SHOWNORMAL);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&msg);
    }
    POINT native{0, 0};
    ClientToScreen(dialog.m_hWnd, &native);
    CRect rcWindow;
    dialog.GetWindowRect(&rcWindow);
    CPoint pt(0, 0);
    dialog.ClientToScreen(&pt);
    EXPECT_EQ(pt, CPoint(native.x, native.y));
    EXPECT_NE(pt, rcWindow.TopLeft()); // the frame is not the client area
    dialog.ScreenToClient(&pt);
    EXPECT_EQ(pt, CPoint(0, 0));

    const CRect rcOutside(-40, -30, -10, -5); // where the frame is, in client coordinates
    dialog.InvalidateRect(&rcOutside, TRUE);
    EXPECT_FALSE(GetUpdateRect(dialog.m_hWnd, nullptr, FALSE));
    const int nBefore = dialog.nPaints;
    dialog.UpdateWindow();
    EXPECT_EQ(dialog.nPaints, nBefore);
    const CRect rcPart(10, 10, 30, 20);
    dialog.InvalidateRect(&rcPart, TRUE);
    RECT rcUpdate{};
    EXPECT_TRUE(GetUpdateRect(dialog.m_hWnd, &rcUpdate, FALSE));
    EXPECT_EQ(CRect(rcUpdate), rcPart);
    dialog.UpdateWindow();
    EXPECT_EQ(dialog.nPaints, nBefore + 1);
    EXPECT_TRUE(dialog.DestroyWindow());
}

TEST(Win32WindowsTest, AClickedItemReachesItsParentsCommandHandler) {
    CProbeDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_CONTROLLERS));
    CWnd button;
    ASSERT_TRUE(button.SubclassWindow(dialog.GetDlgItemHandle(IDC_BTN_HOME)));
    EXPECT_EQ(button.GetDlgCtrlID(), IDC_BTN_HOME);
    EXPECT_EQ(button.GetParent(), &dialog);
    button.SendMessage(BM_CLICK);
    ASSERT_FALSE(dialog.commands.empty());
    EXPECT_EQ(dialog.commands.back(), static_cast<UINT>(MAKEWPARAM(IDC_BTN_HOME, BN_CLICKED)));
    EXPECT_EQ(button.UnsubclassWindow(), dialog.GetDlgItemHandle(IDC_BTN_HOME));
    dialog.DestroyWindow();
}

TEST(Win32WindowsTest, TheModalLoopEndsOnEndDialogAfterPreTranslateMessage) {
    CProbeDialog dialog;
    // Escape goes through PreTranslateMessage (the dialog manager's IDCANCEL), which ends the dialog.
    dialog.onInit = [](CProbeDialog& self) { self.PostMessage(WM_KEYDOWN, VK_ESCAPE, 0); };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.m_hWnd, nullptr); // destroyed after the loop
}

TEST(Win32WindowsTest, TheQuitMessageEndsTheModalLoopWithMinusOne) {
    CProbeDialog dialog;
    dialog.onInit = [](CProbeDialog&) { AfxPostQuitMessage(0); };
    EXPECT_EQ(dialog.DoModal(), -1);
    // The quit message is left for the outermost loop.
    MSG msg{};
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(Win32WindowsTest, ABitmapButtonDrawsItsBitmapAndThePressedOneWhileHeld) {
    CProbeDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_CONTROLLERS));
    CBitmapButton button;
    ASSERT_TRUE(button.LoadBitmaps(IDB_TAB_HOME, IDB_TAB_HOME_DOWN));
    EXPECT_EQ(button.m_bitmap.GetSize().cx, 104);
    EXPECT_EQ(button.m_bitmap.GetSize().cy, 31);
    ASSERT_TRUE(button.SubclassDlgItem(IDC_BTN_HOME, &dialog));
    button.SizeToContent();
    dialog.ShowWindow(SW_SHOW);
    const auto drawnPixel = [&](int x, int y) {
        button.Invalidate();
        UpdateWindow(button.m_hWnd);
        HDC hDC = GetDC(button.m_hWnd);
        const COLORREF cr = GetPixel(hDC, x, y);
        ReleaseDC(button.m_hWnd, hDC);
        return cr;
    };
    const auto bitmapPixel = [](CBitmap& bitmap, int x, int y) {
        HDC hDC = CreateCompatibleDC(nullptr);
        HGDIOBJ hOld = SelectObject(hDC, bitmap.m_hObject);
        const COLORREF cr = GetPixel(hDC, x, y);
        SelectObject(hDC, hOld);
        DeleteDC(hDC);
        return cr;
    };
    EXPECT_EQ(drawnPixel(50, 15), bitmapPixel(button.m_bitmap, 50, 15));
    EXPECT_EQ(drawnPixel(5, 5), bitmapPixel(button.m_bitmap, 5, 5));
    button.SendMessage(BM_SETSTATE, TRUE);
    EXPECT_EQ(drawnPixel(50, 15), bitmapPixel(button.m_bitmapSel, 50, 15));
    button.SendMessage(BM_SETSTATE, FALSE);
    EXPECT_EQ(drawnPixel(50, 15), bitmapPixel(button.m_bitmap, 50, 15));
    button.UnsubclassWindow();
    dialog.DestroyWindow();
}

TEST(Win32WindowsTest, TheBrowserItemIsTheRealControlInOurHostAndItsNavigationsReachTheDialog) {
    // The program's entry initialises OLE for the control container; this test is its own entry.
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    CProbeDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_CONTROLLERS));
    HWND hItem = dialog.GetDlgItemHandle(IDC_EXPLORER1);
    ASSERT_NE(hItem, nullptr);
    // The control is activated in place inside the item: it has a window of its own in it.
    EXPECT_NE(GetWindow(hItem, GW_CHILD), nullptr);
    // The item takes its template rectangle in the dialog manager's units of the dialog's font.
    const CDialogTemplate* pTemplate = AfxFindDialogTemplate(IDD_CONTROLLERS);
    ASSERT_NE(pTemplate, nullptr);
    for (const CDialogItemTemplate& item : pTemplate->items) {
        if (item.nID == IDC_EXPLORER1) {
            RECT expected{item.x, item.y, item.x + item.cx, item.y + item.cy};
            MapDialogRect(dialog.m_hWnd, &expected);
            RECT actual{};
            GetWindowRect(hItem, &actual);
            MapWindowPoints(nullptr, dialog.m_hWnd, reinterpret_cast<POINT*>(&actual), 2);
            EXPECT_TRUE(EqualRect(&expected, &actual));
        }
    }
    CWnd browser;
    ASSERT_TRUE(browser.SubclassWindow(hItem));
    static const BYTE parms[] = VTS_BSTR VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT;
    browser.InvokeHelper(DISPID_NAVIGATE, DISPATCH_METHOD, VT_EMPTY, nullptr, parms,
                         "http://127.0.0.1:9/drelk-login.php", nullptr, nullptr, nullptr, nullptr);
    // BeforeNavigate2 may come through the message queue.
    const DWORD dwDeadline = GetTickCount() + 10000;
    MSG msg{};
    while (dialog.navigations.empty() && GetTickCount() < dwDeadline) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(20);
    }
    ASSERT_FALSE(dialog.navigations.empty());
    EXPECT_EQ(dialog.navigations[0], u"http://127.0.0.1:9/drelk-login.php");
    EXPECT_EQ(dialog.eventItems[0], static_cast<UINT>(IDC_EXPLORER1));
    browser.UnsubclassWindow();
    EXPECT_TRUE(dialog.DestroyWindow());
    OleUninitialize();
}

} // namespace
