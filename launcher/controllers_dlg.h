// The launcher's controls: a colour-keyed popup over the backdrop with five image buttons and the
// browser showing the operator's server list. It also loads the settings and makes the first-open
// report.
#pragma once

#include "launcher/explorer1.h"
#include "launcher/page_recovery.h"

#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/gdi.h"

#include <string>

class CControllersDlg : public CDialog {
public:
    CControllersDlg();

    BOOL DestroyWindow() override;
    // Whether the creator's reference to the document UI handler was given back.
    bool HandlerReleased() const { return m_bHandlerReleased; }
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnEvent(UINT idCtrl, DISPID dispid, DISPPARAMS* pParams) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The browser's events.
    void OnDocumentComplete(IDispatch* pDisp, VARIANT* URL);
    void OnBeforeNavigate2(IDispatch* pDisp, VARIANT* URL, VARIANT* Flags, VARIANT* TargetFrameName,
                           VARIANT* PostData, VARIANT* Headers, BOOL* Cancel);
    // The list could not be shown: the program's own page instead, retried by itself.
    void OnNavigateError(IDispatch* pDisp, VARIANT* URL, VARIANT* Frame, VARIANT* StatusCode, BOOL* Cancel);
    void OnPageProcessEnded();

    HICON m_hIcon;
    CBrush m_brushColorKey;
    CBitmapButton m_btnClose;
    CBitmapButton m_btnHome;
    CBitmapButton m_btnForum;
    CBitmapButton m_btnService;
    CBitmapButton m_btnCharge;
    CExplorer1 m_browser;
    CPageRecovery m_pageRecovery;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnSysCommand(UINT nID, LPARAM lParam) override;
    void OnPaint() override;
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) override;
    HCURSOR OnQueryDragIcon() override;
    LRESULT OnNcHitTest(CPoint point) override;
    void OnMove(int x, int y) override;
    void OnSize(UINT nType, int cx, int cy) override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    void OnClose() override;
    void OnDestroy() override;
    void OnTimer(UINT_PTR nIDEvent) override;

    void OnBnClickedClose();
    void OnBnClickedHome();
    void OnBnClickedForum();
    void OnBnClickedService();
    void OnBnClickedCharge();

    void InitControls();
    // Places the five buttons for the window's width (the close button from the right edge).
    void LayOutButtons();

private:
    // Destroys the browser's window, then gives back the creator's handler reference (once).
    void ReleaseBrowser();
    bool m_bHandlerReleased = false;
};

// The colour the controls window's background is painted with; it is see-through.
constexpr COLORREF kControlsColorKey = RGB(255, 0, 255);
