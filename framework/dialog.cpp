#include "framework/dialog.h"

#include "framework/browser.h"
#include "framework/resources.h"
#include "framework/emulated/window_core.h"

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
    CWindowCreate create;
    create.strClass = "#32770";
    create.strText = pTemplate->pszTitle;
    create.dwStyle = pTemplate->dwStyle & ~static_cast<DWORD>(WS_VISIBLE);
    create.dwExStyle = pTemplate->dwExStyle;
    create.rect =
        AfxDialogUnitsToPixels(*pTemplate, pTemplate->x, pTemplate->y, pTemplate->cx, pTemplate->cy);
    create.hOwner = pOwner != nullptr ? pOwner->m_hWnd : nullptr;
    if (AfxCreateWindow(create, this) == nullptr) {
        return FALSE;
    }
    AfxGetRecord(m_hWnd)->pTemplate = pTemplate;
    for (const CDialogItemTemplate& item : pTemplate->items) {
        const CRect rect = AfxDialogUnitsToPixels(*pTemplate, item.x, item.y, item.cx, item.cy);
        if (std::string(item.pszClass) == "WebBrowser") {
            AfxCreateBrowserControl(m_hWnd, item.nID, item.dwStyle, rect, "");
        } else {
            CWindowCreate child;
            child.strClass = item.pszClass;
            child.dwStyle = item.dwStyle | WS_CHILD;
            child.rect = rect;
            child.hParent = m_hWnd;
            child.nID = item.nID;
            AfxCreateWindow(child, nullptr);
        }
    }
    const CRect rectBefore = AfxGetRecord(m_hWnd)->rcWindow;
    SendMessage(WM_INITDIALOG, 0, 0);
    CWindowRecord* pRecord = AfxGetRecord(m_hWnd);
    if (pRecord == nullptr) {
        return FALSE;
    }
    // The classic framework centres a dialog that initialisation neither showed nor moved, that has
    // no owner and asks for no placement of its own.
    const bool bCentringStyle = (pTemplate->dwStyle & (DS_CENTER | DS_CENTERMOUSE)) != 0;
    if (!bCentringStyle && !pRecord->bVisible && pRecord->hOwner == nullptr &&
        pRecord->rcWindow.left == rectBefore.left && pRecord->rcWindow.top == rectBefore.top) {
        AfxCenterOnWorkArea(this);
    }
    if ((pTemplate->dwStyle & WS_VISIBLE) != 0 && AfxGetRecord(m_hWnd) != nullptr) {
        ShowWindow(SW_SHOW);
    }
    return TRUE;
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

namespace {
bool ModalGoesOn(void* pContext) {
    CWindowRecord* pRecord = AfxGetRecord(static_cast<CDialog*>(pContext)->m_hWnd);
    return pRecord != nullptr && !pRecord->bDialogEnded;
}
} // namespace

INT_PTR CDialog::DoModal() {
    CWnd* pOwner = m_pParentWnd;
    if (!CreateFromTemplate(pOwner)) {
        return -1;
    }
    AfxRunMessageLoop(ModalGoesOn, this);
    INT_PTR nResult = -1;
    if (CWindowRecord* pRecord = AfxGetRecord(m_hWnd)) {
        nResult = pRecord->bDialogEnded ? pRecord->nDialogResult : -1;
        AfxDestroyWindow(m_hWnd);
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

void CDialog::EndDialog(int nResult) {
    CWindowRecord* pRecord = AfxGetRecord(m_hWnd);
    if (pRecord == nullptr) {
        return;
    }
    pRecord->bDialogEnded = true;
    pRecord->nDialogResult = nResult;
    // A modeless dialog is hidden; a modal one ends its loop.
    AfxSetVisible(m_hWnd, false);
    BackendWakeUp();
}

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
