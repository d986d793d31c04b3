// CWnd: a window of the framework. Every message, native or from a test, enters WindowProc, which
// decodes it and calls the virtual On... handler; Default() performs the platform's own processing
// of the message being handled.
#pragma once

#include "framework/com.h"
#include "framework/geometry.h"
#include "framework/windefs.h"

#include <string>

class CDC;
class CBrush;
class CMenu;
class CDataExchange;

class CWnd {
public:
    CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd();

    HWND m_hWnd = nullptr;
    static CWnd* FromHandle(HWND hWnd); // the attached object, or null

    // The one entry of every message.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called for a key or mouse message before it is dispatched; TRUE when it was handled.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // WM_COMMAND; TRUE when handled.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // An event of a hosted control (dispatch id and parameters); TRUE when handled.
    virtual BOOL OnEvent(UINT idCtrl, DISPID dispid, DISPPARAMS* pParams);
    // Owner drawing of this control (WM_DRAWITEM reflected from the parent).
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual BOOL DestroyWindow();

    // The platform's processing of the message being handled.
    LRESULT Default();

    // Attaches this object to an existing window (a dialog item) so that its messages reach it.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // A timer that sends WM_TIMER (nIDEvent) every nElapse milliseconds until it is killed or the
    // window is destroyed; setting an existing one starts it again. Returns nIDEvent, or 0.
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse);
    BOOL KillTimer(UINT_PTR nIDEvent);

    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
    void GetWindowRect(LPRECT lpRect) const; // screen coordinates
    void GetClientRect(LPRECT lpRect) const; // client coordinates
    void ScreenToClient(LPPOINT lpPoint) const;
    void ClientToScreen(LPPOINT lpPoint) const;
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    BOOL IsZoomed() const;
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    void Invalidate(BOOL bErase = TRUE) { InvalidateRect(nullptr, bErase); }
    void UpdateWindow();
    CWnd* GetDlgItem(int nID) const;
    HWND GetDlgItemHandle(int nID) const;
    int GetDlgCtrlID() const;
    CWnd* GetParent() const;
    void SetWindowText(const char* lpszString);
    std::string GetWindowText() const;
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    LONG GetWindowLong(int nIndex) const;
    LONG SetWindowLong(int nIndex, LONG dwNewLong);
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    HICON GetIcon(BOOL bBigIcon) const;
    BOOL SetLayeredWindowAttributes(COLORREF crKey, BYTE bAlpha, DWORD dwFlags);
    // Shows pDCSrc's selected bitmap as the window's content, with per-pixel alpha (ULW_ALPHA).
    BOOL UpdateLayeredWindow(CDC* pDCDst, POINT* pptDst, SIZE* psize, CDC* pDCSrc, POINT* pptSrc,
                             COLORREF crKey, BLENDFUNCTION* pblend, DWORD dwFlags);
    CDC* GetDC();
    int ReleaseDC(CDC* pDC);
    void SetFocus();
    int MessageBox(const char* lpszText, const char* lpszCaption = nullptr, UINT nType = MB_OK);
    // The window's shape (the region becomes the platform's); null removes it.
    int SetWindowRgn(HRGN hRgn, BOOL bRedraw);
    CMenu* GetSystemMenu(BOOL bRevert);

    // Hosts an ActiveX control of clsid as the child nID (the browser control is the one offered).
    BOOL CreateControl(REFCLSID clsid, const char* lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, UINT nID);
    // Calls a member of the hosted control by dispatch id (classic InvokeHelper argument lists).
    void InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet, const BYTE* pbParamInfo, ...);

protected:
    // Message handlers; the base versions run Default().
    virtual int OnCreate(LPCREATESTRUCT lpCreateStruct);
    virtual void OnDestroy();
    virtual void OnMove(int x, int y);
    virtual void OnSize(UINT nType, int cx, int cy);
    virtual void OnPaint();
    virtual BOOL OnEraseBkgnd(CDC* pDC);
    virtual void OnSysCommand(UINT nID, LPARAM lParam);
    virtual LRESULT OnNcHitTest(CPoint point);
    virtual HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    virtual HCURSOR OnQueryDragIcon();
    virtual void OnClose();
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    virtual void OnLButtonUp(UINT nFlags, CPoint point);
    virtual void OnMouseMove(UINT nFlags, CPoint point);
    virtual BOOL OnNcCreate(LPCREATESTRUCT lpCreateStruct);
    virtual void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    virtual void OnNcPaint();
    virtual BOOL OnNcActivate(BOOL bActive);
    virtual void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    virtual void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    virtual void OnNcLButtonDown(UINT nHitTest, CPoint point);
    virtual void OnNcLButtonUp(UINT nHitTest, CPoint point);
    virtual void OnNcLButtonDblClk(UINT nHitTest, CPoint point);
    virtual void OnNcMouseMove(UINT nHitTest, CPoint point);
    virtual void OnNcMouseLeave();
    // WM_TIMER of a timer set with SetTimer.
    virtual void OnTimer(UINT_PTR nIDEvent);

    // The message being handled, for Default().
    const MSG* m_pCurrentMsg = nullptr;
    friend LRESULT AfxCallWindowProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};

// WM_CTLCOLOR kinds passed to OnCtlColor.
#define CTLCOLOR_BTN 3
#define CTLCOLOR_DLG 4
#define CTLCOLOR_STATIC 6

// The system menu: shown as a popup, its choice sent back as WM_SYSCOMMAND.
class CMenu {
public:
    explicit CMenu(HWND hOwner) : m_hOwner(hOwner) {}
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect = nullptr);

private:
    HWND m_hOwner;
};

// Asks for a WM_NCMOUSELEAVE when the pointer leaves the window's frame (TME_LEAVE | TME_NONCLIENT).
BOOL AfxTrackMouseEvent(TRACKMOUSEEVENT* lpEventTrack);

// The one way a message reaches a window object, whichever window system delivers it: it becomes the
// current message and goes to WindowProc at the dispatch boundary. A handler's failure shows the
// framework's error box and ends the message with 0 (-1 for WM_CREATE, which fails the creation).
LRESULT AfxCallWindowProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Default processing of a message for a window, whatever object is attached to it.
LRESULT AfxDefWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT AfxSendMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL AfxPostMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// Sends the message to its window (DispatchMessage); a native event being handled is passed on to
// its native target.
LRESULT AfxDispatchMessage(const MSG* pMsg);

// Shell "open" of an http:// or https:// address by the desktop's default handler; anything else
// is ignored. Returns a value above 32 on success, as the classic API does.
INT_PTR AfxShellExecute(HWND hWnd, const char* lpOperation, const char* lpFile, const char* lpParameters,
                        const char* lpDirectory, int nShowCmd);

int AfxGetSystemMetrics(int nIndex);
// Milliseconds since an arbitrary start, on the clock that timers run on.
unsigned long long AfxGetTickCount();
// Posts message (no parameters) to the window each time the system reports that the network is
// available again, until the window is unwatched or destroyed. FALSE when the system cannot tell.
BOOL AfxWatchNetwork(HWND hWnd, UINT message);
void AfxUnwatchNetwork(HWND hWnd);
// The primary screen's work area.
CRect AfxGetWorkArea();
void AfxInitCommonControls(DWORD dwICC);
BOOL AfxEnableControlContainer();
