#include "framework/dhtml_dialog.h"

#include "framework/codepage.h"
#include "framework/window_core.h"

HRESULT CWebBrowserApp::put_Silent(VARIANT_BOOL bSilent) {
    CBrowserControl* pControl = AfxGetBrowserControl(m_hBrowser);
    if (pControl == nullptr) {
        return E_FAIL;
    }
    pControl->m_bSilent = bSilent != VARIANT_FALSE;
    return S_OK;
}

CDHtmlDialog::CDHtmlDialog(UINT nIDTemplate, UINT, CWnd* pParentWnd) : CDialog(nIDTemplate, pParentWnd) {}

CDHtmlDialog::~CDHtmlDialog() { delete m_pBrowserApp; }

BOOL CDHtmlDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    CRect client;
    GetClientRect(&client);
    m_hwndBrowser = AfxCreateBrowserControl(m_hWnd, AFX_IDC_BROWSER, WS_CHILD | WS_VISIBLE, client, "");
    m_pBrowserApp = new CWebBrowserApp(m_hwndBrowser);
    return TRUE;
}

void CDHtmlDialog::Navigate(const char* lpszURL, DWORD, const char*, const char*, void*, DWORD) {
    CBrowserControl* pControl = AfxGetBrowserControl(m_hwndBrowser);
    if (pControl == nullptr || lpszURL == nullptr) {
        return;
    }
    VARIANT url{};
    url.vt = VT_BSTR;
    url.bstrVal = AfxSysAllocString(AfxCodePageToUtf16(CP_ACP, lpszURL));
    pControl->Invoke(DISPID_NAVIGATE, DISPATCH_METHOD, {url}, nullptr);
    AfxSysFreeString(url.bstrVal);
}

BOOL CDHtmlDialog::CanAccessExternal() { return FALSE; }

BOOL CDHtmlDialog::OnEvent(UINT idCtrl, DISPID dispid, DISPPARAMS* pParams) {
    if (idCtrl == AFX_IDC_BROWSER && dispid == DISPID_DOCUMENTCOMPLETE) {
        CBrowserControl* pControl = AfxGetBrowserControl(m_hwndBrowser);
        if (m_bUseHtmlTitle && pControl != nullptr) {
            SetWindowText(AfxUtf16ToCodePage(CP_ACP, pControl->m_strTitle).c_str());
        }
        return TRUE;
    }
    return CDialog::OnEvent(idCtrl, dispid, pParams);
}

void CDHtmlDialog::OnSize(UINT nType, int cx, int cy) {
    CDialog::OnSize(nType, cx, cy);
    if (AfxGetRecord(m_hwndBrowser) != nullptr) {
        AfxSetWindowRect(m_hwndBrowser, CRect(0, 0, cx, cy), true);
    }
}
