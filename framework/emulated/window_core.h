// The window model: what Windows keeps for a window, for the window systems that are not Windows.
// A window handle points at the model's record of it (window_record.h, the model's alone); the
// display backend (GTK, headless) realises the windows on its window system through the Model...
// functions here, and turns native input into messages. Internal to framework/emulated/ and its
// backends.
#pragma once

#include "framework/emulated/display_backend.h"
#include "framework/emulated/surfaces.h"
#include "framework/wnd.h"

#include <optional>
#include <string>
#include <vector>

// ---- What a display backend reads of a window ----
// Each answers for a live window; for any other handle it answers nothing (an empty rectangle,
// false, zero, null).
bool ModelIsWindow(HWND hWnd);
// The window rectangle as the model keeps it: screen coordinates for a top-level window, the
// parent's client coordinates for a child.
CRect ModelWindowRect(HWND hWnd);
CRect ModelScreenRect(HWND hWnd); // the window rectangle in screen coordinates
CRect ModelClientRect(HWND hWnd); // the client area in window coordinates
bool ModelIsTopLevel(HWND hWnd);
bool ModelIsVisible(HWND hWnd);
bool ModelIsIconic(HWND hWnd);
bool ModelIsZoomed(HWND hWnd);
// Whether the player may size the window (it has a sizing border): else its size is the program's alone.
bool ModelIsSizable(HWND hWnd);
DWORD ModelStyle(HWND hWnd);
DWORD ModelExStyle(HWND hWnd);
std::string ModelWindowClass(HWND hWnd);
std::string ModelWindowText(HWND hWnd);
HWND ModelParent(HWND hWnd);                // a child's parent
HWND ModelOwner(HWND hWnd);                 // a top-level window's owner
std::vector<HWND> ModelChildren(HWND hWnd); // bottom first
HICON ModelBigIcon(HWND hWnd);
// A layered window's colour key, when it has one.
std::optional<COLORREF> ModelColorKey(HWND hWnd);
// The DIB's bytes as UpdateLayeredWindow was given them (empty when it never was). The surface is
// the window's own: a backend that shows it may premultiply it in place.
CSurfaceRef ModelLayeredSurface(HWND hWnd);
// The frame the window paints itself (through its window DC), empty when it never did.
CSurfaceRef ModelFrameSurface(HWND hWnd);
// The window's shape as SetWindowRgn gave it: a rounded rectangle in window coordinates.
struct CWindowRegion {
    CRect rect;
    int nEllipse = 0;
};
std::optional<CWindowRegion> ModelRegion(HWND hWnd);
// The part of the client area marked for the next paint (client coordinates).
CRect ModelInvalidRect(HWND hWnd);
// A push button held down.
bool ModelIsPushed(HWND hWnd);
// The result a dialog was ended with (EndDialog), when it was.
std::optional<INT_PTR> ModelDialogResult(HWND hWnd);
// The display backend's own data for a window. It stays readable while BackendWindowDestroyed runs,
// so that the backend can let go of it there.
void* ModelBackendData(HWND hWnd);
void ModelSetBackendData(HWND hWnd, void* pData);

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
// The native window system moved or resized a top-level window to the screen rectangle. A window
// without a sizing border (WS_THICKFRAME) keeps its asked size: a rectangle of another size is not
// passed on.
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
