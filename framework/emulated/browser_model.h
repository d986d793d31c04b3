// The model of the WebBrowser control: what the real control does for its host, for the window
// systems that have no such control. The backend's engine (a WebKit view, or a test) drives it.
#pragma once

#include "framework/browser.h"
#include "framework/emulated/display_backend.h"
#include "framework/windefs.h"

#include <string>
#include <vector>

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
    // A top-level load failed with the status (an INET_E_ code); true when the handler cancelled the
    // engine's own error page (it then shows a page of its own).
    bool FireNavigateError(const std::u16string& strUrl, HRESULT hrStatus);
    // The engine's page process ended unexpectedly; raised from the main loop, never inside the
    // engine's own notification.
    void FirePageProcessEnded();
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

// The browser of a WebBrowser item, or null.
CBrowserControl* ModelGetBrowserControl(HWND hWnd);

// How long the model's browser waits for a server's answer (its response headers) before it gives
// the load up as failed with INET_E_CONNECTION_TIMEOUT: the engines have no bound of their own.
constexpr unsigned kBrowserNoAnswerSeconds = 30;
