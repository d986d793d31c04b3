#include "framework/dialog.h"

#include "framework/resources.h"
#include "framework/window_system.h"

#include <string>

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd == nullptr) {
        rControl.SubclassWindow(pDX->m_pDlgWnd->GetDlgItemHandle(nIDC));
    }
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd) {}

BOOL CDialog::CreateFromTemplate(CWnd* pOwner) {
    const CDialogTemplate* pTemplate = AfxFindDialogTemplate(m_nIDHelp);
    if (pTemplate == nullptr) {
        return FALSE;
    }
    HWND hOwner = pOwner != nullptr ? pOwner->m_hWnd : nullptr;
    m_pCreatingTemplate = pTemplate;
    m_rectBeforeInit = CRect();
    HWND hWnd = WsCreateDialogWindow(*pTemplate, this, hOwner);
    m_pCreatingTemplate = nullptr;
    if (hWnd == nullptr || !WsIsWindow(hWnd)) {
        return FALSE;
    }
    // The classic framework centres a dialog that initialisation neither showed nor moved, that has
    // no owner and asks for no placement of its own.
    CRect rect;
    GetWindowRect(&rect);
    const bool bCentringStyle = (pTemplate->dwStyle & (DS_CENTER | DS_CENTERMOUSE)) != 0;
    if (!bCentringStyle && !IsWindowVisible() && hOwner == nullptr && rect.left == m_rectBeforeInit.left &&
        rect.top == m_rectBeforeInit.top) {
        AfxCenterOnWorkArea(this);
    }
    if ((pTemplate->dwStyle & WS_VISIBLE) != 0 && WsIsWindow(m_hWnd)) {
        ShowWindow(SW_SHOW);
    }
    return TRUE;
}

// Before the dialog's own initialisation: the hosted browser items are made by our control host.
void CDialog::CreateHostedItems() {
    GetWindowRect(&m_rectBeforeInit);
    if (m_pCreatingTemplate == nullptr) {
        return;
    }
    for (const CDialogItemTemplate& item : m_pCreatingTemplate->items) {
        if (std::string(item.pszClass) == "WebBrowser") {
            WsCreateBrowserHost(m_hWnd, item.nID, item.dwStyle,
                                WsMapDialogRect(m_hWnd, item.x, item.y, item.cx, item.cy));
        }
    }
}

void AfxCenterOnWorkArea(CWnd* pWnd) {
    CRect rect;
    pWnd->GetWindowRect(&rect);
    const CRect work = AfxGetWorkArea();
    int x = (work.left + work.right) / 2 - rect.Width() / 2;
    int y = (work.top + work.bottom) / 2 - rect.Height() / 2;
    if (x + rect.Width() > work.right) {
        x = work.right - rect.Width();
    }
    if (y + rect.Height() > work.bottom) {
        y = work.bottom - rect.Height();
    }
    if (x < work.left) {
        x = work.left;
    }
    if (y < work.top) {
        y = work.top;
    }
    pWnd->MoveWindow(x, y, rect.Width(), rect.Height(), FALSE);
}

INT_PTR CDialog::DoModal() {
    if (!CreateFromTemplate(m_pParentWnd)) {
        return -1;
    }
    const INT_PTR nResult = WsRunModalLoop(m_hWnd);
    if (WsIsWindow(m_hWnd)) {
        WsDestroyWindow(m_hWnd);
    }
    return nResult;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    m_nIDHelp = nIDTemplate;
    m_pParentWnd = pParentWnd;
    return CreateFromTemplate(pParentWnd);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        CreateHostedItems();
        return OnInitDialog();
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() { EndDialog(IDOK); }
void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int nResult) { WsEndDialog(m_hWnd, nResult); }

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE)) {
        SendMessage(WM_COMMAND, pMsg->wParam == VK_RETURN ? IDOK : IDCANCEL, 0);
        return TRUE;
    }
    return FALSE;
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    if (HIWORD(wParam) == BN_CLICKED && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        LOWORD(wParam) == IDOK ? OnOK() : OnCancel();
        return TRUE;
    }
    return FALSE;
}
