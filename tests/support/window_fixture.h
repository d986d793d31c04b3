// Window tests: the headless fixture with the program's own application object, and a look inside
// the headless windows.
#pragma once

#include "support/headless_fixture.h"

#include "app/drelk_client_app.h"
#include "framework/headless/headless_inspect.h"

class CWindowTest : public CHeadlessTest {
protected:
    std::unique_ptr<CWinApp> NewApp() override { return std::make_unique<CDrelkClientApp>(); }
    CDrelkClientApp* App() { return static_cast<CDrelkClientApp*>(BaseApp()); }
    CHeadlessWindowView Record(CWnd& wnd) { return HeadlessInspectWindow(wnd.m_hWnd); }
};
