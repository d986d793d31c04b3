// The WebBrowser control on Windows, in our own OLE in-place host.
//
// Realises: the host item (a child window with the item's id, rectangle and style), the control made
// by CoCreateInstance and activated in place into it (client site, in-place site and frame, the
// ambient properties asked through IDispatch answered by default), its rectangle following the item's
// size, member calls by dispatch id (IDispatch::Invoke, property puts with DISPID_PROPERTYPUT),
// BeforeNavigate2 (250, with its cancel flag passed back), DocumentComplete (259) and NavigateError
// (271, its cancel flag keeping the control's own error page away) from a
// DWebBrowserEvents2 sink through the connection point to the parent's OnEvent with COM-ordered
// DISPPARAMS, the host's own IDocHostUIHandler answered from the client site, teardown with the item.
// the program's own HTML resources shown by their res: address (HTML<id>, the parameters as the
// fragment), the top-level test of an event's frame object by COM identity.
// Does not realise: keyboard accelerators of the page (IOleInPlaceActiveObject::TranslateAccelerator),
// drag and drop, a frame menu or toolbars.
#include "framework/browser.h"
#include "framework/exception.h"
#include "framework/window_system.h"
#include "framework/wnd.h"

#include <exdisp.h>
#include <exdispid.h>
#include <ole2.h>

#include <iterator>
#include <string>
#include <unordered_map>

namespace {

constexpr const char* kHostClass = "DrelkBrowserHost";
// Navigates the host's control to its pending page (posted: see WsShowBrowserResourcePage).
constexpr UINT kShowPageMessage = WM_APP + 0x2201;

// One object answers every container interface the control asks for.
class CBrowserSite : public TComObject<IOleClientSite, IOleInPlaceSite, IOleInPlaceFrame, IDispatch> {
public:
    explicit CBrowserSite(HWND hHost) : m_hHost(hHost) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IDocHostUIHandler && m_pHostHandler != nullptr) {
            // The host's own document UI handler (an object of its own), asked before any the page's
            // document installs.
            return m_pHostHandler->QueryInterface(riid, ppv);
        }
        return TComObject::QueryInterface(riid, ppv);
    }

    // ---- IOleClientSite ----
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** ppContainer) override {
        *ppContainer = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // ---- IOleWindow (IOleInPlaceSite and IOleInPlaceFrame share it) ----
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) override {
        *phwnd = m_hHost;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // ---- IOleInPlaceSite ----
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                               LPRECT lprcPosRect, LPRECT lprcClipRect,
                                               LPOLEINPLACEFRAMEINFO lpFrameInfo) override {
        *ppFrame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        *ppDoc = nullptr;
        GetClientRect(m_hHost, lprcPosRect);
        GetClientRect(m_hHost, lprcClipRect);
        lpFrameInfo->fMDIApp = FALSE;
        lpFrameInfo->hwndFrame = GetParent(m_hHost);
        lpFrameInfo->haccel = nullptr;
        lpFrameInfo->cAccelEntries = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override {
        // The control's rectangle stays the item's.
        Resize();
        return S_OK;
    }

    // ---- IOleInPlaceUIWindow / IOleInPlaceFrame ----
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // ---- IDispatch: the ambient properties take their defaults; the events of DWebBrowserEvents2 ----
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override {
        *pctinfo = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* pParams, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        if (dispid != DISPID_BEFORENAVIGATE2 && dispid != DISPID_DOCUMENTCOMPLETE &&
            dispid != DISPID_NAVIGATEERROR) {
            return DISP_E_MEMBERNOTFOUND;
        }
        // Events reach the dialog as the model delivers them: the parent's OnEvent at the boundary.
        HWND hParent = GetParent(m_hHost);
        if (CWnd* pParent = WsWindowObject(hParent)) {
            const UINT nID = static_cast<UINT>(GetDlgCtrlID(m_hHost));
            AfxCallAtBoundary(hParent, [&] { pParent->OnEvent(nID, dispid, pParams); });
        }
        return S_OK;
    }

    // ---- The host's side ----
    bool Create(const RECT& rect) {
        if (CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                             reinterpret_cast<void**>(&m_pObject)) != S_OK) {
            return false;
        }
        m_pObject->SetClientSite(this);
        RECT client{0, 0, rect.right - rect.left, rect.bottom - rect.top};
        m_pObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, m_hHost, &client);
        m_pObject->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&m_pBrowser));
        IConnectionPointContainer* pContainer = nullptr;
        if (m_pObject->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&pContainer)) ==
            S_OK) {
            if (pContainer->FindConnectionPoint(DIID_DWebBrowserEvents2, &m_pEvents) == S_OK) {
                m_pEvents->Advise(static_cast<IDispatch*>(this), &m_dwCookie);
            }
            pContainer->Release();
        }
        return m_pBrowser != nullptr;
    }

    void Resize() {
        IOleInPlaceObject* pInPlace = nullptr;
        if (m_pObject != nullptr &&
            m_pObject->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&pInPlace)) == S_OK) {
            RECT client{};
            GetClientRect(m_hHost, &client);
            pInPlace->SetObjectRects(&client, &client);
            pInPlace->Release();
        }
    }

    void Destroy() {
        if (m_pEvents != nullptr) {
            m_pEvents->Unadvise(m_dwCookie);
            m_pEvents->Release();
            m_pEvents = nullptr;
        }
        if (m_pBrowser != nullptr) {
            m_pBrowser->Release();
            m_pBrowser = nullptr;
        }
        if (m_pObject != nullptr) {
            m_pObject->Close(OLECLOSE_NOSAVE);
            m_pObject->SetClientSite(nullptr);
            m_pObject->Release();
            m_pObject = nullptr;
        }
        SetHostHandler(nullptr);
    }

    void SetHostHandler(IDocHostUIHandler* pHandler) {
        if (pHandler != nullptr) {
            pHandler->AddRef();
        }
        if (m_pHostHandler != nullptr) {
            m_pHostHandler->Release();
        }
        m_pHostHandler = pHandler;
    }

    IWebBrowser2* Browser() const { return m_pBrowser; }
    std::u16string m_strPendingPage; // the program's page to navigate to, once the event has returned

private:
    ~CBrowserSite() override = default;
    void* InterfaceFor(REFIID riid) override {
        if (riid == IID_IOleClientSite) {
            return static_cast<IOleClientSite*>(this);
        }
        if (riid == IID_IOleInPlaceSite || riid == IID_IOleWindow) {
            return static_cast<IOleInPlaceSite*>(this);
        }
        if (riid == IID_IOleInPlaceFrame || riid == IID_IOleInPlaceUIWindow) {
            return static_cast<IOleInPlaceFrame*>(this);
        }
        if (riid == IID_IDispatch) {
            return static_cast<IDispatch*>(this);
        }
        return nullptr;
    }
    HWND m_hHost;
    IOleObject* m_pObject = nullptr;
    IWebBrowser2* m_pBrowser = nullptr;
    IConnectionPoint* m_pEvents = nullptr;
    DWORD m_dwCookie = 0;
    IDocHostUIHandler* m_pHostHandler = nullptr;
};

std::unordered_map<HWND, CBrowserSite*>& Sites() {
    static std::unordered_map<HWND, CBrowserSite*> s_sites;
    return s_sites;
}

CBrowserSite* SiteOf(HWND hBrowser) {
    auto it = Sites().find(hBrowser);
    return it != Sites().end() ? it->second : nullptr;
}

LRESULT CALLBACK HostProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kShowPageMessage:
        if (CBrowserSite* pSite = SiteOf(hWnd); pSite != nullptr && !pSite->m_strPendingPage.empty()) {
            VARIANT url{};
            url.vt = VT_BSTR;
            url.bstrVal = AfxSysAllocString(pSite->m_strPendingPage);
            pSite->m_strPendingPage.clear();
            WsInvokeBrowser(hWnd, DISPID_NAVIGATE, DISPATCH_METHOD, {url}, nullptr);
            AfxSysFreeString(url.bstrVal);
        }
        return 0;
    case WM_SIZE:
        if (CBrowserSite* pSite = SiteOf(hWnd)) {
            pSite->Resize();
        }
        break;
    case WM_DESTROY:
        if (CBrowserSite* pSite = SiteOf(hWnd)) {
            Sites().erase(hWnd);
            pSite->Destroy();
            pSite->Release();
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

} // namespace

HWND WsCreateBrowserHost(HWND hParent, UINT nID, DWORD dwStyle, const RECT& rect) {
    static const bool s_bRegistered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kHostClass;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        return RegisterClassA(&wc) != 0;
    }();
    if (!s_bRegistered || !WsIsWindow(hParent)) {
        return nullptr;
    }
    HWND hHost = CreateWindowExA(0, kHostClass, "", (dwStyle | WS_CHILD | WS_CLIPCHILDREN), rect.left,
                                 rect.top, rect.right - rect.left, rect.bottom - rect.top, hParent,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)),
                                 GetModuleHandleA(nullptr), nullptr);
    if (hHost == nullptr) {
        return nullptr;
    }
    auto* pSite = new CBrowserSite(hHost);
    Sites()[hHost] = pSite;
    if (!pSite->Create(rect)) {
        // No control: the item stays, empty, and every call on it fails.
        Sites().erase(hHost);
        pSite->Destroy();
        pSite->Release();
    }
    return hHost;
}

HRESULT WsInvokeBrowser(HWND hBrowser, DISPID dispid, WORD wFlags, const std::vector<VARIANT>& arguments,
                        VARIANT* pResult) {
    CBrowserSite* pSite = SiteOf(hBrowser);
    if (pSite == nullptr || pSite->Browser() == nullptr) {
        return E_FAIL;
    }
    // COM takes the arguments last first; a null VARIANT* is an optional argument left out.
    std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
    for (VARIANT& argument : reversed) {
        if (argument.vt == (VT_BYREF | VT_VARIANT) && argument.pvarVal == nullptr) {
            argument.vt = VT_ERROR;
            argument.scode = DISP_E_PARAMNOTFOUND;
        }
    }
    DISPID dispidPut = DISPID_PROPERTYPUT;
    DISPPARAMS params{};
    params.rgvarg = reversed.empty() ? nullptr : reversed.data();
    params.cArgs = static_cast<UINT>(reversed.size());
    if ((wFlags & DISPATCH_PROPERTYPUT) != 0) {
        params.rgdispidNamedArgs = &dispidPut;
        params.cNamedArgs = 1;
    }
    return pSite->Browser()->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, wFlags, &params, pResult, nullptr,
                                    nullptr);
}

void WsSetBrowserHostHandler(HWND hBrowser, IDocHostUIHandler* pHandler) {
    if (CBrowserSite* pSite = SiteOf(hBrowser)) {
        pSite->SetHostHandler(pHandler);
    }
}

namespace {

// The res: address of the executable's HTML resource nHtmlID (named HTML<id> by the resource
// script): the module's path percent-encoded where the protocol asks it.
std::u16string ResourcePageAddress(UINT nHtmlID) {
    wchar_t szPath[MAX_PATH * 4] = {};
    const DWORD nLength = GetModuleFileNameW(nullptr, szPath, static_cast<DWORD>(std::size(szPath)));
    std::u16string strAddress = u"res://";
    for (DWORD i = 0; i < nLength; ++i) {
        const wchar_t c = szPath[i];
        if (c == L'\\' || c == L'%' || c == L'#' || c == L' ' || c == L'?') {
            static const char kHex[] = "0123456789ABCDEF";
            strAddress += u'%';
            strAddress += static_cast<char16_t>(kHex[(c >> 4) & 0xF]);
            strAddress += static_cast<char16_t>(kHex[c & 0xF]);
        } else {
            strAddress += static_cast<char16_t>(c);
        }
    }
    strAddress += u"/HTML";
    for (char c : std::to_string(nHtmlID)) {
        strAddress += static_cast<char16_t>(c);
    }
    return strAddress;
}

} // namespace

HRESULT WsShowBrowserResourcePage(HWND hBrowser, UINT nHtmlID, const std::u16string& strParameters,
                                  const std::u16string&) {
    if (FindResourceA(nullptr, ("HTML" + std::to_string(nHtmlID)).c_str(), MAKEINTRESOURCEA(23)) == nullptr) {
        return E_FAIL;
    }
    if (SiteOf(hBrowser) == nullptr) {
        return E_FAIL;
    }
    // Asked from inside the control's NavigateError: the control is still at work on the failed
    // navigation, so the page is navigated to once that event has returned.
    // The latest page asked for is the one shown; a message still queued when the host ends finds
    // no site and does nothing.
    CBrowserSite* pSite = SiteOf(hBrowser);
    const bool bPosted = !pSite->m_strPendingPage.empty();
    pSite->m_strPendingPage = ResourcePageAddress(nHtmlID) + u"#" + strParameters;
    if (!bPosted && !PostMessageA(hBrowser, kShowPageMessage, 0, 0)) {
        pSite->m_strPendingPage.clear();
        return E_FAIL;
    }
    return S_OK;
}

bool WsIsTopLevelBrowserObject(HWND hBrowser, IDispatch* pDisp) {
    CBrowserSite* pSite = SiteOf(hBrowser);
    if (pSite == nullptr || pSite->Browser() == nullptr || pDisp == nullptr) {
        return false;
    }
    IUnknown* pFrame = nullptr;
    IUnknown* pTop = nullptr;
    pDisp->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&pFrame));
    pSite->Browser()->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&pTop));
    const bool bSame = pFrame != nullptr && pFrame == pTop;
    if (pFrame != nullptr) {
        pFrame->Release();
    }
    if (pTop != nullptr) {
        pTop->Release();
    }
    return bSame;
}
