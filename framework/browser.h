// The embedded browser control (the WebBrowser class), hosted as a dialog item. Its users reach it
// by dispatch id; its events (BeforeNavigate2, DocumentComplete) reach the parent through OnEvent.
// The document offers its title and ICustomDoc::SetUIHandler; the installed IDocHostUIHandler is
// asked for the host policy (context menu, border, scroll bars).
#pragma once

#include "framework/com.h"
#include "framework/wnd.h"

#include <cstdarg>
#include <string>
#include <vector>

// Dispatch ids of the control's members and events.
#define DISPID_NAVIGATE 104
#define DISPID_STOP 106
#define DISPID_DOCUMENT 203
#define DISPID_VISIBLE 402
#define DISPID_SILENT 551
#define DISPID_BEFORENAVIGATE2 250
#define DISPID_DOCUMENTCOMPLETE 259

// Argument descriptions of InvokeHelper, as the classic framework spells them.
#define VTS_NONE ""
#define VTS_BOOL "\x0B"
#define VTS_BSTR "\x08"
#define VTS_DISPATCH "\x09"
#define VTS_PVARIANT "\x4C"

class CBrowserDocument;

class CBrowserControl {
public:
    explicit CBrowserControl(HWND hWnd);
    ~CBrowserControl();
    CBrowserControl(const CBrowserControl&) = delete;
    CBrowserControl& operator=(const CBrowserControl&) = delete;

    // A member call by dispatch id; arguments in their natural order.
    HRESULT Invoke(DISPID dispid, WORD wFlags, const std::vector<VARIANT>& arguments, VARIANT* pResult);

    // ---- From the browser engine (the backend, or a test) ----
    // Before a navigation of the page or one of its frames; true when the handler cancelled it.
    bool FireBeforeNavigate2(const std::u16string& strUrl);
    // A document finished loading; after the first one the control has a document.
    void FireDocumentComplete(const std::u16string& strUrl);
    void SetTitle(const std::u16string& strTitle) { m_strTitle = strTitle; }

    // ---- Host policy, as the installed document UI handler answers ----
    // True when the handler takes the context menu over (the browser then shows none).
    bool HandlerSuppressesContextMenu(POINT pt);
    // The handler's host information; flags 0 without a handler.
    DOCHOSTUIINFO HostInfo();
    void InstallUIHandler(IDocHostUIHandler* pHandler);

    HWND m_hWnd;
    bool m_bSilent = false;
    bool m_bHasDocument = false;
    std::u16string m_strTitle;
    std::u16string m_strRequestedUrl; // the last Navigate
    IDocHostUIHandler* m_pUIHandler = nullptr;
    void* m_pNative = nullptr; // the backend's view

private:
    void Fire(DISPID dispid, std::vector<VARIANT>& arguments);
    CBrowserDocument* m_pDocument;
};

// Creates the browser item nID of hParent.
HWND AfxCreateBrowserControl(HWND hParent, UINT nID, DWORD dwStyle, const RECT& rect, const char* lpszName);
CBrowserControl* AfxGetBrowserControl(HWND hWnd);
void AfxInvokeControl(HWND hWnd, DISPID dispid, WORD wFlags, VARTYPE vtRet, void* pvRet,
                      const BYTE* pbParamInfo, va_list arguments);

// Reads event parameters (COM passes them in reverse order) by their natural position.
class CEventParams {
public:
    explicit CEventParams(DISPPARAMS* pParams) : m_pParams(pParams) {}
    VARIANT* At(UINT nIndex) const;
    IDispatch* Dispatch(UINT nIndex) const;
    VARIANT* VariantRef(UINT nIndex) const; // a VARIANT* parameter
    VARIANT_BOOL* BoolRef(UINT nIndex) const;

private:
    DISPPARAMS* m_pParams;
};

// ---- Implemented by each backend ----
void BackendBrowserCreated(CBrowserControl* pControl);
void BackendBrowserDestroyed(CBrowserControl* pControl);
void BackendBrowserNavigate(CBrowserControl* pControl, const std::u16string& strUrl);
void BackendBrowserStop(CBrowserControl* pControl);
void BackendBrowserHostPolicyChanged(CBrowserControl* pControl);
