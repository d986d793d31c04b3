// The launcher's backdrop: a borderless 1024 x 635 picture with per-pixel alpha that carries the
// controls window and keeps it exactly over itself.
#pragma once

#include "framework/dialog.h"
#include "framework/gdi.h"

class CControllersDlg;

class CDrelkClientDlg : public CDialog {
public:
    CDrelkClientDlg();
    ~CDrelkClientDlg() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnInitDialog() override;

    HICON m_hIcon;
    CImage m_image;
    CControllersDlg* m_pControls = nullptr;

protected:
    void OnSysCommand(UINT nID, LPARAM lParam) override;
    void OnMove(int x, int y) override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    void OnPaint() override;
    HCURSOR OnQueryDragIcon() override;
    LRESULT OnNcHitTest(CPoint point) override;

    // Composes the picture on a 1024 x 635 surface and hands it to the window as its content.
    void UpdateLayeredBackdrop();
    // Gives the controls window the backdrop's window rectangle.
    void PlaceControlsOverBackdrop();
};

// The process keeps one controls window, whatever happens to the backdrop.
extern bool g_bControlsCreated;

// Draws an icon centred in the client area of a minimised window (shared by both launcher windows).
void DrawMinimizedIcon(CWnd* pWnd, HICON hIcon);
