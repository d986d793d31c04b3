#include "framework/dhtml_dialog.h"

#include "framework/codepage.h"
#include "framework/emulated/window_core.h"

#include <atomic>

HRESULT CWebBrowserApp::put_Silent(VARIANT_BOOL bSilent) {
    CBrowserControl* pControl = AfxGetBrowserControl(m_hBrowser);
    if (pControl == nullptr) {
        return E_FAIL;
    }
    pControl->m_bSilent = bSilent != VARIANT_FALSE;
    return S_OK;
}

// The dialog's own document host: it answers the browser with the dialog's host flags and leaves
// everything else (context menu, external object...) to the browser.
class CDHtmlHostUIHandler : public TDocHostUIHandlerImpl {
public:
    explicit CDHtmlHostUIHandler(CDHtmlDialog* pDialog) : m_pDialog(pDialog) {}
    void Detach() { m_pDialog = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
        if (ppvObject == nullptr) {
            return E_POINTER;
        }
        if (riid == IID_IUnknown || riid == IID_IDocHostUIHandler) {
            *ppvObject = static_cast<IDocHostUIHandler*>(this);
            AddRef();
            return S_OK;
        }
        *ppvObject = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_nRefs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG nRefs = --m_nRefs;
        if (nRefs == 0) {
            delete this;
        }
        return nRefs;
    }
    HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override {
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* pInfo) override {
        if (pInfo == nullptr || m_pDialog == nullptr) {
            return E_NOTIMPL;
        }
        pInfo->dwFlags = m_pDialog->m_dwHostFlags;
        pInfo->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
        return S_OK;
    }

private:
    ~CDHtmlHostUIHandler() override = default;
    std::atomic<ULONG> m_nRefs{1};
    CDHtmlDialog* m_pDialog;
};

CDHtmlDialog::CDHtmlDialog(UINT nIDTemplate, UINT, CWnd* pParentWnd) : CDialog(nIDTemplate, pParentWnd) {}

CDHtmlDialog::~CDHtmlDialog() {
    if (m_pHostUIHandler != nullptr) {
        m_pHostUIHandler->Detach();
        m_pHostUIHandler->Release();
    }
    delete m_pBrowserApp;
}

BOOL CDHtmlDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    CRect client;
    GetClientRect(&client);
    m_hwndBrowser = AfxCreateBrowserControl(m_hWnd, AFX_IDC_BROWSER, WS_CHILD | WS_VISIBLE, client, "");
    m_pBrowserApp = new CWebBrowserApp(m_hwndBrowser);
    if (CBrowserControl* pControl = AfxGetBrowserControl(m_hwndBrowser)) {
        if (m_pHostUIHandler == nullptr) {
            m_pHostUIHandler = new CDHtmlHostUIHandler(this);
        }
        pControl->InstallUIHandler(m_pHostUIHandler);
    }
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
