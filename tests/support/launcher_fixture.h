// Runs the real launcher windows on the headless platform: the backdrop's modal loop calls the
// test's steps when it is idle.
#pragma once

#include "support/window_fixture.h"
#include "support/modal_run.h"

#include "launcher/controllers_dlg.h"
#include "launcher/doc_host_ui_handler.h"
#include "launcher/drelk_client_dlg.h"

#include <functional>

class CLauncherTest : public CWindowTest {
protected:
    void SetUp() override {
        CWindowTest::SetUp();
        g_bControlsCreated = false;
        g_pDocHostUIHandler = nullptr;
        g_pClientDlg = nullptr;
    }

    void TearDown() override {
        // The creator's reference, unless the controls window's teardown gave it back.
        if (g_pDocHostUIHandler != nullptr && !m_bHandlerReleased) {
            g_pDocHostUIHandler->Release();
        }
        g_pDocHostUIHandler = nullptr;
        CWindowTest::TearDown();
    }

    // Runs the backdrop modally; the step runs once the launcher is up, then the loop stops unless
    // the step ended it. Returns DoModal's result.
    INT_PTR RunLauncher(const std::function<void(CDrelkClientDlg&)>& step) {
        CDrelkClientDlg dialog;
        m_pDialog = &dialog;
        const INT_PTR nResult = RunModalWithStep<CDrelkClientDlg>(dialog, step);
        // The program keeps the controls object for the rest of the process; a test gives it back.
        m_bHandlerReleased = dialog.m_pControls != nullptr && dialog.m_pControls->HandlerReleased();
        delete dialog.m_pControls;
        m_pDialog = nullptr;
        return nResult;
    }

    CControllersDlg& Controls() { return *m_pDialog->m_pControls; }
    CBrowserControl& Browser() { return *ModelGetBrowserControl(Controls().m_browser.m_hWnd); }
    CRect ScreenRect(CWnd& wnd) {
        CRect rect;
        wnd.GetWindowRect(&rect);
        return rect;
    }
    // Client rectangle of a child in its parent.
    CRect ChildRect(CWnd& wnd) { return Record(wnd).rcWindow; }

    // A press and release of the mouse at a screen point of the controls window (or what is under it).
    void Click(CWnd& target, CPoint ptScreen) {
        ModelMousePress(target.m_hWnd, ptScreen);
        ModelMouseRelease(target.m_hWnd, ptScreen);
    }
    CPoint Centre(CWnd& wnd) {
        const CRect rect = ScreenRect(wnd);
        return CPoint(rect.left + rect.Width() / 2, rect.top + rect.Height() / 2);
    }

    CDrelkClientDlg* m_pDialog = nullptr;
    bool m_bHandlerReleased = false;
};
