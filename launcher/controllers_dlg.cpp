#include "launcher/controllers_dlg.h"

#include "launcher/close_question.h"

#include "launcher/doc_host_ui_handler.h"
#include "launcher/drelk_client_dlg.h"
#include "launcher/operator_pages.h"

#include "settings/client_config.h"
#include "settings/client_reporter.h"

#include "framework/codepage.h"
#include "framework/services.h"
#include "res/resource.h"

namespace {

// A button of the controls window: its item, member, bitmaps and place on the window.
struct CButtonLayout {
    UINT nID;
    CBitmapButton CControllersDlg::*pMember;
    UINT nBitmap;
    UINT nBitmapPressed;
    int x; // from the left edge; the close button's is from the right edge
    int y;
    int cx;
    int cy;
};

constexpr int kCloseFromRight = 43;

// In the order the buttons are initialised.
const CButtonLayout kButtons[] = {
    {IDC_BTN_CLOSE, &CControllersDlg::m_btnClose, IDB_CLOSE, IDB_CLOSE_DOWN, kCloseFromRight, 7, 31, 32},
    {IDC_BTN_HOME, &CControllersDlg::m_btnHome, IDB_TAB_HOME, IDB_TAB_HOME_DOWN, 316, 45, 104, 31},
    {IDC_BTN_FORUM, &CControllersDlg::m_btnForum, IDB_TAB_FORUM, IDB_TAB_FORUM_DOWN, 422, 45, 104, 31},
    {IDC_BTN_SERVICE, &CControllersDlg::m_btnService, IDB_TAB_SERVICE, IDB_TAB_SERVICE_DOWN, 528, 45, 104,
     31},
    {IDC_BTN_CHARGE, &CControllersDlg::m_btnCharge, IDB_TAB_CHARGE, IDB_TAB_CHARGE_DOWN, 634, 45, 104, 31},
};

} // namespace

CControllersDlg::CControllersDlg()
    : CDialog(IDD_CONTROLLERS, nullptr), m_hIcon(AfxLoadIcon(IDR_MAINFRAME)),
      m_pageRecovery(this, "server list", [this](const std::string& strUrl) {
          m_browser.Navigate(strUrl.c_str(), nullptr, nullptr, nullptr, nullptr);
      }) {}

void CControllersDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_EXPLORER1, m_browser);
}

BOOL CControllersDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_brushColorKey.CreateSolidBrush(kControlsColorKey);
    SetWindowLong(GWL_EXSTYLE, GetWindowLong(GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(kControlsColorKey, 0, LWA_COLORKEY);
    InitControls();
    CClientConfig* pConfig = CClientConfig::Instance();
    pConfig->SetDefaults();
    pConfig->ReadSettingsFile();
    CClientReporter::Instance()->ReportFirstOpen();
    return TRUE;
}

void CControllersDlg::InitControls() {
    for (const CButtonLayout& button : kButtons) {
        CBitmapButton& member = this->*button.pMember;
        member.LoadBitmaps(button.nBitmap, button.nBitmapPressed, button.nBitmap, button.nBitmap);
        member.SubclassDlgItem(button.nID, this);
        member.SizeToContent();
        member.MoveWindow(0, 0, 100, 100, TRUE);
    }
    m_browser.put_Visible(TRUE);
    m_browser.put_Visible(FALSE);
    m_browser.MoveWindow(2000, 2000, 1, 1, TRUE);
    m_browser.put_Silent(TRUE);
    m_pageRecovery.Start(m_browser.m_hWnd);
    m_browser.Navigate("about:blank", nullptr, nullptr, nullptr, nullptr);
}

void CControllersDlg::OnMove(int x, int y) {
    CDialog::OnMove(x, y);
    LayOutButtons();
}

// A change of size without a move (the backdrop's final rectangle given where the window already is)
// lays the buttons out too.
void CControllersDlg::OnSize(UINT nType, int cx, int cy) {
    CDialog::OnSize(nType, cx, cy);
    LayOutButtons();
}

void CControllersDlg::LayOutButtons() {
    if (GetDlgItemHandle(IDC_BTN_CLOSE) == nullptr) {
        return;
    }
    CRect rect;
    GetWindowRect(&rect);
    const int nWidth = rect.right - rect.left;
    for (const CButtonLayout& button : kButtons) {
        const int x = button.nID == IDC_BTN_CLOSE ? nWidth - button.x : button.x;
        GetDlgItem(static_cast<int>(button.nID))->MoveWindow(x, button.y, button.cx, button.cy, TRUE);
    }
}

void CControllersDlg::OnPaint() {
    if (IsIconic()) {
        DrawMinimizedIcon(this, m_hIcon);
    } else {
        CDialog::OnPaint();
    }
}

HBRUSH CControllersDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    return m_brushColorKey;
}

HCURSOR CControllersDlg::OnQueryDragIcon() { return m_hIcon; }

LRESULT CControllersDlg::OnNcHitTest(CPoint point) {
    const LRESULT nHit = CDialog::OnNcHitTest(point);
    return nHit == HTCLIENT ? HTCAPTION : nHit;
}

void CControllersDlg::OnSysCommand(UINT nID, LPARAM lParam) { CDialog::OnSysCommand(nID, lParam); }
int CControllersDlg::OnCreate(LPCREATESTRUCT lpCreateStruct) { return CDialog::OnCreate(lpCreateStruct); }
void CControllersDlg::OnClose() { CDialog::OnCancel(); }
void CControllersDlg::OnOK() {}
void CControllersDlg::OnCancel() {}

BOOL CControllersDlg::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE)) {
        AfxDispatchMessage(pMsg);
        return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

BOOL CControllersDlg::DestroyWindow() {
    ReleaseBrowser();
    return CDialog::DestroyWindow();
}

// The window also goes when its owner, the backdrop, is destroyed (the end of the launcher phase),
// without a call of DestroyWindow: the same teardown then runs here.
void CControllersDlg::OnDestroy() {
    ReleaseBrowser();
    CDialog::OnDestroy();
}

void CControllersDlg::ReleaseBrowser() {
    m_pageRecovery.Stop();
    if (m_browser.m_hWnd != nullptr) {
        m_browser.DestroyWindow();
    }
    if (g_pDocHostUIHandler != nullptr && !m_bHandlerReleased) {
        m_bHandlerReleased = true;
        g_pDocHostUIHandler->Release();
    }
}

BOOL CControllersDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_BTN_CLOSE:
            OnBnClickedClose();
            return TRUE;
        case IDC_BTN_HOME:
            OnBnClickedHome();
            return TRUE;
        case IDC_BTN_FORUM:
            OnBnClickedForum();
            return TRUE;
        case IDC_BTN_SERVICE:
            OnBnClickedService();
            return TRUE;
        case IDC_BTN_CHARGE:
            OnBnClickedCharge();
            return TRUE;
        default:
            break;
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CControllersDlg::OnBnClickedClose() {
    if (AskToLeaveTheGame(*this)) {
        AfxPostQuitMessage(0);
    }
}

void CControllersDlg::OnBnClickedHome() { OpenSettingInShell("home"); }
void CControllersDlg::OnBnClickedForum() { OpenSettingInShell("bbs"); }
void CControllersDlg::OnBnClickedService() { OpenSettingInShell("service"); }
void CControllersDlg::OnBnClickedCharge() { OpenSettingInShell("charge"); }

BOOL CControllersDlg::OnEvent(UINT idCtrl, DISPID dispid, DISPPARAMS* pParams) {
    if (idCtrl != IDC_EXPLORER1) {
        return CDialog::OnEvent(idCtrl, dispid, pParams);
    }
    const CEventParams params(pParams);
    if (dispid == DISPID_DOCUMENTCOMPLETE) {
        OnDocumentComplete(params.Dispatch(0), params.VariantRef(1));
        return TRUE;
    }
    if (dispid == DISPID_NAVIGATEERROR) {
        BOOL bCancel = FALSE;
        OnNavigateError(params.Dispatch(0), params.VariantRef(1), params.VariantRef(2), params.VariantRef(3),
                        &bCancel);
        if (VARIANT_BOOL* pCancel = params.BoolRef(4); pCancel != nullptr && bCancel) {
            *pCancel = VARIANT_TRUE;
        }
        return TRUE;
    }
    if (dispid == DISPID_PAGEPROCESSENDED) {
        OnPageProcessEnded();
        return TRUE;
    }
    if (dispid == DISPID_BEFORENAVIGATE2) {
        BOOL bCancel = FALSE;
        OnBeforeNavigate2(params.Dispatch(0), params.VariantRef(1), params.VariantRef(2),
                          params.VariantRef(3), params.VariantRef(4), params.VariantRef(5), &bCancel);
        if (VARIANT_BOOL* pCancel = params.BoolRef(6)) {
            *pCancel = bCancel ? VARIANT_TRUE : VARIANT_FALSE;
        }
        return TRUE;
    }
    return FALSE;
}

LRESULT CControllersDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kNetworkAvailableMessage) {
        m_pageRecovery.OnNetworkAvailable();
        return 0;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

void CControllersDlg::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == kPageRetryTimer) {
        m_pageRecovery.OnTimer(nIDEvent);
        return;
    }
    CDialog::OnTimer(nIDEvent);
}
