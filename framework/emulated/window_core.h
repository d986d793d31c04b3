// The window model: what Windows keeps for a window, for the window systems that are not Windows. A
// window handle points at a CWindowRecord; the backend (GTK, headless) realises records on its
// window system and turns native input into messages. Internal to framework/emulated/ and its
// backends.
#pragma once

#include "framework/emulated/display_backend.h"
#include "framework/emulated/surfaces.h"
#include "framework/resources.h"
#include "framework/wnd.h"

#include <memory>
#include <string>
#include <vector>

class CBrowserControl;

struct CWindowRecord : HWND__ {
    CWnd* pWnd = nullptr;           // the attached object; null for a plain item
    std::unique_ptr<CWnd> pWrapper; // the plain object GetDlgItem handed out for an item without one
    std::string strClass;           // "#32770" (dialog), "Button", "WebBrowser"
    std::string strText;
    DWORD dwStyle = 0;
    DWORD dwExStyle = 0;
    UINT nID = 0;
    CRect rcWindow;  // screen coordinates for a top-level window, parent client coordinates for a child
    CRect rcClient;  // the client area in window coordinates, as WM_NCCALCSIZE answered
    CRect rcRestore; // a maximised window's restored rectangle
    HWND hParent = nullptr; // a child's parent
    HWND hOwner = nullptr;  // a top-level window's owner
    std::vector<HWND> children;
    bool bVisible = false;
    bool bIconic = false;
    bool bZoomed = false;
    bool bDestroyed = false;
    HICON hIconBig = nullptr;
    HICON hIconSmall = nullptr;
    // Layered windows: a colour key, or a per-pixel-alpha surface.
    bool bColorKey = false;
    COLORREF crKey = 0;
    // The DIB's bytes, as UpdateLayeredWindow was given them (the GTK backend premultiplies them in
    // place for showing).
    CSurfaceRef layeredSurface;
    // Buttons: pushed while the mouse button is held over it.
    bool bPushed = false;
    bool bTrackingPress = false;
    // Dialogs.
    const CDialogTemplate* pTemplate = nullptr;
    bool bDialogEnded = false;
    INT_PTR nDialogResult = -1;
    // A hosted control (the browser), owned by the record.
    std::unique_ptr<CBrowserControl> pControl;
    // Painting: the surface a WM_PAINT draws into; the frame a window paints itself (WM_NCPAINT).
    HDC hPaintDC = nullptr;
    CRect rcInvalid; // the part of the client area marked for the next paint (client coordinates)
    CSurfaceRef frameSurface;
    // The window's shape: a rounded rectangle (window coordinates), when set.
    bool bHasRegion = false;
    CRect rcRegion;
    int nRegionEllipse = 0;
    bool bTrackingLeave = false; // a non-client leave report was asked for
    bool bActive = false;
    void* pNative = nullptr; // the backend's data

    bool IsTopLevel() const { return hParent == nullptr; }
    CRect ScreenRect() const; // the window rectangle in screen coordinates
};

// The record of a live window, or null.
CWindowRecord* ModelGetRecord(HWND hWnd);

// The live top-level windows that hOwner owns.
std::vector<HWND> ModelOwnedWindows(HWND hOwner);

// Row y of a rounded shape (SetWindowRgn's rounded rectangle): the part of the row inside it, one
// pixel high; empty outside. Each corner loses the pixels outside its diagonal.
CRect ModelShapeRow(const CRect& rcRegion, int nEllipse, int y);

struct CWindowCreate {
    std::string strClass;
    std::string strText;
    DWORD dwStyle = 0;
    DWORD dwExStyle = 0;
    CRect rect; // screen coordinates, or parent client coordinates for a child
    HWND hParent = nullptr;
    HWND hOwner = nullptr;
    UINT nID = 0;
};

// Creates a window for pWnd (may be null): WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE as the platform
// sends them. Null when WM_NCCREATE or WM_CREATE refused.
HWND ModelCreateWindow(const CWindowCreate& create, CWnd* pWnd);
// Destroys the window, its children and the windows it owns (WM_DESTROY to each).
void WsDestroyWindow(HWND hWnd);
// Moves and sizes a window (WM_MOVE and WM_SIZE when they change).
void ModelSetWindowRect(HWND hWnd, const CRect& rect, bool bRepaint);
void ModelSetVisible(HWND hWnd, bool bVisible);
// Asks the window for its client area again (WM_NCCALCSIZE with valid rectangles).
void ModelRecalculateClient(HWND hWnd);
// The native window system moved or resized a top-level window to the screen rectangle.
void ModelNativeMoved(HWND hWnd, const CRect& rect);

// Renders a window's client area into the surface by a WM_PAINT.
void ModelPaintWindow(HWND hWnd, const CSurfaceRef& surface);

// A press of the primary mouse button on a window at a screen point, as the platform routes it:
// WM_NCHITTEST, then WM_LBUTTONDOWN for the client area or WM_NCLBUTTONDOWN with the hit code.
void ModelMousePress(HWND hWnd, CPoint ptScreen);
void ModelMouseRelease(HWND hWnd, CPoint ptScreen);
void ModelMouseMove(HWND hWnd, CPoint ptScreen);
// The second press of a double-click.
void ModelMouseDoubleClick(HWND hWnd, CPoint ptScreen);
// The pointer moved over a window with no button held (WM_NCMOUSEMOVE over the frame).
void ModelMouseHover(HWND hWnd, CPoint ptScreen);
// The pointer left a window's frame (into its client area or out of the window).
void ModelMouseLeftFrame(HWND hWnd);
// The window system activated or deactivated a top-level window.
void ModelNativeActivated(HWND hWnd, bool bActive);
// The window system maximised, minimised or restored a top-level window.
void ModelNativeStateChanged(HWND hWnd, bool bIconic, bool bZoomed);
// The smallest size the window accepts (WM_GETMINMAXINFO).
CSize ModelMinTrackSize(HWND hWnd);

// Message queue: posted messages and the quit request.
bool ModelQuitPosted();
int ModelQuitCode();
void ModelResetMessageQueue();
// Runs messages until bContinue() is false or the quit message was posted. False when the loop
// ended because the backend had nothing more to wait for.
bool ModelRunMessageLoop(bool (*pfnContinue)(void*), void* pContext);
// Key and mouse input: PreTranslateMessage of the window and its parents first, then dispatch.
void ModelTranslateAndDispatch(MSG* pMsg);
// Marks a native event as the one being translated; AfxDispatchMessage then lets it through.
struct CNativeEventScope {
    explicit CNativeEventScope(const MSG* pMsg);
    ~CNativeEventScope();
    bool bDeliverNatively = false;
    const MSG* pMsg;
    CNativeEventScope* pPrevious;
};

// Timers: the windows' timers on the backend's clock. The backend calls ModelRunDueTimers when the
// earliest one is due (ModelNextTimerDue), and is told by BackendTimersChanged when that changes.
void ModelRunDueTimers();
bool ModelNextTimerDue(unsigned long long& nDue);
void ModelForgetWindowTimers(HWND hWnd);
// The window system reports that the network is available again: the watching windows are told.
void ModelNativeNetworkAvailable();
