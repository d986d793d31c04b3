// The model's WebBrowser control: what the dialogs see of a browser on every display backend.
//
// Realises: the control's member calls by dispatch id (Navigate, Stop, get_Document, put_Visible,
// put_Silent, Application), the document object (its title, SetUIHandler), the events the backend
// reports (BeforeNavigate2 with its cancel flag, DocumentComplete, NavigateError, the page process's
// end) delivered to the item's parent at the dispatch boundary, the no-answer bound, the program's
// own pages (their parameters put in the page). Does not realise: a page's script objects
// (window.external, get_Script), frames' own document objects, the other members of IWebBrowser2.
#include "framework/emulated/browser_model.h"

#include "framework/codepage.h"
#include "framework/exception.h"
#include "framework/emulated/window_record.h"
#include "framework/window_system.h"

// The document of a browser control: its title and the UI-handler installation.
class CBrowserDocument : public TComObject<IHTMLDocument2, ICustomDoc> {
public:
    explicit CBrowserDocument(CBrowserControl* pControl) : m_pControl(pControl) {}
    void Detach() { m_pControl = nullptr; }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, DWORD, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, OLECHAR**, UINT, DWORD, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, DWORD, WORD, DISPPARAMS*, VARIANT*, void*,
                                     UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_Script(IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_all(void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_body(void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_activeElement(void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_images(void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_applets(void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_links(void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_forms(void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_anchors(void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_title(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_title(BSTR* p) override {
        if (p == nullptr) {
            return E_POINTER;
        }
        *p = AfxSysAllocString(m_pControl != nullptr ? m_pControl->m_strTitle : std::u16string());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetUIHandler(IDocHostUIHandler* pUIHandler) override {
        if (m_pControl != nullptr) {
            m_pControl->InstallUIHandler(pUIHandler);
        }
        return S_OK;
    }

private:
    ~CBrowserDocument() override = default;
    void* InterfaceFor(REFIID riid) override {
        if (riid == IID_IDispatch || riid == IID_IHTMLDocument2) {
            return static_cast<IHTMLDocument2*>(this);
        }
        return riid == IID_ICustomDoc ? static_cast<ICustomDoc*>(this) : nullptr;
    }
    CBrowserControl* m_pControl;
};

CBrowserControl::CBrowserControl(HWND hWnd) : m_hWnd(hWnd), m_pDocument(new CBrowserDocument(this)) {}

CBrowserControl::~CBrowserControl() {
    m_pDocument->Detach();
    m_pDocument->Release();
    if (m_pUIHandler != nullptr) {
        m_pUIHandler->Release();
    }
}

HRESULT CBrowserControl::Invoke(DISPID dispid, WORD wFlags, const std::vector<VARIANT>& arguments,
                                VARIANT* pResult) {
    const auto boolArgument = [&]() { return !arguments.empty() && arguments[0].boolVal != VARIANT_FALSE; };
    switch (dispid) {
    case DISPID_NAVIGATE:
        if (arguments.empty() || arguments[0].vt != VT_BSTR) {
            return E_FAIL;
        }
        m_strRequestedUrl = AfxBstrText(arguments[0].bstrVal);
        BackendBrowserNavigate(this, m_strRequestedUrl);
        return S_OK;
    case DISPID_STOP:
        BackendBrowserStop(this);
        return S_OK;
    case DISPID_DOCUMENT:
        if (pResult != nullptr) {
            pResult->vt = VT_DISPATCH;
            pResult->pdispVal = nullptr;
            if (m_bHasDocument) {
                m_pDocument->AddRef();
                pResult->pdispVal = static_cast<IHTMLDocument2*>(m_pDocument);
            }
        }
        return S_OK;
    case DISPID_VISIBLE:
        if ((wFlags & DISPATCH_PROPERTYPUT) != 0) {
            ModelSetVisible(m_hWnd, boolArgument());
        }
        return S_OK;
    case DISPID_SILENT:
        if ((wFlags & DISPATCH_PROPERTYPUT) != 0) {
            m_bSilent = boolArgument();
        }
        return S_OK;
    default:
        return E_NOTIMPL;
    }
}

void CBrowserControl::Fire(DISPID dispid, std::vector<VARIANT>& arguments) {
    CWindowRecord* pRecord = ModelGetRecord(m_hWnd);
    if (pRecord == nullptr) {
        return;
    }
    std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (CWnd* pParent = CWnd::FromHandle(pRecord->hParent)) {
        const UINT nID = pRecord->nID;
        AfxCallAtBoundary(pParent->m_hWnd, FALSE,
                          [pParent, nID, dispid, &params] { return pParent->OnEvent(nID, dispid, &params); });
    }
}

namespace {

VARIANT BstrVariant(BSTR bstr) {
    VARIANT v{};
    v.vt = VT_BSTR;
    v.bstrVal = bstr;
    return v;
}

VARIANT RefVariant(VARIANT* pTarget) {
    VARIANT v{};
    v.vt = VT_BYREF | VT_VARIANT;
    v.pvarVal = pTarget;
    return v;
}

} // namespace

bool CBrowserControl::FireBeforeNavigate2(const std::u16string& strUrl) {
    VARIANT url = BstrVariant(AfxSysAllocString(strUrl));
    VARIANT empty{};
    VARIANT flags{}, target{}, postData{}, headers{};
    VARIANT_BOOL bCancel = VARIANT_FALSE;
    VARIANT cancel{};
    cancel.vt = VT_BYREF | VT_BOOL;
    cancel.pboolVal = &bCancel;
    VARIANT frame{};
    frame.vt = VT_DISPATCH;
    std::vector<VARIANT> arguments{frame,
                                   RefVariant(&url),
                                   RefVariant(&flags),
                                   RefVariant(&target),
                                   RefVariant(&postData),
                                   RefVariant(&headers),
                                   cancel};
    (void)empty;
    Fire(DISPID_BEFORENAVIGATE2, arguments);
    AfxSysFreeString(url.bstrVal);
    return bCancel != VARIANT_FALSE;
}

void CBrowserControl::FireDocumentComplete(const std::u16string& strUrl) {
    m_bHasDocument = true;
    VARIANT url = BstrVariant(AfxSysAllocString(strUrl));
    VARIANT frame{};
    frame.vt = VT_DISPATCH;
    std::vector<VARIANT> arguments{frame, RefVariant(&url)};
    Fire(DISPID_DOCUMENTCOMPLETE, arguments);
    AfxSysFreeString(url.bstrVal);
}

bool CBrowserControl::FireNavigateError(const std::u16string& strUrl, HRESULT hrStatus) {
    VARIANT url = BstrVariant(AfxSysAllocString(strUrl));
    VARIANT target{};
    VARIANT status{};
    status.vt = VT_I4;
    status.lVal = hrStatus;
    VARIANT_BOOL bCancel = VARIANT_FALSE;
    VARIANT cancel{};
    cancel.vt = VT_BYREF | VT_BOOL;
    cancel.pboolVal = &bCancel;
    VARIANT frame{};
    frame.vt = VT_DISPATCH;
    std::vector<VARIANT> arguments{frame, RefVariant(&url), RefVariant(&target), RefVariant(&status), cancel};
    Fire(DISPID_NAVIGATEERROR, arguments);
    AfxSysFreeString(url.bstrVal);
    return bCancel != VARIANT_FALSE;
}

void CBrowserControl::FirePageProcessEnded() {
    std::vector<VARIANT> arguments;
    Fire(DISPID_PAGEPROCESSENDED, arguments);
}

bool CBrowserControl::HandlerSuppressesContextMenu(POINT pt) {
    return m_pUIHandler != nullptr && m_pUIHandler->ShowContextMenu(0, &pt, nullptr, nullptr) == S_OK;
}

DOCHOSTUIINFO CBrowserControl::HostInfo() {
    DOCHOSTUIINFO info{};
    info.cbSize = sizeof(info);
    if (m_pUIHandler == nullptr || m_pUIHandler->GetHostInfo(&info) != S_OK) {
        info.dwFlags = 0;
    }
    return info;
}

void CBrowserControl::InstallUIHandler(IDocHostUIHandler* pHandler) {
    if (pHandler != nullptr) {
        pHandler->AddRef();
    }
    if (m_pUIHandler != nullptr) {
        m_pUIHandler->Release();
    }
    m_pUIHandler = pHandler;
    BackendBrowserHostPolicyChanged(this);
}

HWND WsCreateBrowserHost(HWND hParent, UINT nID, DWORD dwStyle, const RECT& rect) {
    CWindowCreate create;
    create.strClass = "WebBrowser";
    create.dwStyle = dwStyle | WS_CHILD;
    create.rect = rect;
    create.hParent = hParent;
    create.nID = nID;
    // The control exists before the window system sees the item, so the backend can embed its view.
    HWND hWnd = ModelCreateWindow(create, nullptr);
    if (CWindowRecord* pRecord = ModelGetRecord(hWnd)) {
        pRecord->pControl = std::make_unique<CBrowserControl>(hWnd);
        BackendBrowserCreated(pRecord->pControl.get());
    }
    return hWnd;
}

CBrowserControl* ModelGetBrowserControl(HWND hWnd) {
    CWindowRecord* pRecord = ModelGetRecord(hWnd);
    return pRecord != nullptr ? pRecord->pControl.get() : nullptr;
}

HRESULT WsInvokeBrowser(HWND hBrowser, DISPID dispid, WORD wFlags, const std::vector<VARIANT>& arguments,
                        VARIANT* pResult) {
    CBrowserControl* pControl = ModelGetBrowserControl(hBrowser);
    return pControl != nullptr ? pControl->Invoke(dispid, wFlags, arguments, pResult) : E_FAIL;
}

namespace {

// The page with its parameters in its "page-parameters" meta element (HTML-escaped).
std::string PageWithParameters(std::string strHtml, const std::string& strParameters) {
    std::string strEscaped;
    for (char c : strParameters) {
        switch (c) {
        case '&':
            strEscaped += "&amp;";
            break;
        case '"':
            strEscaped += "&quot;";
            break;
        case '<':
            strEscaped += "&lt;";
            break;
        case '>':
            strEscaped += "&gt;";
            break;
        default:
            strEscaped += c;
        }
    }
    const std::string strMarker = "<meta name=\"page-parameters\" content=\"";
    const std::size_t nAt = strHtml.find(strMarker);
    if (nAt != std::string::npos) {
        strHtml.insert(nAt + strMarker.size(), strEscaped);
    }
    return strHtml;
}

} // namespace

HRESULT WsShowBrowserResourcePage(HWND hBrowser, UINT nHtmlID, const std::u16string& strParameters,
                                  const std::u16string& strFailedUrl) {
    CBrowserControl* pControl = ModelGetBrowserControl(hBrowser);
    const BYTE* pData = nullptr;
    std::size_t nSize = 0;
    if (pControl == nullptr || !AfxFindResource(nHtmlID, "HTML", pData, nSize)) {
        return E_FAIL;
    }
    const std::string strHtml(reinterpret_cast<const char*>(pData), nSize);
    BackendBrowserShowPage(pControl, PageWithParameters(strHtml, AfxUtf16ToCodePage(CP_UTF8, strParameters)),
                           strFailedUrl);
    return S_OK;
}

// The model's engines report failures of the top-level document only.
bool WsIsTopLevelBrowserObject(HWND hBrowser, IDispatch*) {
    return ModelGetBrowserControl(hBrowser) != nullptr;
}

void WsSetBrowserHostHandler(HWND hBrowser, IDocHostUIHandler* pHandler) {
    if (CBrowserControl* pControl = ModelGetBrowserControl(hBrowser)) {
        pControl->InstallUIHandler(pHandler);
    }
}
