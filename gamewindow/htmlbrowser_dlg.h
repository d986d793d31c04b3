// The game window: a maximised browser dialog inside a skinned frame the window paints itself, with
// seven caption buttons (official site, recharge, clear cache, refresh, minimise, maximise, close).
#pragma once

#include "gamewindow/dui_button.h"

#include "launcher/page_recovery.h"

#include "framework/dhtml_dialog.h"
#include "framework/graphics.h"

#include <map>
#include <string>
#include <vector>

class ChtmlbrowserDlg : public CDHtmlDialog {
public:
    ChtmlbrowserDlg();
    ~ChtmlbrowserDlg() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL CanAccessExternal() override;
    BOOL OnEvent(UINT idCtrl, DISPID dispid, DISPPARAMS* pParams) override;

    // Paints the whole frame (double-buffered, client area left alone).
    void OnNcPaint() override;
    // Places the caption buttons for the window width.
    void LayoutCaptionButtons(int nWidth);
    // The id of the caption button containing pt (window coordinates), its rectangle copied out; or -1.
    int ButtonFromPoint(CPoint pt, CRect& rcButton) const;
    CDUIButton* AddCaptionButton(const CRect& rect, const char* pszText, CWnd* pOwner, Gdi::Image* pImage,
                                 int nID);
    // Shows a web address in the browser; anything else is not navigated to.
    void NavigateTo(std::string strAddress);
    // Deletes every entry of the browser's URL cache that is not a cookie.
    void ClearBrowserCache();

    HICON m_hIcon;
    int m_nCaptionHeight;
    int m_nBorderWidth;
    Gdi::Image* m_pSkinImage;
    std::map<int, CDUIButton> m_mapButtons;
    int m_nHotButton;
    BOOL m_bTracking;
    CRgn m_rgnWindow;
    std::vector<Gdi::Image*> m_vecCaptionImages;
    CRect m_rcIcon;
    // The game page when it cannot be shown, or its process ended.
    CPageRecovery m_pageRecovery;

protected:
    void OnSysCommand(UINT nID, LPARAM lParam) override;
    HCURSOR OnQueryDragIcon() override;
    LRESULT OnNcHitTest(CPoint point) override;
    void OnClose() override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp) override;
    void OnGetMinMaxInfo(MINMAXINFO* lpMMI) override;
    BOOL OnNcActivate(BOOL bActive) override;
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized) override;
    void OnNcLButtonDblClk(UINT nHitTest, CPoint point) override;
    void OnNcLButtonDown(UINT nHitTest, CPoint point) override;
    void OnNcLButtonUp(UINT nHitTest, CPoint point) override;
    void OnNcMouseMove(UINT nHitTest, CPoint point) override;
    void OnNcMouseLeave() override;
    void OnSize(UINT nType, int cx, int cy) override;
    BOOL OnNcCreate(LPCREATESTRUCT lpCreateStruct) override;
    void OnTimer(UINT_PTR nIDEvent) override;
    void OnDestroy() override;

private:
    // The three ways a button's state changes; each repaints nothing by itself.
    void MakeHot(CDUIButton& button);
    void MakePressed(CDUIButton& button);
    void ResetButton(CDUIButton& button);
    void Invalidate(CDUIButton& button);
    CPoint WindowPoint(CPoint ptScreen) const;
};
