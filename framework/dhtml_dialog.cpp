#include "framework/dhtml_dialog.h"

#include "framework/codepage.h"
#include "framework/window_system.h"

HRESULT CWebBrowserApp::put_Silent(VARIANT_BOOL bSilent) {
    VARIANT value{};
    value.vt = VT_BOOL;
    value.boolVal = bSilent != VARIANT_FALSE ? VARIANT_TRUE : VARIANT_FALSE;
    return WsInvokeBrowser(m_hBrowser, DISPID_SILENT, DISPATCH_PROPERTYPUT, {value}, nullptr);
}

namespace {

// The title of the browser's document ("" while it has none).
std::u16string DocumentTitle(HWND hBrowser) {
    VARIANT document{};
    if (WsInvokeBrowser(hBrowser, DISPID_DOCUMENT, DISPATCH_PROPERTYGET, {}, &document) != S_OK ||
        document.vt != VT_DISPATCH || document.pdispVal == nullptr) {
        return std::u16string();
    }
    std::u16string strTitle = AfxDocumentTitle(document.pdispVal);
    document.pdispVal->Release();
    return strTitle;
}

} // namespace

// The dialog's own document host: it answers the browser with the dialog's host flags and leaves
// everything else (context menu, external object...) to the browser.
class CDHtmlHostUIHandler : public TComObject<TDocHostUIHandlerImpl> {
public:
    explicit CDHtmlHostUIHandler(CDHtmlDialog* pDialog) : m_pDialog(pDialog) {}
    void Detach() { m_pDialog = nullptr; }

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
    void* InterfaceFor(REFIID riid) override {
        return riid == IID_IDocHostUIHandler ? static_cast<IDocHostUIHandler*>(this) : nullptr;
    }
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
    m_hwndBrowser = WsCreateBrowserHost(m_hWnd, AFX_IDC_BROWSER, WS_CHILD | WS_VISIBLE, client);
    m_pBrowserApp = new CWebBrowserApp(m_hwndBrowser);
    if (m_hwndBrowser != nullptr) {
        if (m_pHostUIHandler == nullptr) {
            m_pHostUIHandler = new CDHtmlHostUIHandler(this);
        }
        WsSetBrowserHostHandler(m_hwndBrowser, m_pHostUIHandler);
    }
    return TRUE;
}

void CDHtmlDialog::Navigate(const char* lpszURL, DWORD, const char*, const char*, void*, DWORD) {
    if (m_hwndBrowser == nullptr || lpszURL == nullptr) {
        return;
    }
    VARIANT url{};
    url.vt = VT_BSTR;
    url.bstrVal = AfxSysAllocString(AfxCodePageToUtf16(CP_ACP, lpszURL));
    WsInvokeBrowser(m_hwndBrowser, DISPID_NAVIGATE, DISPATCH_METHOD, {url}, nullptr);
    AfxSysFreeString(url.bstrVal);
}

BOOL CDHtmlDialog::CanAccessExternal() { return FALSE; }

BOOL CDHtmlDialog::OnEvent(UINT idCtrl, DISPID dispid, DISPPARAMS* pParams) {
    if (idCtrl == AFX_IDC_BROWSER && dispid == DISPID_DOCUMENTCOMPLETE) {
        if (m_bUseHtmlTitle && m_hwndBrowser != nullptr) {
            SetWindowText(AfxUtf16ToCodePage(CP_ACP, DocumentTitle(m_hwndBrowser)).c_str());
        }
        return TRUE;
    }
    return CDialog::OnEvent(idCtrl, dispid, pParams);
}

void CDHtmlDialog::OnSize(UINT nType, int cx, int cy) {
    CDialog::OnSize(nType, cx, cy);
    if (WsIsWindow(m_hwndBrowser)) {
        WsMoveWindow(m_hwndBrowser, CRect(0, 0, cx, cy), true);
    }
}
