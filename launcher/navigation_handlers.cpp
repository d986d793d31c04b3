// The controls window's browser events: the start of the server list and the login hand-off.
#include "launcher/controllers_dlg.h"

#include "launcher/doc_host_ui_handler.h"
#include "launcher/drelk_client_dlg.h"
#include "launcher/login_rules.h"
#include "launcher/process_launch.h"

#include "app/drelk_client_app.h"
#include "settings/client_config.h"

#include "framework/browser.h"
#include "framework/internet.h"
#include "framework/codepage.h"
#include "framework/run_log.h"

void CControllersDlg::OnDocumentComplete(IDispatch* pDisp, VARIANT* URL) {
    CClientConfig* pConfig = CClientConfig::Instance();
    if (g_pDocHostUIHandler == nullptr) {
        if (IDispatch* pDocument = m_browser.get_Document()) {
            pDocument->Release();
            g_pDocHostUIHandler = new CDocHostUIHandlerImpl;
            if (IDispatch* pAgain = m_browser.get_Document()) {
                ICustomDoc* pCustomDoc = nullptr;
                if (SUCCEEDED(
                        pAgain->QueryInterface(IID_ICustomDoc, reinterpret_cast<void**>(&pCustomDoc))) &&
                    pCustomDoc != nullptr) {
                    pCustomDoc->SetUIHandler(g_pDocHostUIHandler);
                    pCustomDoc->Release();
                }
                pAgain->Release();
            }
        }
        m_browser.Navigate(pConfig->StartPage().c_str(), nullptr, nullptr, nullptr, nullptr);
        return;
    }
    m_pageRecovery.OnDocumentComplete(pDisp, BrowserEventText(URL));
    if (AfxFindString(CP_ACP, BrowserEventText(URL), "about:blank") != std::string::npos) {
        return;
    }
    const CRect rect = SelectBrowserRect(pConfig->GetValue("platform"));
    m_browser.MoveWindow(rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
    m_browser.put_Visible(TRUE);
}

void CControllersDlg::OnBeforeNavigate2(IDispatch*, VARIANT* URL, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                                        BOOL* Cancel) {
    CClientConfig* pConfig = CClientConfig::Instance();
    const std::string strUrl = BrowserEventText(URL);
    if (!IsLoginNavigation(pConfig->GetValue("platform"), strUrl)) {
        m_pageRecovery.OnBeforeNavigate2(strUrl);
        return;
    }
    std::string strTitle;
    if (IDispatch* pDocument = m_browser.get_Document()) {
        strTitle = AfxUtf16ToCodePage(CP_ACP, AfxDocumentTitle(pDocument));
        pDocument->Release();
    }
    const std::string strAddress = ComposeLoginAddress(strUrl, strTitle);
    if (Cancel != nullptr) {
        *Cancel = TRUE;
    }
    m_browser.Stop();
    AfxLog("login navigation recognised: " + AfxLogAddress(strUrl));
    // A page may aim a login at anything (a file, a script, a scheme of its own): only a web address
    // goes on to the game client or the game window. The list stays.
    if (!AfxIsWebAddress(strAddress)) {
        AfxLog("login: not a web address; the server list stays");
        return;
    }
    if (pConfig->GetValue("airclient") == "true") {
        LaunchGameClient(strAddress);
        return;
    }
    AfxLog("login: the address goes to the game window");
    static_cast<CDrelkClientApp*>(AfxGetApp())->m_strGameUrl = strAddress;
    if (g_pClientDlg != nullptr) {
        g_pClientDlg->OnOK();
    }
}

void CControllersDlg::OnNavigateError(IDispatch* pDisp, VARIANT* URL, VARIANT*, VARIANT* StatusCode,
                                      BOOL* Cancel) {
    if (m_pageRecovery.OnNavigateError(pDisp, BrowserEventText(URL), BrowserEventStatus(StatusCode)) &&
        Cancel != nullptr) {
        *Cancel = TRUE;
    }
}

void CControllersDlg::OnPageProcessEnded() { m_pageRecovery.OnPageProcessEnded(); }
