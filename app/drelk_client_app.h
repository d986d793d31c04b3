// The application object: it runs the launcher, then, when the launcher ended with OK, the game.
#pragma once

#include "framework/app.h"

#include <string>

class CDrelkClientDlg;

class CDrelkClientApp : public CWinApp {
public:
    CDrelkClientApp();
    ~CDrelkClientApp() override;

    // The two phases, each a modal dialog; FALSE on every path, so the process then ends.
    BOOL InitInstance() override;

    // The completed login address, handed from the launcher to the game window.
    std::string m_strGameUrl;
};

// The launcher backdrop while the launcher runs; null before and after.
extern CDrelkClientDlg* g_pClientDlg;
