// The browser control on WebKitGTK: a WebKitWebView placed as the dialog item.
//
// BeforeNavigate2 comes from decide-policy for navigations in the view (the request's URI) and from
// create for every new window (window.open and target=_blank links, whose new-window decision is left
// to WebKit so that each navigation is reported once); a cancelled one is ignored, and no second
// window is ever made. DocumentComplete comes from
// load-changed FINISHED with the view's URI (about:blank included). A load that fails for a reason of
// the network (refused, name not found, no network, TLS), or that has no answer kBrowserNoAnswerSeconds
// after it started, raises NavigateError with the control's status code; when the handler cancels
// it, it shows a page of its own (WsShowBrowserResourcePage: WebKit's alternate HTML under the
// failed address). Any other failure (and an uncancelled one) completes with the address that failed;
// WebKit's own error page is never shown. A page process that ends unexpectedly is reported from the
// main loop (DISPID_PAGEPROCESSENDED); the next load starts a new one. Navigations inside frames pass
// the same way (WebKit does not tell them apart). The host policy is the installed UI handler's:
// the context menu when it does not take it over, scroll bars hidden for DOCHOSTUIFLAG_SCROLL_NO.
// Silent mode keeps the page's alert, confirm and prompt dialogs from showing. A reply the engine
// cannot show becomes a download, and every download asks the player first (gtk_downloads.cpp).
#include "framework/gtk/gtk_backend.h"

#include "framework/browser.h"
#include "framework/startup_trace.h"

#include <webkit2/webkit2.h>

#include <string>

namespace {

// How many times the caches were cleared; a view that has not loaded since bypasses them once.
unsigned g_nCacheClears = 0;

struct CGtkBrowser {
    WebKitWebView* pView = nullptr;
    std::u16string strFailedUrl;
    bool bScrollBarsHidden = false;
    unsigned nCacheClearsSeen = 0;
    bool bEngineUsed = false;        // the view has been asked to load something
    unsigned nBlankRequest = 0;      // the about:blank that completes without the engine, when pending
    guint nNoAnswerSource = 0;       // the bound on the server's answer, while a load waits for it
    bool bNoAnswer = false;          // the load was stopped for want of an answer
    bool bFailureEndPending = false; // a load failed and its FINISHED has not come yet
    bool bOwnErrorPage = false;      // that FINISHED is not reported: the handler shows its own page
    guint nTitleWaitSource = 0;      // a finished document waits for its title
    std::u16string strWaitingUrl;    // and its address
};

CGtkBrowser* Native(CBrowserControl* pControl) { return static_cast<CGtkBrowser*>(pControl->m_pNative); }

// The control of a view, or null once its item is gone.
CBrowserControl* ControlOf(gpointer pData) { return ModelGetBrowserControl(static_cast<HWND>(pData)); }

WebKitWebContext* SharedContext() {
    static WebKitWebContext* s_pContext = [] {
        const std::string strBase = std::string(g_get_user_cache_dir()) + "/drelk";
        const std::string strData = std::string(g_get_user_data_dir()) + "/drelk";
        GtkMakePrivateFolder(strBase);
        GtkMakePrivateFolder(strData);
        WebKitWebsiteDataManager* pManager = webkit_website_data_manager_new(
            "base-cache-directory", strBase.c_str(), "base-data-directory", strData.c_str(), nullptr);
        WebKitWebContext* pContext = webkit_web_context_new_with_website_data_manager(pManager);
        WebKitCookieManager* pCookies = webkit_web_context_get_cookie_manager(pContext);
        const std::string strCookies = strData + "/cookies.sqlite";
        webkit_cookie_manager_set_persistent_storage(pCookies, strCookies.c_str(),
                                                     WEBKIT_COOKIE_PERSISTENT_STORAGE_SQLITE);
        g_object_unref(pManager);
        GtkAskBeforeDownloads(pContext);
        // One document at a time and never a way back: the pages of a launcher and of a game window
        // need no back-forward cache and little memory cache, while the disk cache keeps the game's
        // resources from one run to the next (the game window's cache command clears it).
        webkit_web_context_set_cache_model(pContext, WEBKIT_CACHE_MODEL_DOCUMENT_BROWSER);
        AfxTraceStartup("web-context");
        return pContext;
    }();
    return s_pContext;
}

gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* pDecision, WebKitPolicyDecisionType eType,
                        gpointer pData) {
    if (eType == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) {
        // What the engine cannot show is offered as a download, which asks the player first.
        WebKitResponsePolicyDecision* pResponse = WEBKIT_RESPONSE_POLICY_DECISION(pDecision);
        if (!webkit_response_policy_decision_is_mime_type_supported(pResponse)) {
            webkit_policy_decision_download(pDecision);
            return TRUE;
        }
        return FALSE;
    }
    CBrowserControl* pControl = ControlOf(pData);
    if (pControl == nullptr || eType != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) {
        return FALSE; // a new window's navigation is reported by create
    }
    WebKitNavigationAction* pAction =
        webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(pDecision));
    WebKitURIRequest* pRequest = webkit_navigation_action_get_request(pAction);
    if (pControl->FireBeforeNavigate2(GtkUtf16FromUtf8(webkit_uri_request_get_uri(pRequest)))) {
        webkit_policy_decision_ignore(pDecision);
        return TRUE;
    }
    return FALSE;
}

GtkWidget* OnCreate(WebKitWebView*, WebKitNavigationAction* pAction, gpointer pData) {
    if (CBrowserControl* pControl = ControlOf(pData)) {
        WebKitURIRequest* pRequest = webkit_navigation_action_get_request(pAction);
        pControl->FireBeforeNavigate2(GtkUtf16FromUtf8(webkit_uri_request_get_uri(pRequest)));
    }
    return nullptr; // no second window
}

void EndNoAnswerBound(CGtkBrowser* pNative) {
    if (pNative->nNoAnswerSource != 0) {
        g_source_remove(pNative->nNoAnswerSource);
        pNative->nNoAnswerSource = 0;
    }
}

gboolean OnNoAnswer(gpointer pData) {
    CBrowserControl* pControl = ControlOf(pData);
    if (pControl == nullptr || Native(pControl) == nullptr) {
        return G_SOURCE_REMOVE;
    }
    CGtkBrowser* pNative = Native(pControl);
    pNative->nNoAnswerSource = 0;
    pNative->bNoAnswer = true;
    webkit_web_view_stop_loading(pNative->pView); // load-failed follows, cancelled
    return G_SOURCE_REMOVE;
}

// The control's status code for a failed load; 0 for a load that was ended on purpose (a cancelled
// navigation, Stop, a download) or cannot be shown for a reason other than the network.
HRESULT FailureStatus(const GError* pError) {
    if (pError == nullptr || pError->domain == WEBKIT_POLICY_ERROR ||
        pError->domain == WEBKIT_DOWNLOAD_ERROR || pError->domain == WEBKIT_PLUGIN_ERROR) {
        return 0;
    }
    if (pError->domain == WEBKIT_NETWORK_ERROR &&
        (pError->code == WEBKIT_NETWORK_ERROR_CANCELLED ||
         pError->code == WEBKIT_NETWORK_ERROR_UNKNOWN_PROTOCOL ||
         pError->code == WEBKIT_NETWORK_ERROR_FILE_DOES_NOT_EXIST)) {
        return 0;
    }
    if (pError->domain == G_TLS_ERROR) {
        return INET_E_INVALID_CERTIFICATE;
    }
    if (pError->domain == G_IO_ERROR && pError->code == G_IO_ERROR_CONNECTION_REFUSED) {
        return INET_E_CANNOT_CONNECT;
    }
    if (!g_network_monitor_get_network_available(g_network_monitor_get_default()) ||
        (pError->domain == G_IO_ERROR && pError->code == G_IO_ERROR_NETWORK_UNREACHABLE)) {
        return INET_E_NO_SESSION;
    }
    if (pError->domain == G_RESOLVER_ERROR) {
        return INET_E_RESOURCE_NOT_FOUND;
    }
    if (pError->domain == G_IO_ERROR && pError->code == G_IO_ERROR_HOST_UNREACHABLE) {
        return INET_E_CANNOT_CONNECT;
    }
    if (pError->domain == G_IO_ERROR && pError->code == G_IO_ERROR_TIMED_OUT) {
        return INET_E_CONNECTION_TIMEOUT;
    }
    return INET_E_DOWNLOAD_FAILURE;
}

void CompleteDocument(CBrowserControl* pControl, WebKitWebView* pView, const std::u16string& strTitle,
                      const std::u16string& strUrl) {
    pControl->SetTitle(strTitle);
    AfxTraceStartup("document-complete", webkit_web_view_get_uri(pView));
    pControl->FireDocumentComplete(strUrl);
}

// The engine tells a document's title a moment after its load has finished: the document completes
// when the title comes, or kTitleWaitMs after the load when none does (a page without a title).
constexpr guint kTitleWaitMs = 250;

void EndTitleWait(CGtkBrowser* pNative) {
    if (pNative->nTitleWaitSource != 0) {
        g_source_remove(pNative->nTitleWaitSource);
        pNative->nTitleWaitSource = 0;
    }
}

void CompleteWaitingDocument(CBrowserControl* pControl) {
    CGtkBrowser* pNative = Native(pControl);
    EndTitleWait(pNative);
    const std::u16string strUrl = std::move(pNative->strWaitingUrl);
    pNative->strWaitingUrl.clear();
    CompleteDocument(pControl, pNative->pView, GtkUtf16FromUtf8(webkit_web_view_get_title(pNative->pView)),
                     strUrl);
}

gboolean OnTitleWaitOver(gpointer pData) {
    CBrowserControl* pControl = ControlOf(pData);
    if (pControl != nullptr && Native(pControl) != nullptr) {
        Native(pControl)->nTitleWaitSource = 0;
        CompleteWaitingDocument(pControl);
    }
    return G_SOURCE_REMOVE;
}

void OnLoadChanged(WebKitWebView* pView, WebKitLoadEvent eEvent, gpointer pData) {
    CBrowserControl* pControl = ControlOf(pData);
    if (pControl == nullptr || Native(pControl) == nullptr) {
        return;
    }
    CGtkBrowser* pNative = Native(pControl);
    if (eEvent == WEBKIT_LOAD_STARTED) {
        EndTitleWait(pNative); // a document left before its title came never completes
        EndNoAnswerBound(pNative);
        pNative->bNoAnswer = false;
        pNative->nNoAnswerSource = g_timeout_add_seconds(kBrowserNoAnswerSeconds, OnNoAnswer, pData);
        return;
    }
    if (eEvent == WEBKIT_LOAD_COMMITTED) {
        EndNoAnswerBound(pNative); // the server has answered
        return;
    }
    if (eEvent != WEBKIT_LOAD_FINISHED) {
        return;
    }
    EndNoAnswerBound(pNative);
    if (pNative->bFailureEndPending) {
        pNative->bFailureEndPending = false;
        if (pNative->bOwnErrorPage) {
            pNative->bOwnErrorPage = false;
            pNative->strFailedUrl.clear();
            return;
        }
    }
    std::u16string strUrl = pNative->strFailedUrl.empty() ? GtkUtf16FromUtf8(webkit_web_view_get_uri(pView))
                                                          : pNative->strFailedUrl;
    pNative->strFailedUrl.clear();
    const char* pszTitle = webkit_web_view_get_title(pView);
    if (pszTitle == nullptr || *pszTitle == '\0') {
        pNative->strWaitingUrl = std::move(strUrl);
        pNative->nTitleWaitSource =
            g_timeout_add(kTitleWaitMs, &CGuardedCallback<OnTitleWaitOver>::Call, pData);
        return;
    }
    CompleteDocument(pControl, pView, GtkUtf16FromUtf8(pszTitle), strUrl);
}

gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* pszUri, GError* pError, gpointer pData) {
    CBrowserControl* pControl = ControlOf(pData);
    if (pControl == nullptr || Native(pControl) == nullptr) {
        return TRUE;
    }
    CGtkBrowser* pNative = Native(pControl);
    EndNoAnswerBound(pNative);
    const HRESULT hrStatus = pNative->bNoAnswer ? INET_E_CONNECTION_TIMEOUT : FailureStatus(pError);
    pNative->bNoAnswer = false;
    pNative->strFailedUrl = GtkUtf16FromUtf8(pszUri);
    pNative->bFailureEndPending = true;
    pNative->bOwnErrorPage = false;
    if (hrStatus != 0) {
        AfxTraceStartup("navigate-error", pszUri);
        // The handler's own page starts loading inside this call: an end reported meanwhile is the
        // failed load's, and is not passed on either.
        pNative->bOwnErrorPage = true;
        const bool bCancelled = pControl->FireNavigateError(pNative->strFailedUrl, hrStatus);
        pNative->bOwnErrorPage = bCancelled && pNative->bFailureEndPending;
    }
    return TRUE;
}

// Reported once the engine's notification has returned: the handler may load again.
gboolean ReportPageProcessEnded(gpointer pData) {
    if (CBrowserControl* pControl = ControlOf(pData)) {
        pControl->FirePageProcessEnded();
    }
    return G_SOURCE_REMOVE;
}

void OnWebProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason eReason, gpointer pData) {
    CBrowserControl* pControl = ControlOf(pData);
    if (pControl == nullptr || Native(pControl) == nullptr ||
        eReason == WEBKIT_WEB_PROCESS_TERMINATED_BY_API) {
        return;
    }
    CGtkBrowser* pNative = Native(pControl);
    EndNoAnswerBound(pNative);
    pNative->bFailureEndPending = false;
    pNative->bOwnErrorPage = false;
    pNative->strFailedUrl.clear();
    AfxTraceStartup("page-process-ended");
    g_idle_add(&CGuardedCallback<ReportPageProcessEnded>::Call, pData);
}

void OnTitle(WebKitWebView* pView, GParamSpec*, gpointer pData) {
    if (CBrowserControl* pControl = ControlOf(pData)) {
        const char* pszTitle = webkit_web_view_get_title(pView);
        AfxTraceStartup("title", pszTitle);
        pControl->SetTitle(GtkUtf16FromUtf8(pszTitle));
        if (Native(pControl) != nullptr && Native(pControl)->nTitleWaitSource != 0 && pszTitle != nullptr &&
            *pszTitle != '\0') {
            CompleteWaitingDocument(pControl);
        }
    }
}

gboolean OnContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent* pEvent, WebKitHitTestResult*,
                       gpointer pData) {
    CBrowserControl* pControl = ControlOf(pData);
    double x = 0;
    double y = 0;
    if (pEvent != nullptr) {
        gdk_event_get_root_coords(pEvent, &x, &y);
    }
    return pControl != nullptr && pControl->HandlerSuppressesContextMenu(POINT{LONG(x), LONG(y)});
}

gboolean OnScriptDialog(WebKitWebView*, WebKitScriptDialog*, gpointer pData) {
    CBrowserControl* pControl = ControlOf(pData);
    return pControl != nullptr && pControl->m_bSilent;
}

} // namespace

WebKitWebsiteDataManager* GtkWebsiteDataManager() {
    return webkit_web_context_get_website_data_manager(SharedContext());
}

void BackendBrowserCreated(CBrowserControl* pControl) {
    const HWND hWnd = pControl->m_hWnd;
    auto* pNative = new CGtkBrowser;
    pControl->m_pNative = pNative;
    pNative->nCacheClearsSeen = g_nCacheClears;
    pNative->pView = WEBKIT_WEB_VIEW(webkit_web_view_new_with_context(SharedContext()));
    AfxTraceStartup("web-view");
    GtkWidget* pWidget = GTK_WIDGET(pNative->pView);
    g_signal_connect(pWidget, "decide-policy", GtkGuarded<OnDecidePolicy>(), hWnd);
    g_signal_connect(pWidget, "create", GtkGuarded<OnCreate>(), hWnd);
    g_signal_connect(pWidget, "load-changed", GtkGuarded<OnLoadChanged>(), hWnd);
    g_signal_connect(pWidget, "load-failed", GtkGuarded<OnLoadFailed>(), hWnd);
    g_signal_connect(pWidget, "notify::title", GtkGuarded<OnTitle>(), hWnd);
    g_signal_connect(pWidget, "context-menu", GtkGuarded<OnContextMenu>(), hWnd);
    g_signal_connect(pWidget, "script-dialog", GtkGuarded<OnScriptDialog>(), hWnd);
    g_signal_connect(pWidget, "web-process-terminated", GtkGuarded<OnWebProcessTerminated>(), hWnd);
    CGtkWindow* pWindow = GtkNative(hWnd);
    pWindow->pWidget = pWidget;
    GtkAttachWidget(hWnd, pWidget);
    GtkPlaceChild(hWnd);
    if (ModelIsVisible(hWnd)) {
        gtk_widget_show(pWidget);
    }
}

void BackendBrowserDestroyed(CBrowserControl* pControl) {
    EndNoAnswerBound(Native(pControl));
    EndTitleWait(Native(pControl));
    delete Native(pControl);
    pControl->m_pNative = nullptr;
}

namespace {

// Whether the address is the view's own (WebKit shows it percent-encoded).
bool IsPageOnShow(WebKitWebView* pView, const std::string& strUrl) {
    const char* pszCurrent = webkit_web_view_get_uri(pView);
    if (pszCurrent == nullptr) {
        return false;
    }
    gchar* pszDecoded = g_uri_unescape_string(pszCurrent, nullptr);
    const bool bSame = strUrl == pszCurrent || (pszDecoded != nullptr && strUrl == pszDecoded);
    g_free(pszDecoded);
    return bSame;
}

// Each pending blank page has its number; a later navigation or Stop makes it stale.
unsigned g_nBlankRequests = 0;

void CancelPendingBlank(CGtkBrowser* pNative) { pNative->nBlankRequest = 0; }

// The blank page of a view that has never loaded: reported as the engine would report it (the
// navigation asked first, then the completed document with an empty title), from the main loop.
void CompleteBlankPage(HWND hWnd, unsigned nRequest) {
    CBrowserControl* pControl = ControlOf(hWnd);
    if (pControl == nullptr || Native(pControl) == nullptr || Native(pControl)->nBlankRequest != nRequest) {
        return;
    }
    Native(pControl)->nBlankRequest = 0;
    const std::u16string strBlank = u"about:blank";
    if (!pControl->FireBeforeNavigate2(strBlank)) {
        pControl->SetTitle(std::u16string());
        AfxTraceStartup("document-complete", "about:blank");
        pControl->FireDocumentComplete(strBlank);
    }
}

} // namespace

void GtkCachesCleared() { ++g_nCacheClears; }

void BackendBrowserNavigate(CBrowserControl* pControl, const std::u16string& strUrl) {
    CGtkBrowser* pNative = Native(pControl);
    if (pNative == nullptr) {
        return;
    }
    const std::string strTarget = GtkUtf8FromUtf16(strUrl);
    CancelPendingBlank(pNative);
    // A view that has never loaded already shows a blank page, so about:blank there needs no engine:
    // starting the web process for it would hold this thread for about 90 ms before the windows are
    // shown, and the page that follows would wait for the blank page's round trip. The first real
    // page starts the engine instead. The blank page completes from the main loop (as the engine's
    // would), once the windows on show have been painted: the next page's start blocks this thread.
    if (!pNative->bEngineUsed && strTarget == "about:blank") {
        const unsigned nRequest = ++g_nBlankRequests == 0 ? ++g_nBlankRequests : g_nBlankRequests;
        pNative->nBlankRequest = nRequest;
        const HWND hWnd = pControl->m_hWnd;
        GtkAfterFirstPaint([hWnd, nRequest] { CompleteBlankPage(hWnd, nRequest); });
        AfxTraceStartup("navigate", "about:blank,without-engine");
        return;
    }
    pNative->bEngineUsed = true;
    // The page on show may still hold its resources in the web process after the caches were
    // cleared; loading it again then goes to the network for all of them, as it would on Windows.
    const bool bFirstSinceClear = pNative->nCacheClearsSeen != g_nCacheClears;
    pNative->nCacheClearsSeen = g_nCacheClears;
    if (bFirstSinceClear && IsPageOnShow(pNative->pView, strTarget)) {
        webkit_web_view_reload_bypass_cache(pNative->pView);
        return;
    }
    AfxTraceStartup("navigate", strTarget.c_str());
    webkit_web_view_load_uri(pNative->pView, strTarget.c_str());
    AfxTraceStartup("navigate-returned"); // the first load also starts the web process
}

void BackendBrowserStop(CBrowserControl* pControl) {
    if (CGtkBrowser* pNative = Native(pControl)) {
        CancelPendingBlank(pNative);
        webkit_web_view_stop_loading(pNative->pView);
    }
}

void BackendBrowserShowPage(CBrowserControl* pControl, const std::string& strHtml,
                            const std::u16string& strUrl) {
    CGtkBrowser* pNative = Native(pControl);
    if (pNative == nullptr) {
        return;
    }
    CancelPendingBlank(pNative);
    pNative->bEngineUsed = true;
    const std::string strAddress = GtkUtf8FromUtf16(strUrl);
    webkit_web_view_load_alternate_html(pNative->pView, strHtml.c_str(), strAddress.c_str(), nullptr);
}

void BackendBrowserHostPolicyChanged(CBrowserControl* pControl) {
    CGtkBrowser* pNative = Native(pControl);
    if (pNative == nullptr) {
        return;
    }
    const DOCHOSTUIINFO info = pControl->HostInfo();
    const bool bHide = (info.dwFlags & DOCHOSTUIFLAG_SCROLL_NO) != 0;
    if (bHide == pNative->bScrollBarsHidden) {
        return;
    }
    pNative->bScrollBarsHidden = bHide;
    WebKitUserContentManager* pContent = webkit_web_view_get_user_content_manager(pNative->pView);
    webkit_user_content_manager_remove_all_style_sheets(pContent);
    if (bHide) {
        WebKitUserStyleSheet* pSheet = webkit_user_style_sheet_new(
            "::-webkit-scrollbar{display:none}", WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
            WEBKIT_USER_STYLE_LEVEL_USER, nullptr, nullptr);
        webkit_user_content_manager_add_style_sheet(pContent, pSheet);
        webkit_user_style_sheet_unref(pSheet);
    }
}
