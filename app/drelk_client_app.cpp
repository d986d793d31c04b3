#include "app/drelk_client_app.h"

#include "gamewindow/htmlbrowser_dlg.h"
#include "launcher/drelk_client_dlg.h"
#include "settings/client_config.h"

#include "framework/run_log.h"
#include "framework/wnd.h"

CDrelkClientDlg* g_pClientDlg = nullptr;

CDrelkClientApp::CDrelkClientApp() { m_dwRestartManagerSupportFlags = AFX_RESTART_MANAGER_SUPPORT_RESTART; }

CDrelkClientApp::~CDrelkClientApp() = default;

BOOL CDrelkClientApp::InitInstance() {
    AfxInitCommonControls(ICC_WIN95_CLASSES);
    CWinApp::InitInstance();
    CClientConfig::Instance();
    AfxEnableControlContainer();
    if (g_pClientDlg == nullptr) {
        g_pClientDlg = new CDrelkClientDlg;
    }
    const INT_PTR nResponse = g_pClientDlg->DoModal();
    if (nResponse != IDOK) {
        AfxLogFormat("the launcher ended (result %ld)", static_cast<long>(nResponse));
        return FALSE;
    }
    AfxLog("the launcher ended; the game window opens");
    // The game phase: the launcher gives way (its object is kept, its window goes) to the game window.
    g_pClientDlg->DestroyWindow();
    g_pClientDlg = nullptr;
    auto* pGameWindow = new ChtmlbrowserDlg;
    m_pMainWnd = pGameWindow;
    pGameWindow->DoModal();
    AfxLog("the game window ended");
    return FALSE;
}
