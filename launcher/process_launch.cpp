#include "launcher/process_launch.h"

#include "settings/client_config.h"

#include "framework/app.h"
#include "framework/run_log.h"
#include "framework/services.h"

void LaunchGameClient(const std::string& strAddress) {
    IProcessService& processes = AfxGetPlatformServices().processes;
    CProcessStart start;
    start.strApplication =
        CClientConfig::Instance()->ProgramDirectory() + "\\game\\DrelkClient" + processes.ExecutableSuffix();
    // The address is one argument whatever the page and its title hold.
    start.strCommandLine = " p " + AfxQuoteCommandLineArgument(strAddress);
    start.vecArguments = {"p", strAddress};
    start.nShowCmd = SW_SHOW;
    const bool bStarted = processes.StartProcess(start);
    AfxLog("game client " + AfxDisplayPath(start.strApplication) +
           (bStarted ? ": started; the launcher ends" : ": could not be started"));
    if (bStarted) {
        AfxPostQuitMessage(0);
    }
}

void RelaunchLauncher() {
    IProcessService& processes = AfxGetPlatformServices().processes;
    const CWinApp* pApp = AfxGetApp();
    CProcessStart start;
    start.strApplication = CClientConfig::Instance()->ProgramDirectory() + "\\" +
                           (pApp != nullptr && pApp->m_pszExeName != nullptr ? pApp->m_pszExeName : "") +
                           processes.ExecutableSuffix();
    start.nShowCmd = SW_SHOW;
    const bool bStarted = processes.StartProcess(start);
    AfxLog("relaunch " + AfxDisplayPath(start.strApplication) +
           (bStarted ? ": started" : ": could not be started"));
}
